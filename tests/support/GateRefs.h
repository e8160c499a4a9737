#pragma once

// Conquest orders with gate references for the gate geometry tests and
// benchmarks: a breadth-first gate conquest of a triangle mesh, and a
// fixed chain in which every vertex is predicted from the three before it.

#include <cstdint>
#include <deque>
#include <unordered_map>
#include <vector>

#include "compression/GateGeometry.h"
#include "geometry/Mesh3d.h"

namespace gaterefs {

struct CConquest {
  std::vector<CGateVertexRef> refs;
  std::vector<float> xyz; // conquest order
};

// Gate-by-gate conquest of indexed triangles from face 0; each component
// left over starts from its lowest face, whose new corners are seeds.
inline CConquest FromTriangles(const std::vector<float>& xyz, const std::vector<int>& tris) {
  const int nf = static_cast<int>(tris.size() / 3), nv = static_cast<int>(xyz.size() / 3);
  auto key = [](int a, int b) { return (uint64_t(uint32_t(a)) << 32) | uint32_t(b); };
  std::unordered_map<uint64_t, int> faceOfEdge;
  for (int f = 0; f < nf; ++f)
    for (int k = 0; k < 3; ++k) faceOfEdge[key(tris[3 * f + k], tris[3 * f + (k + 1) % 3])] = f;
  std::vector<int> order(nv, -1);
  std::vector<bool> done(nf, false);
  CConquest c;
  auto reach = [&](int v, CGateVertexRef ref) {
    if (order[v] >= 0) return;
    order[v] = static_cast<int>(c.refs.size());
    c.refs.push_back(ref);
    c.xyz.insert(c.xyz.end(), &xyz[3 * v], &xyz[3 * v] + 3);
  };
  struct Gate {
    int left, right, behind;
  };
  std::deque<Gate> gates;
  for (int seed = 0; seed < nf; ++seed) {
    if (done[seed]) continue;
    done[seed] = true;
    const int* t = &tris[3 * seed];
    for (int k = 0; k < 3; ++k) reach(t[k], {-1, -1, -1});
    for (int k = 0; k < 3; ++k) gates.push_back({t[k], t[(k + 1) % 3], t[(k + 2) % 3]});
    while (!gates.empty()) {
      const Gate g = gates.front();
      gates.pop_front();
      auto front = faceOfEdge.find(key(g.right, g.left));
      if (front == faceOfEdge.end() || done[front->second]) continue;
      done[front->second] = true;
      const int* f = &tris[3 * front->second];
      const int r = f[0] != g.left && f[0] != g.right   ? f[0]
                    : f[1] != g.left && f[1] != g.right ? f[1]
                                                        : f[2];
      reach(r, {order[g.left], order[g.right], order[g.behind]});
      gates.push_back({g.left, r, g.right});
      gates.push_back({r, g.right, g.left});
    }
  }
  for (int v = 0; v < nv; ++v) reach(v, {-1, -1, -1});
  return c;
}

inline CConquest FromMesh(const CMesh3d& mesh) {
  std::unordered_map<const CVertex3d*, int> index;
  std::vector<float> xyz;
  for (int i = 0; i < mesh.NbVertex(); ++i) {
    const CVertex3d* v = mesh.GetVertex(i);
    index[v] = i;
    xyz.insert(xyz.end(), {float(v->x), float(v->y), float(v->z)});
  }
  std::vector<int> tris;
  for (int f = 0; f < mesh.NbFace(); ++f)
    for (int k = 0; k < 3; ++k) tris.push_back(index[mesh.GetFace(f)->v(k)]);
  return FromTriangles(xyz, tris);
}

// Vertex i >= 3 predicted from (i - 3, i - 2, i - 1); the first three are seeds.
inline std::vector<CGateVertexRef> Chain(int n) {
  std::vector<CGateVertexRef> refs;
  for (int i = 0; i < n; ++i)
    refs.push_back(i < 3 ? CGateVertexRef{-1, -1, -1} : CGateVertexRef{i - 3, i - 2, i - 1});
  return refs;
}

} // namespace gaterefs
