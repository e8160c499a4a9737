// Growth of the tiles over a mesh: depth-first from a seed vertex, vertex
// tiles taking every face around a vertex and face tiles the single faces
// left between them; then the links between tiles and the colours of the
// source's faces. Tile runs the whole sequence.

#include <algorithm>
#include <cstdint>
#include <vector>

#include "geometry/TilingMesh3d.h"
#include "processing/Tiling.h"
#include "processing/TilingTopology.h"

namespace {

// Growth state on flat arrays: vertex flags (0 untouched, 1 centre,
// 2 border) and face flags (1 covered).
struct CGrowth {
  CTilingMesh3d* tiling;
  const CTilingTopology& topo;
  std::vector<std::int8_t> vertexFlag;
  std::vector<std::int8_t> faceFlag;

  // One pending call of the depth-first growth: a vertex tile in its
  // candidate loop (phase 0) or face loop (phase 1), or a face tile with
  // the next neighbour slot to visit.
  struct Frame {
    int element;
    std::int8_t isFace;
    std::int8_t step;
  };
  std::vector<Frame> stack;
  // The face or centre vertex index of every tile, in tile order.
  std::vector<int> tileElement;

  CGrowth(CTilingMesh3d* t, const CTilingTopology& tp)
      : tiling(t), topo(tp), vertexFlag(size_t(tp.NbVertex()), 0),
        faceFlag(size_t(tp.NbFace()), 0) {}

  int FlagOf(int v) const { return v < 0 ? -1 : vertexFlag[size_t(v)]; }

  // The single corner of face g with flag 0, or -1 when there are none or several.
  int SingleUntouchedCorner(int g) const {
    int found = -1, count = 0;
    for (int i = 0; i < 3; i++) {
      const int v = topo.corner[size_t(3 * g + i)];
      if (FlagOf(v) == 0) {
        found = v;
        count++;
      }
    }
    return count == 1 ? found : -1;
  }

  int AllCornersBorder(int g) const {
    for (int i = 0; i < 3; i++)
      if (FlagOf(topo.corner[size_t(3 * g + i)]) != 2) return 0;
    return 1;
  }

  void Cover(int f, CTile3d* tile) {
    faceFlag[size_t(f)] = 1;
    tiling->m_FaceTile[size_t(f)] = tile;
  }

  // Opens a vertex tile at v: v becomes a centre, its neighbours borders,
  // its faces covered.
  void BeginVertexTile(int v) {
    CVertex3d* centre = tiling->GetVertex(v);
    CTile3d* tile = tiling->AddTile(centre, nullptr);
    tile->SetPosition(centre->Position());
    tileElement.push_back(v);
    vertexFlag[size_t(v)] = 1;
    for (int j = topo.faceStart[size_t(v)]; j < topo.faceStart[size_t(v) + 1]; j++) {
      const int f = topo.faces[size_t(j)];
      Cover(f, tile);
      for (int i = 0; i < 3; i++) {
        const int c = topo.corner[size_t(3 * f + i)];
        if (c >= 0 && c != v) vertexFlag[size_t(c)] = 2;
      }
    }
    stack.push_back({v, 0, 0});
  }

  // Opens a face tile at f: f covered, its corners borders.
  void BeginFaceTile(int f) {
    CFace3d* face = tiling->GetFace(f);
    CTile3d* tile = tiling->AddTile(nullptr, face);
    const CVertex3d *a = face->v(0), *b = face->v(1), *c = face->v(2);
    tile->SetPosition(CVector3d((a->x + b->x + c->x) * 0.3333333333333333,
                                (a->y + b->y + c->y) * 0.3333333333333333,
                                (a->z + b->z + c->z) * 0.3333333333333333));
    tileElement.push_back(f);
    Cover(f, tile);
    for (int i = 0; i < 3; i++) {
      const int c3 = topo.corner[size_t(3 * f + i)];
      if (c3 >= 0) vertexFlag[size_t(c3)] = 2;
    }
    stack.push_back({f, 1, 0});
  }

  // Candidate loop of a vertex tile: across the edge opposite v of each
  // incident face, a face not covered with one untouched corner; the corner
  // with the most incident faces wins (the first of equals). -1 when none.
  int BestCandidate(int v) const {
    int best = -1, bestCount = -1;
    for (int j = topo.faceStart[size_t(v)]; j < topo.faceStart[size_t(v) + 1]; j++) {
      const int g = topo.Opposite(topo.faces[size_t(j)], v);
      if (g < 0 || faceFlag[size_t(g)] == 1) continue;
      const int c = SingleUntouchedCorner(g);
      if (c < 0) continue;
      if (topo.Valence(c) > bestCount) {
        best = c;
        bestCount = topo.Valence(c);
      }
    }
    return best;
  }

