#pragma once

// Flat copy of a triangle mesh's connectivity for the tiling's hot loops:
// corners and neighbours by face index, incident faces by vertex index (in
// each vertex's face-list order).

#include <cstddef>
#include <vector>

class CMesh3d;
class CTilingMesh3d;

struct CTilingTopology {
  std::vector<int> corner;    // 3 per face: vertex indices (-1 when foreign)
  std::vector<int> neighbor;  // 3 per face: neighbour i across (v(i), v(i+1)), -1 on a boundary
  std::vector<int> faceStart; // per vertex, into faces; one more entry at the end
  std::vector<int> faces;     // incident face indices of every vertex, in turn

  int NbFace() const { return static_cast<int>(corner.size() / 3); }
  int NbVertex() const { return static_cast<int>(faceStart.size()) - 1; }
  int Valence(int v) const { return faceStart[std::size_t(v) + 1] - faceStart[std::size_t(v)]; }
  // Slot (0, 1, 2) of vertex v in face f, or -1.
  int CornerSlot(int f, int v) const {
    for (int i = 0; i < 3; i++)
      if (corner[std::size_t(3 * f + i)] == v) return i;
    return -1;
  }
  // The face across the edge of f opposite its corner v, or -1.
  int Opposite(int f, int v) const {
    const int i = CornerSlot(f, v);
    return i < 0 ? -1 : neighbor[std::size_t(3 * f + (i + 1) % 3)];
  }
};

// Reads mesh into flat arrays. The vertex and face flags are used as
// scratch and left at 0.
CTilingTopology ReadTilingTopology(CMesh3d* mesh);

// Finds the closed cycles of tiles around the tile borders of a grown and
// linked tiling over topo (replacing any polygons); duplicates are dropped.
// tileElement holds the face index of each face tile and the centre's
// vertex index of each vertex tile, in tile order.
void FindTilePolygons(CTilingMesh3d* tiling, const CTilingTopology& topo,
                      const std::vector<int>& tileElement);
