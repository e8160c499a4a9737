// Polygons of tiles: closed cycles of tiles found by turning around the
// border vertices between tiles, kept once whatever their order; and their
// split into triangles along the fan of best compacity.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include "geometry/TilingMesh3d.h"
#include "processing/Tiling.h"
#include "processing/TilingTopology.h"

namespace {

// Turning walks around pivot vertices, with a visit stamp per face so that
// each walk starts with every face unvisited at no cost.
class CPolygonWalker {
public:
  CPolygonWalker(CTilingMesh3d* tiling, const CTilingTopology& topo)
      : m_Tiling(tiling), m_Topo(topo), m_Visited(size_t(topo.NbFace()), 0) {}

  // Walks from face start (entered from face previous) around pivot,
  // collecting tiles after t and u; true when it closes on a tile other
  // than u that is a neighbour of t.
  bool Walk(CTile3d* t, CTile3d* u, int previous, int start, int pivot,
            std::vector<CTile3d*>& polygon) {
    m_Stamp++;
    polygon.assign({t, u});
    m_Visited[size_t(previous)] = m_Stamp;
    m_Visited[size_t(start)] = m_Stamp;
    int current = start;
    for (;;) {
      // step across the current face's other edge at the pivot
      const int slot = m_Topo.CornerSlot(current, pivot);
      if (slot < 0) return false;
      const int after = m_Topo.neighbor[size_t(3 * current + slot)];
      const int before = m_Topo.neighbor[size_t(3 * current + (slot + 2) % 3)];
      const int next = after == previous ? before : before == previous ? after : -1;
      // boundary case: no face there, or the turn closed without success
      if (next < 0 || m_Visited[size_t(next)] == m_Stamp) return false;
      m_Visited[size_t(next)] = m_Stamp;
      CTile3d* w = m_Tiling->TileOfFace(next);
      if (!w) return false;
      if (std::find(polygon.begin(), polygon.end(), w) == polygon.end()) polygon.push_back(w);
      if (w != u && w->HasNeighbor(t)) return true;
      previous = current;
      current = next;
    }
  }

private:
  CTilingMesh3d* m_Tiling;
  const CTilingTopology& m_Topo;
  std::vector<std::uint32_t> m_Visited;
  std::uint32_t m_Stamp = 0;
};

// Stores polygons unless one with the same tiles (in any order) is stored:
// the sorted tile indices of the stored polygons are kept end to end and
// found through an open-addressing table of their hashes.
class CPolygonStore {
public:
  explicit CPolygonStore(CTilingMesh3d* tiling) : m_Tiling(tiling), m_Table(1024, -1) {
    m_KeyStart.push_back(0);
  }

  void Offer(const std::vector<CTile3d*>& tiles) {
    m_Key.resize(tiles.size());
    for (size_t i = 0; i < tiles.size(); i++) m_Key[i] = tiles[i]->m_Index;
    std::sort(m_Key.begin(), m_Key.end());
    const std::uint64_t hash = HashOf(m_Key);
    size_t slot = hash & (m_Table.size() - 1);
    for (; m_Table[slot] >= 0; slot = (slot + 1) & (m_Table.size() - 1))
      if (m_Hashes[size_t(m_Table[slot])] == hash && SameKey(m_Table[slot])) return;

    // a new polygon
    const int id = static_cast<int>(m_Hashes.size());
    m_Table[slot] = id;
    m_Hashes.push_back(hash);
    m_Keys.insert(m_Keys.end(), m_Key.begin(), m_Key.end());
    m_KeyStart.push_back(static_cast<int>(m_Keys.size()));
    auto polygon = std::make_unique<CTilePolygon3d>();
    polygon->m_ArrayTile = tiles;
    polygon->m_Closed = 1;
    m_Tiling->m_ArrayPolygon.push_back(std::move(polygon));
    if (2 * m_Hashes.size() > m_Table.size()) Grow();
  }

private:
  CTilingMesh3d* m_Tiling;
  std::vector<int> m_Table; // polygon ids, -1 for an empty slot; at most half full
  std::vector<std::uint64_t> m_Hashes;
  std::vector<int> m_KeyStart, m_Keys;
  std::vector<int> m_Key; // the key being offered

  // FNV-1a over the indices.
  static std::uint64_t HashOf(const std::vector<int>& key) {
    std::uint64_t hash = 1469598103934665603ull;
    for (int k : key) hash = (hash ^ std::uint64_t(std::uint32_t(k))) * 1099511628211ull;
    return hash ^ (hash >> 29);
  }

  bool SameKey(int id) const {
    const int start = m_KeyStart[size_t(id)], end = m_KeyStart[size_t(id) + 1];
    return end - start == static_cast<int>(m_Key.size()) &&
           std::equal(m_Key.begin(), m_Key.end(), m_Keys.begin() + start);
  }

