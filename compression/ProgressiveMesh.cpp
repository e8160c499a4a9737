#include "compression/ProgressiveMesh.h"

#include <algorithm>
#include <utility>

namespace orvex {

namespace {

// Around a vertex: from the face (v, a, b) to the face (v, b, y) (forward,
// the fan order of a removed vertex's border) or to (v, x, a) (backward).
int SwingForward(const CProgressiveMesh& mesh, int c) {
  int o = mesh.O(CProgressiveMesh::Next(c));
  return o < 0 ? -1 : CProgressiveMesh::Next(o);
}
int SwingBackward(const CProgressiveMesh& mesh, int c) {
  int o = mesh.O(CProgressiveMesh::Prev(c));
  return o < 0 ? -1 : CProgressiveMesh::Prev(o);
}

// Calls visit(c) for every corner of the fan holding `start`, forward
// first and, when the fan is open, backward from `start`; stops early when
// visit returns true. `limit` bounds the walk on a damaged table.
template <class Visit>
bool VisitFan(const CProgressiveMesh& mesh, int start, int limit, Visit visit) {
  int c = start;
  for (int n = 0; n < limit; ++n) {
    if (visit(c)) return true;
    c = SwingForward(mesh, c);
    if (c < 0) break;
    if (c == start) return false;
  }
  if (c == start) return false;
  for (int n = 0, b = SwingBackward(mesh, start); b >= 0 && n < limit; ++n) {
    if (visit(b)) return true;
    b = SwingBackward(mesh, b);
  }
  return false;
}

} // namespace

void CProgressiveMesh::Build(std::vector<int32_t> positions, const std::vector<int>& triangles) {
  m_Position = std::move(positions);
  const int nbVertex = static_cast<int>(m_Position.size() / 3);
  m_NbFace = static_cast<int>(triangles.size() / 3);
  m_Corners.resize(triangles.size());
  for (size_t k = 0; k < triangles.size(); ++k) m_Corners[k] = {triangles[k], -1};
  m_Vertex.assign(nbVertex, CVertexRecord());
  m_Conquered.assign(m_NbFace, 0);
  m_FreeSlots.clear();

  // Pair the two corners facing each undirected edge: the corners are
  // bucketed by the edge's smaller end vertex (a counting sort), each
  // bucket sorted by the larger end, and an edge met by exactly two
  // corners of opposite orientations is linked.
  std::vector<int> start(nbVertex + 1, 0);
  for (size_t c = 0; c < m_Corners.size(); ++c) {
    const int a = m_Corners[Next(static_cast<int>(c))].m_V,
              b = m_Corners[Prev(static_cast<int>(c))].m_V;
    ++start[std::min(a, b) + 1];
  }
  for (int v = 0; v < nbVertex; ++v) start[v + 1] += start[v];
  std::vector<int> bucket(m_Corners.size());
  {
    std::vector<int> fill(start.begin(), start.end() - 1);
    for (size_t c = 0; c < m_Corners.size(); ++c) {
      const int a = m_Corners[Next(static_cast<int>(c))].m_V,
                b = m_Corners[Prev(static_cast<int>(c))].m_V;
      bucket[fill[std::min(a, b)]++] = static_cast<int>(c);
    }
  }
  auto larger = [&](int c) { return std::max(m_Corners[Next(c)].m_V, m_Corners[Prev(c)].m_V); };
  for (int v = 0; v < nbVertex; ++v) {
    // within the bucket, edges with the same larger end follow each other
    int* first = bucket.data() + start[v];
    int* last = bucket.data() + start[v + 1];
    if (last - first > 1)
      std::sort(first, last, [&](int x, int y) {
        return larger(x) != larger(y) ? larger(x) < larger(y) : x < y;
      });
    for (int* run = first; run < last;) {
      int* end = run + 1;
      while (end < last && larger(*end) == larger(*run)) ++end;
      // opposite orientations: c's edge a -> b meets d's edge b -> a
      const int c = run[0], d = end - run == 2 ? run[1] : -1;
      if (d >= 0 && m_Corners[Next(c)].m_V == m_Corners[Prev(d)].m_V &&
          m_Corners[Prev(c)].m_V == m_Corners[Next(d)].m_V) {
        m_Corners[c].m_O = d;
        m_Corners[d].m_O = c;
      }
      run = end;
    }
  }
  for (size_t c = 0; c < m_Corners.size(); ++c)
    if (m_Vertex[m_Corners[c].m_V].m_Corner < 0)
      m_Vertex[m_Corners[c].m_V].m_Corner = static_cast<int>(c);
  CountCorners();
}

void CProgressiveMesh::CountCorners() {
  for (CVertexRecord& record : m_Vertex) {
    record.m_Boundary = 0;
    record.m_Faces = 0;
  }
  for (int c = 0; c < static_cast<int>(m_Corners.size()); ++c) {
    const int v = m_Corners[c].m_V;
    if (v < 0) continue;
    ++m_Vertex[v].m_Faces;
    // the two edges at the corner: v -> next and prev -> v
    if (m_Corners[Prev(c)].m_O < 0 || m_Corners[Next(c)].m_O < 0) m_Vertex[v].m_Boundary = 1;
  }
}

int CProgressiveMesh::SplitPinchedVertices(std::vector<int>& origin) {
  origin.resize(NbVertex());
  for (int v = 0; v < NbVertex(); ++v) origin[v] = v;
  std::vector<char> visited(m_Corners.size(), 0);
  std::vector<char> hasFan(NbVertex(), 0);
  std::vector<int> fan;
  int split = 0;
  const int limit = static_cast<int>(m_Corners.size());
  for (int c = 0; c < static_cast<int>(m_Corners.size()); ++c) {
    if (visited[c] || m_Corners[c].m_V < 0) continue;
    const int v = m_Corners[c].m_V;
    fan.clear();
    VisitFan(*this, c, limit, [&](int k) {
      fan.push_back(k);
      return false;
    });
    for (int k : fan) visited[k] = 1;
    if (!hasFan[v]) {
      hasFan[v] = 1;
      m_Vertex[v].m_Corner = c;
      continue;
    }
    // a second fan of v: it gets a vertex of its own at the same place
    int copy = AddVertex(Position(v));
    origin.push_back(origin[v]);
    hasFan.push_back(1);
    for (int k : fan) m_Corners[k].m_V = copy;
    m_Vertex[copy].m_Corner = c;
    ++split;
  }
  CountCorners();
  return split;
}

int CProgressiveMesh::AddVertex(const int32_t p[3], bool boundary) {
  int32_t copy[3] = {p[0], p[1], p[2]};
  m_Position.insert(m_Position.end(), copy, copy + 3);
  CVertexRecord record;
  record.m_Boundary = boundary ? 1 : 0;
  m_Vertex.push_back(record);
  return NbVertex() - 1;
}

int CProgressiveMesh::CornerAfter(int a, int b) const {
  int start = m_Vertex[a].m_Corner;
  if (start < 0) return -1;
  int found = -1;
  VisitFan(*this, start, NbSlot(), [&](int c) {
    if (m_Corners[Prev(c)].m_V != b) return false;
    found = c;
    return true;
  });
  return found;
}

bool CProgressiveMesh::Linked(int a, int b) const {
  // the walk goes around the end with fewer faces
  if (m_Vertex[b].m_Faces < m_Vertex[a].m_Faces) std::swap(a, b);
  int start = m_Vertex[a].m_Corner;
  if (start < 0) return false;
  return VisitFan(*this, start, NbSlot(), [&](int c) {
    return m_Corners[Next(c)].m_V == b || m_Corners[Prev(c)].m_V == b;
  });
}

bool CProgressiveMesh::InteriorRing(int start, std::vector<int>& ring,
                                    std::vector<int>& corners) const {
  ring.clear();
  corners.clear();
  int c = start;
  for (int n = 0; n < NbSlot(); ++n) {
    ring.push_back(m_Corners[Next(c)].m_V);
    corners.push_back(c);
    c = SwingForward(*this, c);
    if (c < 0) return false;
    if (c == start) return true;
  }
  return false;
}

int CProgressiveMesh::NewSlot() {
  if (!m_FreeSlots.empty()) {
    int f = m_FreeSlots.back();
    m_FreeSlots.pop_back();
    return f;
  }
  m_Corners.insert(m_Corners.end(), 3, CCorner{-1, -1});
  m_Conquered.push_back(0);
  return NbSlot() - 1;
}

void CProgressiveMesh::Replace(const std::vector<int>& doomedCorners, const int* triangles,
                               int nbTriangles, std::vector<int>& newFaces) {
  // Edges of the region seen from outside: the directed edge and the
  // corner facing it in the neighbouring face.
  struct Outer {
    int from, to, corner;
  };
  Outer outer[64];
  int nbOuter = 0;
  auto doomed = [&](int face) {
    for (int c : doomedCorners)
      if (c / 3 == face) return true;
    return false;
  };
  for (int dc : doomedCorners) {
    const int f = dc / 3;
    for (int k = 3 * f; k < 3 * f + 3; ++k) {
      int o = m_Corners[k].m_O;
      if (o < 0 || doomed(o / 3) || nbOuter == 64) continue;
      outer[nbOuter++] = {m_Corners[Next(k)].m_V, m_Corners[Prev(k)].m_V, o};
    }
  }
  for (int dc : doomedCorners) {
    const int f = dc / 3;
    if (m_Corners[3 * f].m_V < 0) continue;
    for (int k = 3 * f; k < 3 * f + 3; ++k) {
      m_Vertex[m_Corners[k].m_V].m_Corner = -1;
      --m_Vertex[m_Corners[k].m_V].m_Faces;
      m_Corners[k].m_V = -1;
      m_Corners[k].m_O = -1;
    }
    m_Conquered[f] = 0;
    m_FreeSlots.push_back(f);
    --m_NbFace;
  }
  newFaces.clear();
  for (int t = 0; t < nbTriangles; ++t) {
    int f = NewSlot();
    for (int k = 0; k < 3; ++k) {
      m_Corners[3 * f + k].m_V = triangles[3 * t + k];
      m_Corners[3 * f + k].m_O = -1;
      m_Vertex[triangles[3 * t + k]].m_Corner = 3 * f + k;
      ++m_Vertex[triangles[3 * t + k]].m_Faces;
    }
    m_Conquered[f] = 0;
    newFaces.push_back(f);
    ++m_NbFace;
  }
  // Link the new faces with each other, then with the outside.
  for (size_t i = 0; i < newFaces.size(); ++i)
    for (int k = 3 * newFaces[i]; k < 3 * newFaces[i] + 3; ++k) {
      if (m_Corners[k].m_O >= 0) continue;
      const int from = m_Corners[Next(k)].m_V, to = m_Corners[Prev(k)].m_V;
      bool linked = false;
      for (size_t j = i + 1; j < newFaces.size() && !linked; ++j)
        for (int q = 3 * newFaces[j]; q < 3 * newFaces[j] + 3; ++q)
          if (m_Corners[Next(q)].m_V == to && m_Corners[Prev(q)].m_V == from) {
            m_Corners[k].m_O = q;
            m_Corners[q].m_O = k;
            linked = true;
            break;
          }
      for (int e = 0; e < nbOuter && !linked; ++e)
        if (outer[e].from == from && outer[e].to == to) {
          m_Corners[k].m_O = outer[e].corner;
          m_Corners[outer[e].corner].m_O = k;
          linked = true;
        }
    }
}

void CProgressiveMesh::ClearLayerState() {
  for (CVertexRecord& record : m_Vertex) {
    record.m_State = kFree;
    record.m_Tag = 0;
  }
  std::fill(m_Conquered.begin(), m_Conquered.end(), 0);
}

std::vector<int> CProgressiveMesh::Triangles() const {
  std::vector<int> out;
  out.reserve(3 * m_NbFace);
  for (int f = 0; f < NbSlot(); ++f)
    if (Alive(f))
      for (int k = 3 * f; k < 3 * f + 3; ++k) out.push_back(m_Corners[k].m_V);
  return out;
}

} // namespace orvex
