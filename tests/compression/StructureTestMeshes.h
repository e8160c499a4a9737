#pragma once

// Index form of meshes for the structure coder tests.

#include <map>
#include <vector>

#include "geometry/Mesh3d.h"

namespace structuretest {

// The mesh's faces as vertex index triples.
inline std::vector<int> Triangles(const CMesh3d& mesh) {
  std::map<const CVertex3d*, int> index;
  for (int i = 0; i < mesh.NbVertex(); ++i) index[mesh.GetVertex(i)] = i;
  std::vector<int> triangles;
  for (int f = 0; f < mesh.NbFace(); ++f)
    for (int k = 0; k < 3; ++k) triangles.push_back(index.at(mesh.GetFace(f)->v(k)));
  return triangles;
}

// The triple turned so that its smallest index comes first (orientation kept).
inline std::vector<int> Canonical(int a, int b, int c) {
  if (b < a && b < c) return {b, c, a};
  if (c < a && c < b) return {c, a, b};
  return {a, b, c};
}

} // namespace structuretest
