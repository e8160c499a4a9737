// Vertex smoothing by Loop's vertex mask, one step or many; the repeated
// steps run on a flat frame of the mesh (SmoothingFrame.h).

#include "processing/Smoothing.h"

#include <algorithm>

#include "geometry/Mesh3d.h"
#include "processing/LoopSubdivision.h"
#include "processing/SmoothingFrame.h"

CSmoothingFrame::CSmoothingFrame(const CMesh3d* mesh, int moveBoundaries) {
  m_NbVertex = mesh->NbVertex();
  m_NbFace = mesh->NbFace();
  m_Vertices.assign(mesh->m_ArrayVertex.begin(), mesh->m_ArrayVertex.end());
  m_Faces.assign(mesh->m_ArrayFace.begin(), mesh->m_ArrayFace.end());

  // number the elements through their flags, which are put back at the end
  std::vector<int> vertexFlags(m_Vertices.size()), faceFlags(m_Faces.size());
  for (int i = 0; i < m_NbVertex; i++)
    if (CVertex3d* v = m_Vertices[i]) std::swap(vertexFlags[i], v->m_Flag), v->m_Flag = i;
  for (int i = 0; i < m_NbFace; i++)
    if (CFace3d* f = m_Faces[i]) std::swap(faceFlags[i], f->m_Flag), f->m_Flag = i;

  // positions, one-rings and which vertices move
  m_Xyz.resize(3 * static_cast<size_t>(m_NbVertex));
  m_Alpha.assign(static_cast<size_t>(m_NbVertex), -1.0);
  m_RingStart.assign(static_cast<size_t>(m_NbVertex) + 1, 0);
  std::vector<double> alphaOf;
  for (int i = 0; i < m_NbVertex; i++) {
    const CVertex3d* v = m_Vertices[i];
    if (!v) continue;
    m_Xyz[3 * i] = v->x, m_Xyz[3 * i + 1] = v->y, m_Xyz[3 * i + 2] = v->z;
    int n = v->NbNeighbor();
    m_RingStart[i + 1] = n;
    for (const CVertex3d* w : v->m_ArrayVertexNeighbor)
      if (!w) n = 0; // a broken one-ring leaves the vertex in place
    if (n == 0 || (!moveBoundaries && v->IsBoundaryVertex())) continue;
    if (n >= static_cast<int>(alphaOf.size())) alphaOf.resize(static_cast<size_t>(n) + 1, -1.0);
    if (alphaOf[n] < 0.0) alphaOf[n] = static_cast<double>(LoopAlpha(n));
    m_Alpha[i] = alphaOf[n];
  }
  for (int i = 0; i < m_NbVertex; i++) m_RingStart[i + 1] += m_RingStart[i];
  m_Ring.resize(static_cast<size_t>(m_RingStart[m_NbVertex]));
  for (int i = 0, k = 0; i < m_NbVertex; i++)
    if (const CVertex3d* v = m_Vertices[i])
      for (const CVertex3d* w : v->m_ArrayVertexNeighbor) m_Ring[k++] = w ? IndexOfVertex(w) : i;

  // face corners and the incident faces of every vertex, in list order
  m_Corner.assign(3 * static_cast<size_t>(m_NbFace), -1);
  for (int i = 0; i < m_NbFace; i++)
    if (const CFace3d* f = m_Faces[i])
      if (!f->HasNullVertex())
        for (int k = 0; k < 3; k++) m_Corner[3 * i + k] = IndexOfVertex(f->m_pVertex[k]);
  m_FanStart.assign(static_cast<size_t>(m_NbVertex) + 1, 0);
  m_HasFaces.assign(static_cast<size_t>(m_NbVertex), 0);
  for (int i = 0; i < m_NbVertex; i++)
    if (const CVertex3d* v = m_Vertices[i]) {
      m_FanStart[i + 1] = m_FanStart[i] + v->NbFace();
      m_HasFaces[i] = v->NbFace() > 0;
    } else {
      m_FanStart[i + 1] = m_FanStart[i];
    }
  m_Fan.resize(static_cast<size_t>(m_FanStart[m_NbVertex]));
  for (int i = 0, k = 0; i < m_NbVertex; i++)
    if (const CVertex3d* v = m_Vertices[i])
      for (const CFace3d* f : v->m_ArrayFaceNeighbor) m_Fan[k++] = f ? IndexOfFace(f) : -1;

  // normals as they are now, for faces whose normal is not recomputed
  m_FaceNormal.resize(3 * m_Faces.size());
  for (size_t i = 0; i < m_Faces.size(); i++)
    if (const CFace3d* f = m_Faces[i]) {
      m_FaceNormal[3 * i] = f->m_Normal.x;
      m_FaceNormal[3 * i + 1] = f->m_Normal.y;
      m_FaceNormal[3 * i + 2] = f->m_Normal.z;
    }
  m_VertexNormal.resize(3 * static_cast<size_t>(m_NbVertex));

  for (int i = 0; i < m_NbVertex; i++)
    if (CVertex3d* v = m_Vertices[i]) v->m_Flag = vertexFlags[i];
  for (int i = 0; i < m_NbFace; i++)
    if (CFace3d* f = m_Faces[i]) f->m_Flag = faceFlags[i];
  m_Next = m_Xyz;
}

int CSmoothingFrame::IndexOfVertex(const CVertex3d* v) {
  int i = v->m_Flag;
  if (i >= 0 && i < m_NbVertex && m_Vertices[i] == v) return i;
  auto found = m_GhostVertex.find(v);
  if (found != m_GhostVertex.end()) return found->second;
  // a vertex outside the array: a fixed ghost
  int ghost = static_cast<int>(m_Xyz.size() / 3);
  m_GhostVertex.emplace(v, ghost);
  m_Xyz.insert(m_Xyz.end(), {v->x, v->y, v->z});
  return ghost;
}

