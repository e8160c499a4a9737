// The quad mesh: building, adjacency (compressed rows built by counting,
// linear in the number of quads) and normals.

#include "geometry/QuadMesh.h"

#include <cmath>

void CQuadMesh::Clear() {
  m_Vertices.clear();
  m_Faces.clear();
  m_VertexFaceStart.clear();
  m_VertexFaces.clear();
  m_NeighborStart.clear();
  m_Neighbors.clear();
  SetModified();
}

int CQuadMesh::AddVertex(float x, float y, float z) {
  CQuadVertex v;
  v.x = x;
  v.y = y;
  v.z = z;
  m_Vertices.push_back(v);
  return NbVertex() - 1;
}

int CQuadMesh::AddFace(int a, int b, int c, int d) {
  const int nv = NbVertex();
  const int corners[4] = {a, b, c, d};
  CQuadFace face;
  for (int k = 0; k < 4; k++) {
    if (corners[k] < 0 || corners[k] >= nv) return -1;
    face.v[k] = corners[k];
  }
  m_Faces.push_back(face);
  return NbFace() - 1;
}

// Corner k of quad g holds a and corner k + 1 or k - 1 holds b.
static bool HasEdge(const CQuadFace& g, int a, int b) {
  for (int k = 0; k < 4; k++)
    if (g.v[k] == a && (g.v[(k + 1) & 3] == b || g.v[(k + 3) & 3] == b)) return true;
  return false;
}

int CQuadMesh::BuildAdjacency() {
  for (CQuadFace& face : m_Faces)
    for (int& n : face.neighbor) n = -1;
  if (!BuildVertexRows()) return 0;
  BuildFaceNeighbors();
  return 1;
}

int CQuadMesh::BuildVertexRows() {
  const int nv = NbVertex();
  const int nf = NbFace();
  if (nv <= 3 || nf == 0) {
    m_VertexFaceStart.clear();
    m_NeighborStart.clear();
    return 0;
  }

  // incident quads: count, prefix sums, fill in quad order
  m_VertexFaceStart.assign(static_cast<size_t>(nv) + 1, 0);
  for (const CQuadFace& face : m_Faces)
    for (int k = 0; k < 4; k++) m_VertexFaceStart[face.v[k] + 1]++;
  for (int i = 0; i < nv; i++) m_VertexFaceStart[i + 1] += m_VertexFaceStart[i];
  m_VertexFaces.resize(static_cast<size_t>(m_VertexFaceStart[nv]));
  std::vector<int> fill(m_VertexFaceStart.begin(), m_VertexFaceStart.end() - 1);
  for (int f = 0; f < nf; f++)
    for (int k = 0; k < 4; k++) {
      const int v = m_Faces[f].v[k];
      // a quad that uses a vertex twice is listed once
      if (fill[v] > m_VertexFaceStart[v] && m_VertexFaces[fill[v] - 1] == f) continue;
      m_VertexFaces[fill[v]++] = f;
    }
  // close the gaps the repeated corners left
  int write = 0;
  for (int i = 0; i < nv; i++) {
    const int begin = m_VertexFaceStart[i];
    m_VertexFaceStart[i] = write;
    for (int j = begin; j < fill[i]; j++) m_VertexFaces[write++] = m_VertexFaces[j];
  }
  m_VertexFaceStart[nv] = write;
  m_VertexFaces.resize(static_cast<size_t>(write));

  // neighbours: for each incident quad, the corners after and before the
  // vertex, each listed once
  m_NeighborStart.assign(static_cast<size_t>(nv) + 1, 0);
  m_Neighbors.resize(m_VertexFaces.size() * 2);
  int* out = m_Neighbors.data();
  int count = 0;
  for (int i = 0; i < nv; i++) {
    const int first = count;
    auto add = [&](int n) {
      if (n == i) return;
      for (int j = first; j < count; j++)
        if (out[j] == n) return;
      out[count++] = n;
    };
    for (int j = m_VertexFaceStart[i]; j < m_VertexFaceStart[i + 1]; j++) {
      const CQuadFace& face = m_Faces[m_VertexFaces[j]];
      for (int k = 0; k < 4; k++)
        if (face.v[k] == i) {
          add(face.v[(k + 1) & 3]);
          add(face.v[(k + 3) & 3]);
          break;
        }
    }
    m_NeighborStart[i + 1] = count;
  }
  m_Neighbors.resize(static_cast<size_t>(count));
  return 1;
}

