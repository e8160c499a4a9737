#include "compression/GateMesh.h"

#include "geometry/FormatText.h"

namespace orvex {

void CGateMesh::Reserve(int vertices, int faces) {
  m_FirstOut.reserve(vertices);
  m_FaceStart.reserve(size_t(faces) + 1);
  const size_t corners = size_t(faces) * 4;
  m_From.reserve(corners);
  m_Face.reserve(corners);
  m_Opposite.reserve(corners);
  m_NextOut.reserve(corners);
}

void CGateMesh::SetVertexCount(int count) {
  m_FirstOut.resize(count, -1);
  m_Valence.resize(count, 0);
}

int CGateMesh::AddVertex() {
  m_FirstOut.push_back(-1);
  m_Valence.push_back(0);
  return NbVertex() - 1;
}

int CGateMesh::Find(int a, int b) const {
  for (int h = m_FirstOut[a]; h >= 0; h = m_NextOut[h])
    if (To(h) == b) return h;
  return -1;
}

int CGateMesh::AddFace(const int* corners, int n, std::string& error) {
  // checks first: the table only changes for a face it can hold
  if (n < 3 || n > 4) {
    error = FormatText("A face has %d corners where 3 or 4 are expected", n);
    return -1;
  }
  for (int i = 0; i < n; ++i) {
    if (corners[i] < 0 || corners[i] >= NbVertex()) {
      error = FormatText("A face corner %d is not a vertex", corners[i]);
      return -1;
    }
    if (m_Valence[corners[i]] >= kGateMaxValence) {
      error = FormatText("Vertex %d has more than %d faces", corners[i], kGateMaxValence);
      return -1;
    }
    for (int j = 0; j < i; ++j)
      if (corners[i] == corners[j]) {
        error = FormatText("A face uses vertex %d twice", corners[i]);
        return -1;
      }
  }
  for (int i = 0; i < n; ++i) {
    const int a = corners[i], b = corners[(i + 1) % n];
    if (Find(a, b) >= 0) {
      error = FormatText("The edge %d-%d is used twice in the same direction: the mesh is "
                         "not manifold or not consistently oriented",
                         a, b);
      return -1;
    }
  }
  // append the corners, then glue each edge to its reversed twin
  const int f = NbFace();
  const int first = NbHalfEdge();
  for (int i = 0; i < n; ++i) {
    const int h = first + i;
    m_From.push_back(corners[i]);
    m_Face.push_back(f);
    m_Opposite.push_back(-1);
    m_NextOut.push_back(m_FirstOut[corners[i]]);
    m_FirstOut[corners[i]] = h;
    ++m_Valence[corners[i]];
  }
  m_FaceStart.push_back(first + n);
  for (int i = 0; i < n; ++i) {
    const int h = first + i;
    const int twin = Find(corners[(i + 1) % n], corners[i]);
    if (twin < 0) continue;
    m_Opposite[h] = twin;
    m_Opposite[twin] = h;
  }
  return f;
}

int BuildGateMesh(int nbVertex, const std::vector<int>& sizes, const std::vector<int>& corners,
                  CGateMesh& mesh, std::string& error) {
  mesh = CGateMesh();
  mesh.Reserve(nbVertex, static_cast<int>(sizes.size()));
  mesh.SetVertexCount(nbVertex);
  size_t at = 0;
  for (size_t f = 0; f < sizes.size(); ++f) {
    if (at + sizes[f] > corners.size()) {
      error = "The face list is shorter than its corner counts say";
      return 0;
    }
    std::string why;
    if (mesh.AddFace(corners.data() + at, sizes[f], why) < 0) {
      error = FormatText("Face %d cannot be coded: ", int(f)) + why;
      return 0;
    }
    at += sizes[f];
  }
  return 1;
}

} // namespace orvex
