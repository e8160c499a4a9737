#pragma once

// Checks of mesh consistency shared by the geometry tests (GoogleTest
// assertions; tests only).

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <utility>

#include "geometry/Mesh3d.h"

namespace meshchecks {

// No neighbour pointer and no face list names a face that is not in the mesh.
inline void ExpectNoStaleReferences(const CMesh3d& mesh) {
  std::set<const CFace3d*> faces(mesh.m_ArrayFace.begin(), mesh.m_ArrayFace.end());
  for (const CFace3d* f : mesh.m_ArrayFace)
    for (int k = 0; k < 3; k++)
      if (f->f(k)) {
        EXPECT_TRUE(faces.count(f->f(k)));
      }
  for (const CVertex3d* v : mesh.m_ArrayVertex)
    for (const CFace3d* g : v->m_ArrayFaceNeighbor) EXPECT_TRUE(faces.count(g));
}

// Besides, every neighbour pointer is reciprocal and every face is listed by
// its corners.
inline void ExpectConsistentAdjacency(const CMesh3d& mesh) {
  ExpectNoStaleReferences(mesh);
  for (const CFace3d* f : mesh.m_ArrayFace)
    for (int k = 0; k < 3; k++) {
      EXPECT_TRUE(f->v(k)->HasFace(f));
      if (f->f(k)) {
        EXPECT_TRUE(f->f(k)->HasNeighbor(f));
      }
    }
}

inline int CountEdges(const CMesh3d& mesh) {
  std::set<std::pair<const CVertex3d*, const CVertex3d*>> edges;
  for (int i = 0; i < mesh.NbFace(); i++)
    for (int k = 0; k < 3; k++) {
      const CVertex3d *a = mesh.GetFace(i)->v(k), *b = mesh.GetFace(i)->v((k + 1) % 3);
      edges.insert(a < b ? std::make_pair(a, b) : std::make_pair(b, a));
    }
  return static_cast<int>(edges.size());
}

inline int Euler(const CMesh3d& mesh) {
  return mesh.NbVertex() - CountEdges(mesh) + mesh.NbFace();
}

// Largest number of faces sharing one edge (2 on a manifold).
inline int MaxFacesOnAnEdge(const CMesh3d& mesh) {
  std::map<std::pair<const CVertex3d*, const CVertex3d*>, int> count;
  int most = 0;
  for (const CFace3d* f : mesh.m_ArrayFace)
    for (int k = 0; k < 3; k++) {
      const CVertex3d *a = f->v(k), *b = f->v((k + 1) % 3);
      int& n = count[a < b ? std::make_pair(a, b) : std::make_pair(b, a)];
      most = std::max(most, ++n);
    }
  return most;
}

} // namespace meshchecks
