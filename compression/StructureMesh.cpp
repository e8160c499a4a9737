#include "compression/StructureMesh.h"

#include <cstdint>
#include <cstdio>
#include <unordered_map>

#include "geometry/Mesh3d.h"

namespace orvex {

namespace {

uint64_t EdgeKey(int a, int b) {
  return (static_cast<uint64_t>(static_cast<uint32_t>(a)) << 32) | static_cast<uint32_t>(b);
}

int Refuse(std::string& error, const char* format, int a, int b = 0) {
  char text[160];
  std::snprintf(text, sizeof text, format, a, b);
  error = text;
  return 0;
}

// Faces having both a and b as corners (asked only on the refusal path).
int FacesOnEdge(const std::vector<int>& triangles, int a, int b) {
  int count = 0;
  for (size_t t = 0; t + 2 < triangles.size(); t += 3) {
    const int* c = &triangles[t];
    const bool hasA = c[0] == a || c[1] == a || c[2] == a;
    const bool hasB = c[0] == b || c[1] == b || c[2] == b;
    count += hasA && hasB;
  }
  return count;
}

} // namespace

int CStructureMesh::Build(const CMesh3d& mesh, std::string& error) {
  const int nv = mesh.NbVertex(), nf = mesh.NbFace();
  std::unordered_map<const CVertex3d*, int> index;
  index.reserve(static_cast<size_t>(nv) * 2);
  for (int v = 0; v < nv; ++v) {
    if (!mesh.GetVertex(v)) return Refuse(error, "Vertex %d is missing", v);
    index[mesh.GetVertex(v)] = v;
  }
  std::vector<int> triangles(static_cast<size_t>(nf) * 3);
  for (int f = 0; f < nf; ++f) {
    const CFace3d* face = mesh.GetFace(f);
    for (int k = 0; k < 3; ++k) {
      auto found = face ? index.find(face->v(k)) : index.end();
      if (found == index.end()) return Refuse(error, "Face %d has a missing corner", f);
      triangles[3 * f + k] = found->second;
    }
  }
  return Build(nv, triangles, error);
}

int CStructureMesh::Build(int nbVertex, const std::vector<int>& triangles, std::string& error) {
  m_NbVertex = nbVertex;
  m_NbRealFace = static_cast<int>(triangles.size() / 3);
  if (m_NbRealFace == 0) return Refuse(error, "The mesh has no face to encode", 0);
  m_Head.assign(triangles.size(), -1);
  m_Twin.assign(triangles.size(), -1);
  m_Out.assign(nbVertex + 1, -1);
  m_Degree.assign(nbVertex + 1, 0);

  // half-edges, each direction at most once
  std::unordered_map<uint64_t, int> directed;
  directed.reserve(triangles.size() * 2);
  for (int f = 0; f < m_NbRealFace; ++f) {
    const int* c = &triangles[3 * f];
    for (int k = 0; k < 3; ++k)
      if (c[k] < 0 || c[k] >= nbVertex) return Refuse(error, "Face %d has a missing corner", f);
    if (c[0] == c[1] || c[1] == c[2] || c[2] == c[0])
      return Refuse(error, "Face %d repeats a corner: not a triangle", f);
    for (int k = 0; k < 3; ++k) {
      int h = 3 * f + k, a = c[k], b = c[(k + 1) % 3];
      m_Head[h] = b;
      m_Out[a] = h;
      auto inserted = directed.emplace(EdgeKey(a, b), h);
      if (!inserted.second) {
        if (FacesOnEdge(triangles, a, b) > 2)
          return Refuse(error, "Edge (%d, %d) has more than two faces: the mesh is not manifold", a,
                        b);
        return Refuse(error, "Faces %d and %d are not oriented alike", inserted.first->second / 3,
                      f);
      }
    }
  }
  for (int h = 0; h < static_cast<int>(m_Head.size()); ++h) {
    auto twin = directed.find(EdgeKey(m_Head[h], Tail(h)));
    if (twin != directed.end()) m_Twin[h] = twin->second;
  }
  return CloseBoundaries(error) && CheckFans(error);
}

int CStructureMesh::CloseBoundaries(std::string& error) {
  // dummy face (b, a, D) behind every boundary half-edge a -> b
  const int dummy = m_NbVertex;
  const int realHalfEdges = static_cast<int>(m_Head.size());
  std::vector<int> leaving(m_NbVertex, -1), entering(m_NbVertex, -1);
  for (int h = 0; h < realHalfEdges; ++h) {
    if (m_Twin[h] >= 0) continue;
    int a = Tail(h), b = Head(h);
    if (leaving[a] >= 0 || entering[b] >= 0)
      return Refuse(error, "Vertex %d joins two boundaries: the mesh is not manifold",
                    leaving[a] >= 0 ? a : b);
    int face = static_cast<int>(m_Head.size() / 3);
    leaving[a] = face;
    entering[b] = face;
    m_Head.insert(m_Head.end(), {a, dummy, b}); // b->a, a->D, D->b
    m_Twin.insert(m_Twin.end(), {h, -1, -1});
    m_Twin[h] = 3 * face;
    m_Out[dummy] = 3 * face + 2;
  }
  // a -> D twins D -> a in the dummy face of the boundary edge entering a
  for (int f = realHalfEdges / 3; f < NbFace(); ++f) {
    int a = m_Head[3 * f];
    int other = entering[a];
    if (other < 0) return Refuse(error, "Vertex %d ends a boundary without starting one", a);
    m_Twin[3 * f + 1] = 3 * other + 2;
    m_Twin[3 * other + 2] = 3 * f + 1;
  }
  return 1;
}

int CStructureMesh::CheckFans(std::string& error) {
  // every real vertex: its faces form one fan of at least three neighbours
  std::vector<int> faces(m_NbVertex + 1, 0);
  for (int h = 0; h < static_cast<int>(m_Head.size()); ++h) ++faces[Tail(h)];
  m_Degree[m_NbVertex] = faces[m_NbVertex];
  for (int v = 0; v < m_NbVertex; ++v) {
    if (m_Out[v] < 0) continue;
    int count = 0;
    int h = m_Out[v];
    do {
      ++count;
      h = RotateOut(h);
    } while (h != m_Out[v] && count <= faces[v]);
    if (count != faces[v])
      return Refuse(error, "Vertex %d is shared by separate fans: the mesh is not manifold", v);
    if (count < 3) return Refuse(error, "Vertex %d has fewer than three neighbours", v);
    m_Degree[v] = count;
  }
  return 1;
}

int CStructureMesh::Find(int a, int b) const {
  int h = m_Out[a];
  if (h < 0) return -1;
  for (int i = 0; i < m_Degree[a]; ++i, h = RotateOut(h))
    if (m_Head[h] == b) return h;
  return -1;
}

} // namespace orvex
