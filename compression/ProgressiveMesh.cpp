#include "compression/ProgressiveMesh.h"

#include <algorithm>
#include <utility>

namespace orvex {

namespace {

// Around a vertex: from the face (v, a, b) to the face (v, b, y) (forward,
// the fan order of a removed vertex's border) or to (v, x, a) (backward).
int SwingForward(const std::vector<int>& opposite, int c) {
  int o = opposite[CProgressiveMesh::Next(c)];
  return o < 0 ? -1 : CProgressiveMesh::Next(o);
}
int SwingBackward(const std::vector<int>& opposite, int c) {
  int o = opposite[CProgressiveMesh::Prev(c)];
  return o < 0 ? -1 : CProgressiveMesh::Prev(o);
}

// Calls visit(c) for every corner of the fan holding `start`, forward
// first and, when the fan is open, backward from `start`; stops early when
// visit returns true. `limit` bounds the walk on a damaged table.
template <class Visit>
bool VisitFan(const std::vector<int>& opposite, int start, int limit, Visit visit) {
  int c = start;
  for (int n = 0; n < limit; ++n) {
    if (visit(c)) return true;
    c = SwingForward(opposite, c);
    if (c < 0) break;
    if (c == start) return false;
  }
  if (c == start) return false;
  for (int n = 0, b = SwingBackward(opposite, start); b >= 0 && n < limit; ++n) {
    if (visit(b)) return true;
    b = SwingBackward(opposite, b);
  }
  return false;
}

} // namespace

void CProgressiveMesh::Build(std::vector<int32_t> positions, const std::vector<int>& triangles) {
  m_Position = std::move(positions);
  const int nbVertex = static_cast<int>(m_Position.size() / 3);
  m_Corner = triangles;
  m_NbFace = static_cast<int>(triangles.size() / 3);
  m_Opposite.assign(m_Corner.size(), -1);
  m_VertexCorner.assign(nbVertex, -1);
  m_VertexAlive.assign(nbVertex, 1);
  m_State.assign(nbVertex, kFree);
  m_Tag.assign(nbVertex, 0);
  m_Conquered.assign(m_NbFace, 0);
  m_FreeSlots.clear();

  // Pair the two corners facing each undirected edge: the corners are
  // bucketed by the edge's smaller end vertex (a counting sort), each
  // bucket sorted by the larger end, and an edge met by exactly two
  // corners of opposite orientations is linked.
  std::vector<int> start(nbVertex + 1, 0);
  for (size_t c = 0; c < m_Corner.size(); ++c) {
    const int a = m_Corner[Next(static_cast<int>(c))], b = m_Corner[Prev(static_cast<int>(c))];
    ++start[std::min(a, b) + 1];
  }
  for (int v = 0; v < nbVertex; ++v) start[v + 1] += start[v];
  std::vector<int> bucket(m_Corner.size());
  {
    std::vector<int> fill(start.begin(), start.end() - 1);
    for (size_t c = 0; c < m_Corner.size(); ++c) {
      const int a = m_Corner[Next(static_cast<int>(c))], b = m_Corner[Prev(static_cast<int>(c))];
      bucket[fill[std::min(a, b)]++] = static_cast<int>(c);
    }
  }
  auto larger = [&](int c) { return std::max(m_Corner[Next(c)], m_Corner[Prev(c)]); };
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
      if (d >= 0 && m_Corner[Next(c)] == m_Corner[Prev(d)] &&
          m_Corner[Prev(c)] == m_Corner[Next(d)]) {
        m_Opposite[c] = d;
        m_Opposite[d] = c;
      }
      run = end;
    }
  }
  for (size_t c = 0; c < m_Corner.size(); ++c)
    if (m_VertexCorner[m_Corner[c]] < 0) m_VertexCorner[m_Corner[c]] = static_cast<int>(c);
  CountCorners();
}

void CProgressiveMesh::CountCorners() {
  m_Boundary.assign(NbVertex(), 0);
  m_FaceCount.assign(NbVertex(), 0);
  for (int c = 0; c < static_cast<int>(m_Corner.size()); ++c) {
    const int v = m_Corner[c];
    if (v < 0) continue;
    ++m_FaceCount[v];
    // the two edges at the corner: v -> next and prev -> v
    if (m_Opposite[Prev(c)] < 0 || m_Opposite[Next(c)] < 0) m_Boundary[v] = 1;
  }
}

int CProgressiveMesh::SplitPinchedVertices(std::vector<int>& origin) {
  origin.resize(NbVertex());
  for (int v = 0; v < NbVertex(); ++v) origin[v] = v;
  std::vector<char> visited(m_Corner.size(), 0);
  std::vector<char> hasFan(NbVertex(), 0);
  std::vector<int> fan;
  int split = 0;
  const int limit = static_cast<int>(m_Corner.size());
  for (int c = 0; c < static_cast<int>(m_Corner.size()); ++c) {
    if (visited[c] || m_Corner[c] < 0) continue;
    const int v = m_Corner[c];
    fan.clear();
    VisitFan(m_Opposite, c, limit, [&](int k) {
      fan.push_back(k);
      return false;
    });
    for (int k : fan) visited[k] = 1;
    if (!hasFan[v]) {
      hasFan[v] = 1;
      m_VertexCorner[v] = c;
      continue;
    }
    // a second fan of v: it gets a vertex of its own at the same place
    int copy = AddVertex(Position(v));
    origin.push_back(origin[v]);
    hasFan.push_back(1);
    for (int k : fan) m_Corner[k] = copy;
    m_VertexCorner[copy] = c;
    ++split;
  }
  CountCorners();
  return split;
}

