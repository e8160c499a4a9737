// The polygon mesh: building from flat arrays, valences and Newell normals.

#include "geometry/PolygonMesh.h"

#include <algorithm>
#include <cstdint>

void CPolygonMesh::Clear() {
  m_Vertices.clear();
  m_FaceStart.assign(1, 0);
  m_Corners.clear();
  m_FaceColor.clear();
  m_FaceNormal.clear();
  SetModified();
}

void CPolygonMesh::Reserve(int vertices, int faces, int corners) {
  m_Vertices.reserve(static_cast<size_t>(std::max(vertices, 0)));
  m_FaceStart.reserve(static_cast<size_t>(std::max(faces, 0)) + 1);
  m_FaceColor.reserve(static_cast<size_t>(std::max(faces, 0)));
  m_FaceNormal.reserve(static_cast<size_t>(std::max(faces, 0)));
  m_Corners.reserve(static_cast<size_t>(std::max(corners, 0)));
}

int CPolygonMesh::AddVertex(double x, double y, double z) {
  CPolygonVertex v;
  v.x = x;
  v.y = y;
  v.z = z;
  m_Vertices.push_back(v);
  return NbVertex() - 1;
}

int CPolygonMesh::AddFace(const int* corners, int n, CColor color) {
  if (n < 3) return -1;
  const int nv = NbVertex();
  for (int k = 0; k < n; k++)
    if (corners[k] < 0 || corners[k] >= nv) return -1;
  m_Corners.insert(m_Corners.end(), corners, corners + n);
  m_FaceStart.push_back(static_cast<int>(m_Corners.size()));
  m_FaceColor.push_back(color);
  m_FaceNormal.emplace_back();
  return NbFace() - 1;
}

int CPolygonMesh::BuildAdjacency() {
  // the corners before and after every use of a vertex, gathered per vertex
  // (counting sort); the distinct ones are its polygon edges
  const int nv = NbVertex();
  std::vector<int> start(static_cast<size_t>(nv) + 1, 0);
  for (int c : m_Corners) start[c + 1] += 2;
  for (int i = 0; i < nv; i++) start[i + 1] += start[i];
  std::vector<int> fill(start.begin(), start.end() - 1);
  std::vector<int> around(static_cast<size_t>(start[nv]));
  for (int f = 0; f < NbFace(); f++) {
    const int* c = FaceCorners(f);
    const int n = FaceSize(f);
    for (int k = 0; k < n; k++) {
      around[fill[c[k]]++] = c[(k + n - 1) % n];
      around[fill[c[k]]++] = c[(k + 1) % n];
    }
  }
  for (int i = 0; i < nv; i++) {
    int valence = 0;
    // a long row (the centre of a large fan) is sorted: no quadratic scan
    if (start[i + 1] - start[i] > 32) {
      std::sort(around.begin() + start[i], around.begin() + start[i + 1]);
      for (int j = start[i]; j < start[i + 1]; j++)
        valence += around[j] != i && (j == start[i] || around[j] != around[j - 1]);
      m_Vertices[i].m_Valence = valence;
      continue;
    }
    for (int j = start[i]; j < start[i + 1]; j++) {
      const int other = around[j];
      bool seen = other == i;
      for (int k = start[i]; k < j && !seen; k++) seen = around[k] == other;
      valence += !seen;
    }
    m_Vertices[i].m_Valence = valence;
  }
  return 1;
}

void CPolygonMesh::CalculateNormals() {
  m_FaceNormal.resize(static_cast<size_t>(NbFace()));
  for (int f = 0; f < NbFace(); f++) {
    // Newell's method: the sum over the edges of the cross products of
    // consecutive corners, exact for planar polygons of any shape
    const int* c = FaceCorners(f);
    const int n = FaceSize(f);
    CVector3d normal;
    for (int k = 0; k < n; k++) {
      const CPolygonVertex& p = m_Vertices[c[k]];
      const CPolygonVertex& q = m_Vertices[c[(k + 1) % n]];
      normal.x += (p.y - q.y) * (p.z + q.z);
      normal.y += (p.z - q.z) * (p.x + q.x);
      normal.z += (p.x - q.x) * (p.y + q.y);
    }
    normal.Normalize();
    m_FaceNormal[f] = normal;
  }
}

void CPolygonMesh::Rebuild() {
  BuildAdjacency();
  CalculateNormals();
  SetModified();
}

int FillPolygonMesh(CPolygonMesh& mesh, const std::vector<float>& xyz,
                    const std::vector<int>& sizes, const std::vector<int>& corners, int* skipped) {
  int64_t total = 0;
  for (int n : sizes) {
    if (n < 0) return 0;
    total += n;
  }
  if (total > static_cast<int64_t>(corners.size())) return 0;
  mesh.Clear();
  const int nv = static_cast<int>(xyz.size() / 3);
  mesh.Reserve(nv, static_cast<int>(sizes.size()), static_cast<int>(total));
  for (int i = 0; i < nv; i++) mesh.AddVertex(xyz[3 * i], xyz[3 * i + 1], xyz[3 * i + 2]);
  int refused = 0;
  size_t start = 0;
  for (int n : sizes) {
    if (mesh.AddFace(corners.data() + start, n) < 0) refused++;
    start += static_cast<size_t>(n);
  }
  if (skipped) *skipped = refused;
  mesh.Rebuild();
  return 1;
}

CPolygonMesh* MakePolygonMesh(const std::vector<float>& xyz, const std::vector<int>& sizes,
                              const std::vector<int>& corners, int* skipped) {
  auto* mesh = new CPolygonMesh;
  if (FillPolygonMesh(*mesh, xyz, sizes, corners, skipped)) return mesh;
  delete mesh;
  return nullptr;
}

size_t PolygonMeshBytes(const CPolygonMesh& mesh) {
  return sizeof(CPolygonMesh) + mesh.m_Vertices.capacity() * sizeof(CPolygonVertex) +
         (mesh.m_FaceStart.capacity() + mesh.m_Corners.capacity()) * sizeof(int) +
         mesh.m_FaceColor.capacity() * sizeof(CColor) +
         mesh.m_FaceNormal.capacity() * sizeof(CVector3d);
}
