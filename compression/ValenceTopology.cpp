#include "compression/ValenceTopology.h"

#include "geometry/Mesh3d.h"

namespace orvex {

namespace {

// Distinct corners of a face, in corner order; returns their number.
int DistinctCorners(const int* corner, int out[3]) {
  int n = 0;
  for (int k = 0; k < 3; ++k) {
    bool seen = false;
    for (int j = 0; j < n; ++j) seen = seen || out[j] == corner[k];
    if (!seen) out[n++] = corner[k];
  }
  return n;
}

} // namespace

int CValenceTopology::Build(CMesh3d& mesh, std::string& error) {
  const int nv = mesh.NbVertex();
  const int nf = mesh.NbFace();
  m_Vertex.assign(mesh.m_ArrayVertex.begin(), mesh.m_ArrayVertex.end());
  for (int i = 0; i < nv; ++i) {
    if (!m_Vertex[i]) {
      error = "Vertex " + std::to_string(i) + " of the mesh is missing";
      return 0;
    }
    m_Vertex[i]->m_Flag = i;
  }

  // corners by index, checked against the vertex array
  m_Corner.resize(3 * static_cast<size_t>(nf));
  for (int f = 0; f < nf; ++f) {
    const CFace3d* face = mesh.GetFace(f);
    for (int k = 0; k < 3; ++k) {
      const CVertex3d* v = face ? face->v(k) : nullptr;
      int index = v ? v->m_Flag : -1;
      if (!v || index < 0 || index >= nv || m_Vertex[index] != v) {
        error = "Face " + std::to_string(f) + " has a corner outside the mesh";
        return 0;
      }
      m_Corner[3 * f + k] = index;
    }
  }

  // incident faces of every vertex (each face once per distinct corner)
  m_FaceStart.assign(nv + 1, 0);
  int distinct[3];
  for (int f = 0; f < nf; ++f) {
    int n = DistinctCorners(&m_Corner[3 * f], distinct);
    for (int k = 0; k < n; ++k) ++m_FaceStart[distinct[k] + 1];
  }
  for (int v = 0; v < nv; ++v) m_FaceStart[v + 1] += m_FaceStart[v];
  m_Faces.resize(m_FaceStart[nv]);
  m_Others.resize(m_FaceStart[nv]);
  std::vector<int> fill(m_FaceStart.begin(), m_FaceStart.end() - 1);
  for (int f = 0; f < nf; ++f) {
    const int* c = &m_Corner[3 * f];
    int n = DistinctCorners(c, distinct);
    for (int k = 0; k < n; ++k) {
      int slot = fill[distinct[k]]++;
      m_Faces[slot] = f;
      // the corners other than this one (the vertex itself when repeated)
      int j = c[0] == distinct[k] ? 0 : c[1] == distinct[k] ? 1 : 2;
      m_Others[slot] = COthers{c[(j + 1) % 3], c[(j + 2) % 3]};
    }
  }

  // counters: every face free, every edge free
  m_Valence.resize(nv);
  m_FreeDegree.assign(nv, 0);
  m_Remaining.resize(nv);
  m_RemainingXor.assign(nv, 0);
  m_Conquered.assign(nf, 0);
  std::vector<int> stamp(nv, -1);
  for (int v = 0; v < nv; ++v) {
    m_Valence[v] = m_Vertex[v]->NbNeighbor();
    m_Remaining[v] = m_FaceStart[v + 1] - m_FaceStart[v];
    for (const int* f = FacesBegin(v); f != FacesEnd(v); ++f) {
      m_RemainingXor[v] ^= static_cast<uint32_t>(*f);
      for (int k = 0; k < 3; ++k) {
        int w = m_Corner[3 * *f + k];
        if (w == v || stamp[w] == v) continue;
        stamp[w] = v;
        ++m_FreeDegree[v];
      }
    }
  }
  return 1;
}

double CValenceTopology::Distance(int a, int b) const {
  return ::Distance(m_Vertex[a], m_Vertex[b]);
}

int CValenceTopology::Conquer(int f) {
  if (m_Conquered[f]) return 0;
  m_Conquered[f] = 1;
  int c[3];
  int n = DistinctCorners(&m_Corner[3 * f], c);
  // an edge whose last free face this was is no longer free at either end
  const int edges = n == 3 ? 3 : n - 1; // two distinct corners make one edge
  for (int k = 0; k < edges; ++k) {
    int a = c[k], b = c[(k + 1) % n];
    if (!EdgeIsFree(a, b)) {
      --m_FreeDegree[a];
      --m_FreeDegree[b];
    }
  }
  for (int k = 0; k < n; ++k) {
    --m_Remaining[c[k]];
    m_RemainingXor[c[k]] ^= static_cast<uint32_t>(f);
  }
  return 1;
}

int CValenceTopology::FindFreeFace(int a, int b) const {
  for (int i = m_FaceStart[a], end = m_FaceStart[a + 1]; i < end; ++i)
    if ((m_Others[i].m_A == b || m_Others[i].m_B == b) && !m_Conquered[m_Faces[i]])
      return m_Faces[i];
  return -1;
}

int CValenceTopology::FindConqueredFace(int a, int b, int except) const {
  for (const int* f = FacesBegin(a); f != FacesEnd(a); ++f)
    if (*f != except && m_Conquered[*f] && HasCorner(*f, b)) return *f;
  return -1;
}

int CValenceTopology::FindFace(int a, int b, int c) const {
  int found = -1;
  for (const int* f = FacesBegin(a); f != FacesEnd(a); ++f) {
    if (!HasCorner(*f, b) || !HasCorner(*f, c)) continue;
    if (!m_Conquered[*f]) return *f;
    if (found < 0) found = *f;
  }
  return found;
}

int CValenceTopology::Third(int f, int a, int b) const {
  for (int k = 0; k < 3; ++k) {
    int v = m_Corner[3 * f + k];
    if (v != a && v != b) return v;
  }
  return -1;
}

} // namespace orvex
