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
  for (CPolygonVertex& v : m_Vertices) v.m_Valence = 0;
  // every polygon edge as one key (smaller end, larger end); sorted, each
  // distinct key adds one to the valence of both ends
  std::vector<uint64_t> keys;
  keys.reserve(m_Corners.size());
  for (int f = 0; f < NbFace(); f++) {
    const int* c = FaceCorners(f);
    const int n = FaceSize(f);
    for (int k = 0; k < n; k++) {
      uint32_t a = static_cast<uint32_t>(c[k]), b = static_cast<uint32_t>(c[(k + 1) % n]);
      if (a == b) continue;
      if (a > b) std::swap(a, b);
      keys.push_back(static_cast<uint64_t>(a) << 32 | b);
    }
  }
  std::sort(keys.begin(), keys.end());
  keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
  for (uint64_t key : keys) {
    m_Vertices[key >> 32].m_Valence++;
    m_Vertices[key & 0xffffffffu].m_Valence++;
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
