#pragma once

// Breadth-first gate conquest of a connected triangle mesh from face 0, as
// the gate geometry tests and benchmark need it: the vertices in conquest
// order, each with its gate's corners (the seed face's corners are seeds).

#include <deque>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "compression/GateGeometry.h"
#include "geometry/Mesh3d.h"

namespace gaterefs {

struct CConquest {
  std::vector<CGateVertexRef> refs;
  std::vector<float> xyz; // conquest order
};

inline CConquest FromMesh(const CMesh3d& mesh) {
  CConquest c;
  std::unordered_map<const CVertex3d*, int> order;
  auto reach = [&](const CVertex3d* v, CGateVertexRef ref) {
    if (!order.emplace(v, int(c.refs.size())).second) return;
    c.refs.push_back(ref);
    c.xyz.insert(c.xyz.end(), {float(v->x), float(v->y), float(v->z)});
  };
  // a gate is edge k = (v(k), v(k + 1)) of its face behind; f(k) is in front
  std::deque<std::pair<const CFace3d*, int>> gates;
  std::unordered_set<const CFace3d*> done = {mesh.GetFace(0)};
  for (int k = 0; k < 3; ++k) reach(mesh.GetFace(0)->v(k), {-1, -1, -1});
  for (int k = 0; k < 3; ++k) gates.emplace_back(mesh.GetFace(0), k);
  for (; !gates.empty(); gates.pop_front()) {
    const auto [behind, k] = gates.front();
    const CFace3d* f = behind->f(k);
    if (!f || !done.insert(f).second) continue;
    int j = 0;
    while (j < 2 && f->v(j) != behind->v((k + 1) % 3)) ++j; // the front face's edge (R, L)
    reach(f->v((j + 2) % 3),
          {order[behind->v(k)], order[behind->v((k + 1) % 3)], order[behind->v((k + 2) % 3)]});
    gates.emplace_back(f, (j + 1) % 3);
    gates.emplace_back(f, (j + 2) % 3);
  }
  return c;
}

} // namespace gaterefs
