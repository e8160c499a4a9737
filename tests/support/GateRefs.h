#pragma once

// Breadth-first gate conquest of a connected triangle mesh from face 0, as
// the gate geometry tests and benchmark need it: the vertices in conquest
// order, each with its gate's corners (the seed face's corners are seeds).

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

inline CConquest FromMesh(const CMesh3d& mesh) {
  std::unordered_map<const CVertex3d*, int> index, order;
  for (int i = 0; i < mesh.NbVertex(); ++i) index[mesh.GetVertex(i)] = i;
  auto key = [&](const CVertex3d* a, const CVertex3d* b) {
    return uint64_t(index[a]) * uint64_t(mesh.NbVertex()) + uint64_t(index[b]);
  };
  std::unordered_map<uint64_t, int> faceOfEdge; // directed edge -> face
  for (int f = 0; f < mesh.NbFace(); ++f)
    for (int k = 0; k < 3; ++k)
      faceOfEdge[key(mesh.GetFace(f)->v(k), mesh.GetFace(f)->v((k + 1) % 3))] = f;
  CConquest c;
  auto reach = [&](const CVertex3d* v, CGateVertexRef ref) {
    if (!order.emplace(v, int(c.refs.size())).second) return;
    c.refs.push_back(ref);
    c.xyz.insert(c.xyz.end(), {float(v->x), float(v->y), float(v->z)});
  };
  std::vector<bool> done(mesh.NbFace(), false);
  std::deque<const CVertex3d*> gates; // left, right, behind
  const CFace3d* seed = mesh.GetFace(0);
  for (int k = 0; k < 3; ++k) reach(seed->v(k), {-1, -1, -1});
  for (int k = 0; k < 3; ++k)
    gates.insert(gates.end(), {seed->v(k), seed->v((k + 1) % 3), seed->v((k + 2) % 3)});
  for (done[0] = true; !gates.empty(); gates.erase(gates.begin(), gates.begin() + 3)) {
    const CVertex3d *l = gates[0], *r = gates[1], *b = gates[2];
    auto front = faceOfEdge.find(key(r, l));
    if (front == faceOfEdge.end() || done[front->second]) continue;
    done[front->second] = true;
    const CFace3d* f = mesh.GetFace(front->second);
    int k = 0;
    while (f->v(k) == l || f->v(k) == r) ++k;
    reach(f->v(k), {order[l], order[r], order[b]});
    gates.insert(gates.end(), {l, f->v(k), r, f->v(k), r, l});
  }
  return c;
}

} // namespace gaterefs
