// Relaxation of the face tiles of a tiling: a gradient step on the sum of
// squared distances to their neighbours (Gauss-Seidel order, each tile
// seeing the tiles moved before it), with the step shrinking whenever the
// energy grows; the vertex tiles stay where they are.

#include <vector>

#include "geometry/TilingMesh3d.h"
#include "processing/Tiling.h"

namespace {

// The tiles on flat arrays: positions (3 floats each) and the neighbours
// of the face tiles.
struct CNodeArrays {
  std::vector<float> position;
  std::vector<int> faceTiles;     // indices of the face tiles, in tile order
  std::vector<int> neighborStart; // per face tile, into neighbors
  std::vector<int> neighbors;

  explicit CNodeArrays(const CTilingMesh3d* tiling) {
    position.resize(size_t(3) * tiling->NbTile());
    neighborStart.push_back(0);
    for (const auto& tile : tiling->m_ArrayTile) {
      for (int i = 0; i < 3; i++) position[size_t(3 * tile->m_Index + i)] = tile->m_Position[i];
      if (!tile->IsFaceTile()) continue;
      faceTiles.push_back(tile->m_Index);
      for (const CTile3d* n : tile->m_ArrayNeighbor) neighbors.push_back(n->m_Index);
      neighborStart.push_back(static_cast<int>(neighbors.size()));
    }
  }

  // Sum over face tiles of the squared distances to their neighbours.
  double Energy() const {
    double e = 0.0;
    for (size_t k = 0; k < faceTiles.size(); k++) {
      const float* p = &position[size_t(3 * faceTiles[k])];
      for (int j = neighborStart[k]; j < neighborStart[k + 1]; j++) {
        const float* q = &position[size_t(3 * neighbors[size_t(j)])];
        const double dx = double(q[0]) - p[0], dy = double(q[1]) - p[1], dz = double(q[2]) - p[2];
        e += dx * dx + dy * dy + dz * dz;
      }
    }
    return e;
  }

  // Moves every face tile by step times the sum of the vectors to its
  // neighbours, in order, with the positions as they are at that moment.
  void Relax(float step) {
    for (size_t k = 0; k < faceTiles.size(); k++) {
      float* p = &position[size_t(3 * faceTiles[k])];
      double sx = 0.0, sy = 0.0, sz = 0.0;
      for (int j = neighborStart[k]; j < neighborStart[k + 1]; j++) {
        const float* q = &position[size_t(3 * neighbors[size_t(j)])];
        sx += double(q[0]) - p[0];
        sy += double(q[1]) - p[1];
        sz += double(q[2]) - p[2];
      }
      p[0] = static_cast<float>(p[0] + step * sx);
      p[1] = static_cast<float>(p[1] + step * sy);
      p[2] = static_cast<float>(p[2] + step * sz);
    }
  }
};

} // namespace

void OptimizeNodes(CTilingMesh3d* tiling, int iterations, const std::function<void()>& repaint) {
  if (!tiling) return;
  CNodeArrays nodes(tiling);

  // iterations, the step shrinking after any that raised the energy
  float step = 0.1f;
  double energy = nodes.Energy();
  for (int it = 0; it < iterations; it++) {
    const double before = energy;
    nodes.Relax(step);
    energy = nodes.Energy();
    if (energy >= before) step *= 0.8f;
    if (repaint) {
      for (int t : nodes.faceTiles)
        for (int i = 0; i < 3; i++)
          tiling->GetTile(t)->m_Position[i] = nodes.position[size_t(3 * t + i)];
      tiling->SetModified();
      repaint();
    }
  }

  // each face tile back onto its face, at the closest point of the triangle
  for (int t : nodes.faceTiles) {
    CTile3d* tile = tiling->GetTile(t);
    const CVector3d p(nodes.position[size_t(3 * t)], nodes.position[size_t(3 * t + 1)],
                      nodes.position[size_t(3 * t + 2)]);
    CVector3d closest = p;
    if (tile->m_pFace && !tile->m_pFace->HasNullVertex())
      PointTriangleDistance(p, tile->m_pFace, closest);
    tile->SetPosition(closest);
  }
  tiling->SetModified();
  if (repaint) repaint();
}