int CProgressiveMesh::AddVertex(const int32_t p[3], bool boundary) {
  int32_t copy[3] = {p[0], p[1], p[2]};
  m_Position.insert(m_Position.end(), copy, copy + 3);
  m_VertexCorner.push_back(-1);
  m_VertexAlive.push_back(1);
  m_Boundary.push_back(boundary ? 1 : 0);
  m_FaceCount.push_back(0);
  m_State.push_back(kFree);
  m_Tag.push_back(0);
  return NbVertex() - 1;
}

int CProgressiveMesh::CornerAfter(int a, int b) const {
  int start = m_VertexCorner[a];
  if (start < 0) return -1;
  int found = -1;
  VisitFan(m_Opposite, start, NbSlot(), [&](int c) {
    if (m_Corner[Prev(c)] != b) return false;
    found = c;
    return true;
  });
  return found;
}

bool CProgressiveMesh::Linked(int a, int b) const {
  // the walk goes around the end with fewer faces
  if (m_FaceCount[b] < m_FaceCount[a]) std::swap(a, b);
  int start = m_VertexCorner[a];
  if (start < 0) return false;
  return VisitFan(m_Opposite, start, NbSlot(),
                  [&](int c) { return m_Corner[Next(c)] == b || m_Corner[Prev(c)] == b; });
}

bool CProgressiveMesh::InteriorRing(int start, std::vector<int>& ring,
                                    std::vector<int>& corners) const {
  ring.clear();
  corners.clear();
  int c = start;
  for (int n = 0; n < NbSlot(); ++n) {
    ring.push_back(m_Corner[Next(c)]);
    corners.push_back(c);
    c = SwingForward(m_Opposite, c);
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
  m_Corner.insert(m_Corner.end(), 3, -1);
  m_Opposite.insert(m_Opposite.end(), 3, -1);
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
      int o = m_Opposite[k];
      if (o < 0 || doomed(o / 3) || nbOuter == 64) continue;
      outer[nbOuter++] = {m_Corner[Next(k)], m_Corner[Prev(k)], o};
    }
  }
  for (int dc : doomedCorners) {
    const int f = dc / 3;
    if (m_Corner[3 * f] < 0) continue;
    for (int k = 3 * f; k < 3 * f + 3; ++k) {
      m_VertexCorner[m_Corner[k]] = -1;
      --m_FaceCount[m_Corner[k]];
      m_Corner[k] = -1;
      m_Opposite[k] = -1;
    }
    m_Conquered[f] = 0;
    m_FreeSlots.push_back(f);
    --m_NbFace;
  }
  newFaces.clear();
  for (int t = 0; t < nbTriangles; ++t) {
    int f = NewSlot();
    for (int k = 0; k < 3; ++k) {
      m_Corner[3 * f + k] = triangles[3 * t + k];
      m_Opposite[3 * f + k] = -1;
      m_VertexCorner[triangles[3 * t + k]] = 3 * f + k;
      ++m_FaceCount[triangles[3 * t + k]];
    }
    m_Conquered[f] = 0;
    newFaces.push_back(f);
    ++m_NbFace;
  }
  // Link the new faces with each other, then with the outside.
  for (size_t i = 0; i < newFaces.size(); ++i)
    for (int k = 3 * newFaces[i]; k < 3 * newFaces[i] + 3; ++k) {
      if (m_Opposite[k] >= 0) continue;
      const int from = m_Corner[Next(k)], to = m_Corner[Prev(k)];
      bool linked = false;
      for (size_t j = i + 1; j < newFaces.size() && !linked; ++j)
        for (int q = 3 * newFaces[j]; q < 3 * newFaces[j] + 3; ++q)
          if (m_Corner[Next(q)] == to && m_Corner[Prev(q)] == from) {
            m_Opposite[k] = q;
            m_Opposite[q] = k;
            linked = true;
            break;
          }
      for (int e = 0; e < nbOuter && !linked; ++e)
        if (outer[e].from == from && outer[e].to == to) {
          m_Opposite[k] = outer[e].corner;
          m_Opposite[outer[e].corner] = k;
          linked = true;
        }
    }
}

void CProgressiveMesh::ClearLayerState() {
  std::fill(m_State.begin(), m_State.end(), kFree);
  std::fill(m_Tag.begin(), m_Tag.end(), 0);
  std::fill(m_Conquered.begin(), m_Conquered.end(), 0);
}

std::vector<int> CProgressiveMesh::Triangles() const {
  std::vector<int> out;
  out.reserve(3 * m_NbFace);
  for (int f = 0; f < NbSlot(); ++f)
    if (Alive(f)) out.insert(out.end(), &m_Corner[3 * f], &m_Corner[3 * f] + 3);
  return out;
}

} // namespace orvex
