#include "compression/SurfaceCounts.h"

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <vector>

#include "geometry/PolygonMesh.h"

namespace {

int Root(std::vector<int>& parent, int v) {
  while (parent[v] != v) v = parent[v] = parent[parent[v]];
  return v;
}

} // namespace

CSurfaceCounts CountSurface(const CPolygonMesh& mesh) {
  CSurfaceCounts counts;
  const int n = mesh.NbVertex();
  counts.m_V = n;
  counts.m_F = mesh.NbFace();
  // Distinct edges as sorted vertex pairs; components by union-find
  std::vector<uint64_t> edges;
  std::vector<int> parent(static_cast<size_t>(n));
  std::iota(parent.begin(), parent.end(), 0);
  for (int f = 0; f < mesh.NbFace(); ++f) {
    const int size = mesh.FaceSize(f);
    const int* c = mesh.FaceCorners(f);
    for (int k = 0; k < size; ++k) {
      const int a = std::min(c[k], c[(k + 1) % size]), b = std::max(c[k], c[(k + 1) % size]);
      if (a < 0 || b >= n) continue;
      edges.push_back(uint64_t(a) << 32 | uint32_t(b));
      parent[Root(parent, a)] = Root(parent, b);
    }
  }
  std::sort(edges.begin(), edges.end());
  counts.m_E = std::unique(edges.begin(), edges.end()) - edges.begin();
  for (int v = 0; v < n; ++v)
    if (Root(parent, v) == v) ++counts.m_C;
  counts.m_G = counts.m_C - (counts.m_V - counts.m_E + counts.m_F) / 2;
  return counts;
}