  void Grow() {
    std::vector<int> table(m_Table.size() * 2, -1);
    for (int id = 0; id < static_cast<int>(m_Hashes.size()); id++) {
      size_t slot = m_Hashes[size_t(id)] & (table.size() - 1);
      while (table[slot] >= 0) slot = (slot + 1) & (table.size() - 1);
      table[slot] = id;
    }
    m_Table.swap(table);
  }
};

// Compacity of the triangle of three tile positions: 4 pi area / perimeter^2,
// 0 when the perimeter is 0.
double TriangleCompacity(const CTile3d* a, const CTile3d* b, const CTile3d* c) {
  const CVector3d p = a->Position(), q = b->Position(), r = c->Position();
  const double perimeter = (q - p).Length() + (r - q).Length() + (p - r).Length();
  if (perimeter == 0.0) return 0.0;
  const double area = ((r - q) ^ (p - q)).Length() / 2.0;
  return 4.0 * 3.14159265359 * area / (perimeter * perimeter);
}

} // namespace

void FindTilePolygons(CTilingMesh3d* tiling, const CTilingTopology& topo,
                      const std::vector<int>& tileElement) {
  tiling->m_ArrayPolygon.clear();
  CPolygonWalker walker(tiling, topo);
  CPolygonStore store(tiling);
  std::vector<CTile3d*> polygon;

  // first pass: around the corners of every face tile
  for (int t = 0; t < tiling->NbTile(); t++) {
    CTile3d* tile = tiling->GetTile(t);
    if (!tile->IsFaceTile()) continue;
    const int f = tileElement[size_t(t)];
    for (int j = 0; j < 3; j++) {
      // S across the edge opposite corner j; the pivot is corner j + 2
      const int s = topo.neighbor[size_t(3 * f + (j + 1) % 3)];
      const int pivot = topo.corner[size_t(3 * f + (j + 2) % 3)];
      CTile3d* u = tiling->TileOfFace(s);
      if (!u || pivot < 0) continue;
      if (walker.Walk(tile, u, f, s, pivot, polygon)) store.Offer(polygon);
    }
  }

  // second pass: around the corner before the centre of every vertex tile's faces
  for (int t = 0; t < tiling->NbTile(); t++) {
    CTile3d* tile = tiling->GetTile(t);
    if (tile->IsFaceTile()) continue;
    const int c = tileElement[size_t(t)];
    for (int j = topo.faceStart[size_t(c)]; j < topo.faceStart[size_t(c) + 1]; j++) {
      const int s = topo.faces[size_t(j)];
      const int l = topo.CornerSlot(s, c);
      if (l < 0) continue;
      const int g = topo.neighbor[size_t(3 * s + (l + 1) % 3)];
      const int pivot = topo.corner[size_t(3 * s + (l + 2) % 3)];
      CTile3d* u = tiling->TileOfFace(g);
      if (!u || pivot < 0) continue;
      if (walker.Walk(tile, u, s, g, pivot, polygon)) store.Offer(polygon);
    }
  }
}

int BestFan(const std::vector<CTile3d*>& corners) {
  const int n = static_cast<int>(corners.size());
  int best = 0;
  double bestScore = -1.0;
  for (int j = 0; j < n; j++) {
    double score = 0.0;
    for (int k = 0; k + 3 <= n; k++) {
      int c[3];
      FanTriangle(n, j, k, c);
      score +=
          TriangleCompacity(corners[size_t(c[0])], corners[size_t(c[1])], corners[size_t(c[2])]);
    }
    if (score > bestScore) {
      best = j;
      bestScore = score;
    }
  }
  return best;
}

void SplitTilePolygons(CTilingMesh3d* tiling) {
  std::vector<std::unique_ptr<CTilePolygon3d>> kept, fans;
  for (auto& polygon : tiling->m_ArrayPolygon) {
    const int n = polygon->NbTile();
    if (n <= 3) {
      kept.push_back(std::move(polygon));
      continue;
    }
    // the triangles of the best fan, their corners linked pairwise
    const std::vector<CTile3d*>& t = polygon->m_ArrayTile;
    const int j = BestFan(t);
    for (int k = 0; k + 3 <= n; k++) {
      int c[3];
      FanTriangle(n, j, k, c);
      auto triangle = std::make_unique<CTilePolygon3d>();
      triangle->m_ArrayTile = {t[size_t(c[0])], t[size_t(c[1])], t[size_t(c[2])]};
      t[size_t(c[0])]->Link(t[size_t(c[1])]);
      t[size_t(c[1])]->Link(t[size_t(c[2])]);
      t[size_t(c[2])]->Link(t[size_t(c[0])]);
      fans.push_back(std::move(triangle));
    }
  }
  for (auto& triangle : fans) kept.push_back(std::move(triangle));
  tiling->m_ArrayPolygon.swap(kept);
  tiling->SetModified();
}