void CQuadMesh::BuildFaceNeighbors() {
  // across each edge, the first other quad (in quad order) with that edge
  const int nf = NbFace();
  for (int f = 0; f < nf; f++) {
    CQuadFace& face = m_Faces[f];
    for (int k = 0; k < 4; k++) {
      const int a = face.v[k], b = face.v[(k + 1) & 3];
      if (a == b) continue;
      for (int j = m_VertexFaceStart[a]; j < m_VertexFaceStart[a + 1]; j++) {
        const int g = m_VertexFaces[j];
        if (g != f && HasEdge(m_Faces[g], a, b)) {
          face.neighbor[k] = g;
          break;
        }
      }
    }
  }
}

void CQuadMesh::CalculateNormals() {
  for (CQuadVertex& v : m_Vertices) v.nx = v.ny = v.nz = 0.0f;
  for (CQuadFace& face : m_Faces) {
    // Newell's method over the four edges
    double n[3] = {0.0, 0.0, 0.0};
    for (int k = 0; k < 4; k++) {
      const CQuadVertex& p = m_Vertices[face.v[k]];
      const CQuadVertex& q = m_Vertices[face.v[(k + 1) & 3]];
      n[0] += (double(p.y) - q.y) * (double(p.z) + q.z);
      n[1] += (double(p.z) - q.z) * (double(p.x) + q.x);
      n[2] += (double(p.x) - q.x) * (double(p.y) + q.y);
    }
    const double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    for (int c = 0; c < 3; c++) face.normal[c] = length > 0.0 ? float(n[c] / length) : 0.0f;
    for (int k = 0; k < 4; k++) {
      CQuadVertex& v = m_Vertices[face.v[k]];
      v.nx += face.normal[0];
      v.ny += face.normal[1];
      v.nz += face.normal[2];
    }
  }
  for (CQuadVertex& v : m_Vertices) {
    const float length = std::sqrt(v.nx * v.nx + v.ny * v.ny + v.nz * v.nz);
    if (length <= 0.0f) continue;
    v.nx /= length;
    v.ny /= length;
    v.nz /= length;
  }
}

void CQuadMesh::Rebuild() {
  BuildAdjacency();
  CalculateNormals();
  SetModified();
}

void FillQuadMesh(CQuadMesh& mesh, const std::vector<float>& xyz, const std::vector<int>& corners,
                  int* skipped) {
  mesh.Clear();
  const size_t nv = xyz.size() / 3;
  mesh.m_Vertices.reserve(nv);
  mesh.m_Faces.reserve(corners.size() / 4);
  for (size_t i = 0; i < nv; i++) mesh.AddVertex(xyz[3 * i], xyz[3 * i + 1], xyz[3 * i + 2]);
  int refused = 0;
  for (size_t q = 0; q + 3 < corners.size(); q += 4)
    if (mesh.AddFace(corners[q], corners[q + 1], corners[q + 2], corners[q + 3]) < 0) refused++;
  if (skipped) *skipped = refused;
  mesh.Rebuild();
}

CQuadMesh* MakeQuadMesh(const std::vector<float>& xyz, const std::vector<int>& corners,
                        int* skipped) {
  auto* mesh = new CQuadMesh;
  FillQuadMesh(*mesh, xyz, corners, skipped);
  return mesh;
}

size_t QuadMeshBytes(const CQuadMesh& mesh) {
  return sizeof(CQuadMesh) + mesh.m_Vertices.capacity() * sizeof(CQuadVertex) +
         mesh.m_Faces.capacity() * sizeof(CQuadFace) +
         (mesh.m_VertexFaceStart.capacity() + mesh.m_VertexFaces.capacity() +
          mesh.m_NeighborStart.capacity() + mesh.m_Neighbors.capacity()) *
             sizeof(int);
}