  // Face loop of a vertex tile: the first face across an opposite edge,
  // not covered, whose corners are all borders. -1 when none.
  int FirstBorderFace(int v) const {
    for (int j = topo.faceStart[size_t(v)]; j < topo.faceStart[size_t(v) + 1]; j++) {
      const int g = topo.Opposite(topo.faces[size_t(j)], v);
      if (g >= 0 && faceFlag[size_t(g)] != 1 && AllCornersBorder(g)) return g;
    }
    return -1;
  }

  // Depth-first growth from seed with an explicit stack: each frame resumes
  // exactly where the recursive call would return to, so the tiles come in
  // the recursive order however deep the growth nests.
  void Run(int seed) {
    BeginVertexTile(seed);
    while (!stack.empty()) {
      Frame& top = stack.back();
      const int element = top.element;
      if (!top.isFace) {
        // vertex tile: candidates first, then the faces left between borders
        if (top.step == 0) {
          const int c = BestCandidate(element);
          if (c >= 0) {
            BeginVertexTile(c);
            continue;
          }
          top.step = 1;
        }
        const int g = FirstBorderFace(element);
        if (g >= 0)
          BeginFaceTile(g);
        else
          stack.pop_back();
        continue;
      }
      // face tile: its neighbours in slot order
      bool opened = false;
      while (top.step < 3) {
        const int q = topo.neighbor[size_t(3 * element + top.step)];
        top.step++;
        if (q < 0 || faceFlag[size_t(q)] == 1) continue;
        const int c = SingleUntouchedCorner(q);
        opened = true;
        // opening a tile may move the stack: top is not used after this
        if (c >= 0)
          BeginVertexTile(c);
        else
          BeginFaceTile(q);
        break;
      }
      if (!opened) stack.pop_back();
    }
  }
};

// Links every tile with the tiles of the faces around it.
void LinkTiles(CTilingMesh3d* tiling, const CTilingTopology& topo,
               const std::vector<int>& tileElement) {
  for (int t = 0; t < tiling->NbTile(); t++) {
    CTile3d* tile = tiling->GetTile(t);
    if (tile->IsFaceTile()) {
      const int f = tileElement[size_t(t)];
      // face tile: the tiles of its face's neighbours
      for (int i = 0; i < 3; i++) tile->Link(tiling->TileOfFace(topo.neighbor[size_t(3 * f + i)]));
      continue;
    }
    // vertex tile: the tiles across the edges opposite its centre
    const int v = tileElement[size_t(t)];
    for (int j = topo.faceStart[size_t(v)]; j < topo.faceStart[size_t(v) + 1]; j++)
      tile->Link(tiling->TileOfFace(topo.Opposite(topo.faces[size_t(j)], v)));
  }
}

// Colours the faces around each tile centre of the copy on the source
// mesh, cycling through nine colours in vertex order.
void ColorSource(const std::vector<std::int8_t>& vertexFlag, CMesh3d* source) {
  static const unsigned char kPalette[9][3] = {{40, 128, 255},  {40, 128, 128},  {255, 128, 84},
                                               {128, 128, 128}, {255, 255, 128}, {128, 128, 255},
                                               {255, 128, 192}, {128, 255, 128}, {0, 128, 80}};
  if (!source) return;
  const int nv = std::min(static_cast<int>(vertexFlag.size()), source->NbVertex());
  int k = 0;
  for (int i = 0; i < nv; i++) {
    if (vertexFlag[size_t(i)] != 1) continue;
    const unsigned char* rgb = kPalette[k % 9];
    const CVertex3d* v = source->GetVertex(i);
    for (int j = 0; j < v->NbFace(); j++)
      if (CFace3d* f = v->GetFace(j)) f->m_Color.Set(rgb[0], rgb[1], rgb[2]);
    k++;
  }
}

} // namespace

int Tile(CTilingMesh3d* tiling, int seed, int split, CMesh3d* source) {
  if (!tiling) return 0;
  // fresh state: no tiles, every flag 0
  tiling->ClearTiles();
  tiling->SetFlagOnFaces(0);
  tiling->SetFlagOnVertices(0);
  const CTilingTopology topo = ReadTilingTopology(tiling);
  tiling->m_FaceTile.assign(size_t(topo.NbFace()), nullptr);

  // growth (a seed outside the vertices grows nothing)
  CGrowth growth(tiling, topo);
  if (seed >= 0 && seed < topo.NbVertex()) growth.Run(seed);

  // links, colours, polygons
  LinkTiles(tiling, topo, growth.tileElement);
  ColorSource(growth.vertexFlag, source);
  FindTilePolygons(tiling, topo, growth.tileElement);
  if (split) SplitTilePolygons(tiling);

  // the growth state stays on the copy's elements
  for (int v = 0; v < topo.NbVertex(); v++)
    tiling->GetVertex(v)->m_Flag = growth.vertexFlag[size_t(v)];
  for (int f = 0; f < topo.NbFace(); f++) tiling->GetFace(f)->m_Flag = growth.faceFlag[size_t(f)];
  tiling->SetModified();
  return tiling->NbPolygon();
}