int CSmoothingFrame::IndexOfFace(const CFace3d* f) {
  int i = f->m_Flag;
  if (i >= 0 && i < m_NbFace && m_Faces[i] == f) return i;
  auto found = m_GhostFace.find(f);
  if (found != m_GhostFace.end()) return found->second;
  // a face outside the array keeps its normal
  int ghost = static_cast<int>(m_Faces.size());
  m_GhostFace.emplace(f, ghost);
  m_Faces.push_back(const_cast<CFace3d*>(f));
  return ghost;
}

void CSmoothingFrame::Step() {
  // Loop's vertex mask from the old positions into m_Next
  const double* xyz = m_Xyz.data();
  double* next = m_Next.data();
  for (int i = 0; i < m_NbVertex; i++) {
    double alpha = m_Alpha[i];
    if (alpha < 0.0) continue;
    double sx = 0.0, sy = 0.0, sz = 0.0;
    int begin = m_RingStart[i], end = m_RingStart[i + 1];
    for (int k = begin; k < end; k++) {
      const double* p = xyz + 3 * static_cast<size_t>(m_Ring[k]);
      sx += p[0], sy += p[1], sz += p[2];
    }
    double denominator = alpha + (end - begin);
    next[3 * i] = (alpha * xyz[3 * i] + sx) / denominator;
    next[3 * i + 1] = (alpha * xyz[3 * i + 1] + sy) / denominator;
    next[3 * i + 2] = (alpha * xyz[3 * i + 2] + sz) / denominator;
  }
  // fixed vertices hold the same value in both arrays; ghosts never move
  std::copy(m_Next.begin(), m_Next.begin() + 3 * static_cast<size_t>(m_NbVertex), m_Xyz.begin());
  m_NormalsComputed = false;
}

void CSmoothingFrame::ComputeNormals() {
  // face normals: the y and z of the edge vectors rounded to single
  // precision, as CFace3d::CalculateNormal does
  const double* xyz = m_Xyz.data();
  for (int i = 0; i < m_NbFace; i++) {
    const int* c = &m_Corner[3 * static_cast<size_t>(i)];
    if (c[0] < 0) continue;
    const double* p0 = xyz + 3 * static_cast<size_t>(c[0]);
    const double* p1 = xyz + 3 * static_cast<size_t>(c[1]);
    const double* p2 = xyz + 3 * static_cast<size_t>(c[2]);
    CVector3d u(p1[0] - p0[0], static_cast<float>(p1[1] - p0[1]),
                static_cast<float>(p1[2] - p0[2]));
    CVector3d w(p2[0] - p0[0], static_cast<float>(p2[1] - p0[1]),
                static_cast<float>(p2[2] - p0[2]));
    CVector3d n = u ^ w;
    n.Normalize();
    m_FaceNormal[3 * i] = n.x, m_FaceNormal[3 * i + 1] = n.y, m_FaceNormal[3 * i + 2] = n.z;
  }
  // vertex normals: the normalised sum of the incident face normals
  for (int i = 0; i < m_NbVertex; i++) {
    if (!m_HasFaces[i]) continue;
    CVector3d sum;
    for (int k = m_FanStart[i]; k < m_FanStart[i + 1]; k++) {
      int f = m_Fan[k];
      if (f < 0) continue;
      const double* n = &m_FaceNormal[3 * static_cast<size_t>(f)];
      sum += CVector3d(n[0], n[1], n[2]);
    }
    sum.Normalize();
    m_VertexNormal[3 * i] = sum.x, m_VertexNormal[3 * i + 1] = sum.y,
                       m_VertexNormal[3 * i + 2] = sum.z;
  }
  m_NormalsComputed = true;
}

void CSmoothingFrame::WritePositions() const {
  for (int i = 0; i < m_NbVertex; i++)
    if (CVertex3d* v = m_Vertices[i]) v->Set(m_Xyz[3 * i], m_Xyz[3 * i + 1], m_Xyz[3 * i + 2]);
}

void CSmoothingFrame::WriteNormals() const {
  if (!m_NormalsComputed) return;
  for (int i = 0; i < m_NbFace; i++)
    if (CFace3d* f = m_Faces[i])
      if (m_Corner[3 * i] >= 0)
        f->m_Normal.Set(m_FaceNormal[3 * i], m_FaceNormal[3 * i + 1], m_FaceNormal[3 * i + 2]);
  for (int i = 0; i < m_NbVertex; i++)
    if (m_HasFaces[i])
      m_Vertices[i]->m_Normal.Set(m_VertexNormal[3 * i], m_VertexNormal[3 * i + 1],
                                  m_VertexNormal[3 * i + 2]);
}

int Smooth(CMesh3d* mesh, int moveBoundaries) {
  if (!mesh) return 1;
  {
    CSmoothingFrame frame(mesh, moveBoundaries);
    frame.Step();
    frame.WritePositions();
  }
  mesh->Rebuild();
  return 1;
}

void SmoothRepeatedly(CMesh3d* mesh, int moveBoundaries, int steps,
                      const std::function<void(int step)>& afterStep) {
  if (!mesh || steps <= 0) return;
  // the first step rebuilds the adjacency the others keep
  Smooth(mesh, moveBoundaries);
  if (afterStep) afterStep(0);
  if (steps == 1) return;

  // later steps: positions and normals on the frame
  CSmoothingFrame frame(mesh, moveBoundaries);
  for (int k = 1; k < steps; k++) {
    frame.Step();
    frame.ComputeNormals();
    if (afterStep || k == steps - 1) {
      frame.WritePositions();
      frame.WriteNormals();
      mesh->SetModified();
    }
    if (afterStep) afterStep(k);
  }
}
