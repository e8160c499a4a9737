#pragma once

// The vertices a simplification works on, by their place in the mesh's
// vertex array when it started: each vertex's flag holds its place, so a
// pointer gives its place back without a search. A vertex that goes is
// forgotten, and is then found nowhere.

#include <vector>

#include "geometry/Mesh3d.h"

class CVertexPlaces {
public:
  // Takes the mesh's vertices and writes their places into their flags.
  void Assign(const CMesh3d& mesh) {
    m_Vertex.assign(mesh.m_ArrayVertex.begin(), mesh.m_ArrayVertex.end());
    for (int i = 0; i < Size(); i++)
      if (m_Vertex[static_cast<size_t>(i)]) m_Vertex[static_cast<size_t>(i)]->m_Flag = i;
  }
  int Size() const { return static_cast<int>(m_Vertex.size()); }
  CVertex3d* operator[](int i) const { return m_Vertex[static_cast<size_t>(i)]; }
  void Forget(int i) { m_Vertex[static_cast<size_t>(i)] = nullptr; }

  // The place of v, -1 for null, a forgotten vertex or one not in the array.
  int IndexOf(const CVertex3d* v) const {
    const int i = v ? v->m_Flag : -1;
    return i >= 0 && i < Size() && m_Vertex[static_cast<size_t>(i)] == v ? i : -1;
  }
  // The places of v's neighbours in list order, leaving out those without
  // a place and the place skip.
  void Ring(const CVertex3d* v, int skip, std::vector<int>& out) const {
    out.clear();
    for (const CVertex3d* n : v->m_ArrayVertexNeighbor) {
      const int j = IndexOf(n);
      if (j >= 0 && j != skip) out.push_back(j);
    }
  }

private:
  std::vector<CVertex3d*> m_Vertex;
};
