#pragma once

#include <vector>

#include "geometry/Array3d.h"
#include "geometry/Vertex3d.h"

// Gives every vertex of an array its index through the vertex flags, for
// the length of one operation: the old flags are kept aside and put back
// when the indexer goes. A vertex belongs to the array exactly when the
// slot its flag names holds that vertex, so a vertex foreign to the array
// is recognised whatever its flag says. A vertex listed twice gets the
// index of its last slot.
class CVertexIndexer {
public:
  explicit CVertexIndexer(const CArray3d<CVertex3d>& vertices) : m_Vertices(vertices) {
    int nv = vertices.GetSize();
    m_SavedFlags.resize(static_cast<size_t>(nv));
    for (int i = 0; i < nv; i++) {
      CVertex3d* v = vertices[i];
      if (!v) continue;
      m_SavedFlags[static_cast<size_t>(i)] = v->m_Flag;
      v->m_Flag = i;
    }
  }
  ~CVertexIndexer() {
    // in reverse, so a vertex listed twice gets its original flag back
    for (int i = m_Vertices.GetSize() - 1; i >= 0; i--)
      if (CVertex3d* v = m_Vertices[i]) v->m_Flag = m_SavedFlags[static_cast<size_t>(i)];
  }
  CVertexIndexer(const CVertexIndexer&) = delete;
  CVertexIndexer& operator=(const CVertexIndexer&) = delete;

  // Index of v in the array; -1 for null or a vertex foreign to the array.
  int IndexOf(const CVertex3d* v) const {
    if (!v) return -1;
    int i = v->m_Flag;
    if (i < 0 || i >= m_Vertices.GetSize() || m_Vertices[i] != v) return -1;
    return i;
  }

private:
  const CArray3d<CVertex3d>& m_Vertices;
  std::vector<int> m_SavedFlags;
};
