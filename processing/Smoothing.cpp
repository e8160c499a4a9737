// Vertex smoothing by Loop's vertex mask, one step or many; the repeated
// steps run on a flat frame of the mesh (SmoothingFrame.h).

#include "processing/Smoothing.h"
#include "geometry/Progress.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "geometry/Mesh3d.h"
#include "processing/LoopSubdivision.h"
#include "processing/SmoothingFrame.h"

CSmoothingFrame::CSmoothingFrame(const CMesh3d* mesh, int moveBoundaries, bool freshAdjacency) {
  m_NbVertex = mesh->NbVertex();
  m_NbFace = mesh->NbFace();
  m_Vertices.assign(mesh->m_ArrayVertex.begin(), mesh->m_ArrayVertex.end());
  m_Faces.assign(mesh->m_ArrayFace.begin(), mesh->m_ArrayFace.end());

  // number the vertices through their flags (put back at the end) and
  // take their positions
  std::vector<int> vertexFlags(m_Vertices.size());
  m_Xyz.resize(3 * static_cast<size_t>(m_NbVertex));
  for (int i = 0; i < m_NbVertex; i++)
    if (CVertex3d* v = m_Vertices[i]) {
      vertexFlags[i] = v->m_Flag, v->m_Flag = i;
      m_Xyz[3 * i] = v->x, m_Xyz[3 * i + 1] = v->y, m_Xyz[3 * i + 2] = v->z;
    }

  // face corners, and the normals as they are for faces whose normal is not
  // recomputed (a null corner)
  m_Corner.assign(3 * static_cast<size_t>(m_NbFace), -1);
  m_FaceNormal.Resize(m_Faces.size());
  bool cornersInArray = true;
  for (int i = 0; i < m_NbFace; i++) {
    const CFace3d* f = m_Faces[i];
    if (!f || f->HasNullVertex()) {
      cornersInArray = false;
      if (f) KeepFaceNormal(i);
      continue;
    }
    for (int k = 0; k < 3; k++) {
      int c = IndexOfVertex(f->m_pVertex[k]);
      m_Corner[3 * i + k] = c;
      if (c >= m_NbVertex) cornersInArray = false;
    }
  }

  // incident faces and one-rings (BuildAdjacency leaves the lists alone
  // on a mesh of at most two vertices or without faces)
  if (freshAdjacency && cornersInArray && m_NbVertex > 2 && m_NbFace > 0)
    ListsFromCorners();
  else
    ListsFromMesh();

  m_CornersInArray = cornersInArray;
  m_MoveBoundaries = moveBoundaries;
  ComputeWeights();
  m_VertexNormal.Resize(static_cast<size_t>(m_NbVertex));
  for (int i = 0; i < m_NbVertex; i++)
    if (CVertex3d* v = m_Vertices[i]) v->m_Flag = vertexFlags[i];
  // ghosts hold their place in both position arrays
  for (int& c : m_Ring)
    if (c < 0) c = 0;
  m_Next = m_Xyz;
}

void CSmoothingFrame::ComputeWeights() {
  // which vertices move, with their weight
  m_Alpha.assign(static_cast<size_t>(m_NbVertex), -1.0);
  std::vector<double> alphaOf;
  for (int i = 0; i < m_NbVertex; i++) {
    int n = m_RingStart[i + 1] - m_RingStart[i];
    bool broken = false; // a null neighbour leaves the vertex in place
    for (int k = m_RingStart[i]; k < m_RingStart[i + 1]; k++) broken |= m_Ring[k] < 0;
    if (n == 0 || broken || (!m_MoveBoundaries && m_Vertices[i]->IsBoundaryVertex())) continue;
    if (n >= static_cast<int>(alphaOf.size())) alphaOf.resize(static_cast<size_t>(n) + 1, -1.0);
    if (alphaOf[n] < 0.0) alphaOf[n] = static_cast<double>(LoopAlpha(n));
    m_Alpha[i] = alphaOf[n];
  }
}

bool CSmoothingFrame::TakeRebuiltAdjacency() {
  if (!m_CornersInArray || m_NbVertex <= 2 || m_NbFace == 0) return false;
  ListsFromCorners();
  ComputeWeights();
  return true;
}

void CSmoothingFrame::KeepFaceNormal(int i) {
  const CFace3d* f = m_Faces[i];
  m_FaceNormal.x[i] = f->m_Normal.x, m_FaceNormal.y[i] = f->m_Normal.y;
  m_FaceNormal.z[i] = f->m_Normal.z;
  if (i < m_NbFace) m_KeptNormalFaces.push_back(i);
}

void CSmoothingFrame::ListsFromMesh() {
  // number the faces through their flags for the length of the walk
  std::vector<int> faceFlags(m_Faces.size());
  for (int i = 0; i < m_NbFace; i++)
    if (CFace3d* f = m_Faces[i]) faceFlags[i] = f->m_Flag, f->m_Flag = i;

  m_FanStart.assign(static_cast<size_t>(m_NbVertex) + 1, 0);
  m_RingStart.assign(static_cast<size_t>(m_NbVertex) + 1, 0);
  m_HasFaces.assign(static_cast<size_t>(m_NbVertex), 0);
  for (int i = 0; i < m_NbVertex; i++) {
    const CVertex3d* v = m_Vertices[i];
    m_FanStart[i + 1] = m_FanStart[i] + (v ? v->NbFace() : 0);
    m_RingStart[i + 1] = m_RingStart[i] + (v ? v->NbNeighbor() : 0);
    m_HasFaces[i] = v && v->NbFace() > 0;
  }
  m_Fan.resize(static_cast<size_t>(m_FanStart[m_NbVertex]));
  m_Ring.resize(static_cast<size_t>(m_RingStart[m_NbVertex]));
  for (int i = 0, j = 0, k = 0; i < m_NbVertex; i++) {
    const CVertex3d* v = m_Vertices[i];
    if (!v) continue;
    for (const CFace3d* f : v->m_ArrayFaceNeighbor) m_Fan[j++] = f ? IndexOfFace(f) : -1;
    for (const CVertex3d* w : v->m_ArrayVertexNeighbor) m_Ring[k++] = w ? IndexOfVertex(w) : -1;
  }
  for (int i = 0; i < m_NbFace; i++)
    if (CFace3d* f = m_Faces[i]) f->m_Flag = faceFlags[i];
}

void CSmoothingFrame::ListsFromCorners() {
  // faces in array order at each of their corners, once per face
  m_FanStart.assign(static_cast<size_t>(m_NbVertex) + 1, 0);
  auto eachCorner = [this](auto visit) {
    for (int f = 0; f < m_NbFace; f++) {
      const int* c = &m_Corner[3 * static_cast<size_t>(f)];
      visit(f, c[0]);
      if (c[1] != c[0]) visit(f, c[1]);
      if (c[2] != c[0] && c[2] != c[1]) visit(f, c[2]);
    }
  };
  eachCorner([this](int, int v) { m_FanStart[v + 1]++; });
  for (int i = 0; i < m_NbVertex; i++) m_FanStart[i + 1] += m_FanStart[i];
  m_Fan.resize(static_cast<size_t>(m_FanStart[m_NbVertex]));
  std::vector<int> fill(m_FanStart.begin(), m_FanStart.end() - 1);
  eachCorner([this, &fill](int f, int v) { m_Fan[fill[v]++] = f; });
  m_HasFaces.assign(static_cast<size_t>(m_NbVertex), 0);
  for (int i = 0; i < m_NbVertex; i++) m_HasFaces[i] = m_FanStart[i + 1] > m_FanStart[i];

  // at each vertex, the other corners of its faces in that order, once
  m_RingStart.assign(static_cast<size_t>(m_NbVertex) + 1, 0);
  m_Ring.clear();
  m_Ring.reserve(m_Fan.size() + m_Fan.size() / 4);
  for (int i = 0; i < m_NbVertex; i++) {
    size_t begin = m_Ring.size();
    for (int k = m_FanStart[i]; k < m_FanStart[i + 1]; k++)
      for (int corner = 0; corner < 3; corner++) {
        int r = m_Corner[3 * static_cast<size_t>(m_Fan[k]) + corner];
        if (r != i && std::find(m_Ring.begin() + begin, m_Ring.end(), r) == m_Ring.end())
          m_Ring.push_back(r);
      }
    m_RingStart[i + 1] = static_cast<int>(m_Ring.size());
  }
}

int CSmoothingFrame::IndexOfVertex(const CVertex3d* v) {
  int i = v->m_Flag;
  return i >= 0 && i < m_NbVertex && m_Vertices[i] == v ? i : GhostVertex(v);
}

int CSmoothingFrame::IndexOfFace(const CFace3d* f) {
  int i = f->m_Flag;
  return i >= 0 && i < m_NbFace && m_Faces[i] == f ? i : GhostFace(f);
}

int CSmoothingFrame::GhostVertex(const CVertex3d* v) {
  auto found = m_GhostVertex.find(v);
  if (found != m_GhostVertex.end()) return found->second;
  // a vertex outside the array: a fixed ghost
  int ghost = static_cast<int>(m_Xyz.size() / 3);
  m_GhostVertex.emplace(v, ghost);
  m_Xyz.insert(m_Xyz.end(), {v->x, v->y, v->z});
  return ghost;
}

int CSmoothingFrame::GhostFace(const CFace3d* f) {
  auto found = m_GhostFace.find(f);
  if (found != m_GhostFace.end()) return found->second;
  // a face outside the array keeps its normal
  int ghost = static_cast<int>(m_Faces.size());
  m_GhostFace.emplace(f, ghost);
  m_Faces.push_back(const_cast<CFace3d*>(f));
  m_FaceNormal.Resize(m_Faces.size());
  KeepFaceNormal(ghost);
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

void CSmoothingFrame::CNormals::Normalize(size_t n) {
  // branch-free, so that the loop runs on vector registers: a zero vector
  // is divided by 1
  double* px = x.data();
  double* py = y.data();
  double* pz = z.data();
  for (size_t i = 0; i < n; i++) {
    double length = std::sqrt(px[i] * px[i] + py[i] * py[i] + pz[i] * pz[i]);
    double divisor = length != 0.0 ? length : 1.0;
    px[i] /= divisor, py[i] /= divisor, pz[i] /= divisor;
  }
}

void CSmoothingFrame::ComputeNormals() {
  // face normals: the y and z of the edge vectors rounded to single
  // precision, the cross product and the division as CFace3d::CalculateNormal
  // and CVector3d take them, so that the bits agree
  const double* xyz = m_Xyz.data();
  double* nx = m_FaceNormal.x.data();
  double* ny = m_FaceNormal.y.data();
  double* nz = m_FaceNormal.z.data();
  for (int i = 0; i < m_NbFace; i++) {
    const int* c = &m_Corner[3 * static_cast<size_t>(i)];
    if (c[0] < 0) continue;
    const double* p0 = xyz + 3 * static_cast<size_t>(c[0]);
    const double* p1 = xyz + 3 * static_cast<size_t>(c[1]);
    const double* p2 = xyz + 3 * static_cast<size_t>(c[2]);
    double ux = p1[0] - p0[0], uy = static_cast<float>(p1[1] - p0[1]),
           uz = static_cast<float>(p1[2] - p0[2]);
    double wx = p2[0] - p0[0], wy = static_cast<float>(p2[1] - p0[1]),
           wz = static_cast<float>(p2[2] - p0[2]);
    nx[i] = uy * wz - wy * uz;
    ny[i] = uz * wx - wz * ux;
    nz[i] = wy * ux - uy * wx;
  }
  // the normals of the faces that keep theirs are put back after
  std::vector<double> kept;
  for (int f : m_KeptNormalFaces) kept.insert(kept.end(), {nx[f], ny[f], nz[f]});
  m_FaceNormal.Normalize(static_cast<size_t>(m_NbFace));
  for (size_t k = 0; k < m_KeptNormalFaces.size(); k++) {
    int f = m_KeptNormalFaces[k];
    nx[f] = kept[3 * k], ny[f] = kept[3 * k + 1], nz[f] = kept[3 * k + 2];
  }

  // vertex normals: the normalised sum of the incident face normals
  double* vx = m_VertexNormal.x.data();
  double* vy = m_VertexNormal.y.data();
  double* vz = m_VertexNormal.z.data();
  for (int i = 0; i < m_NbVertex; i++) {
    double sx = 0.0, sy = 0.0, sz = 0.0;
    for (int k = m_FanStart[i]; k < m_FanStart[i + 1]; k++) {
      int f = m_Fan[k];
      if (f < 0) continue;
      sx += nx[f], sy += ny[f], sz += nz[f];
    }
    vx[i] = sx, vy[i] = sy, vz[i] = sz;
  }
  m_VertexNormal.Normalize(static_cast<size_t>(m_NbVertex));
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
        f->m_Normal.Set(m_FaceNormal.x[i], m_FaceNormal.y[i], m_FaceNormal.z[i]);
  for (int i = 0; i < m_NbVertex; i++)
    if (m_HasFaces[i])
      m_Vertices[i]->m_Normal.Set(m_VertexNormal.x[i], m_VertexNormal.y[i], m_VertexNormal.z[i]);
}

int Smooth(CMesh3d* mesh, int moveBoundaries) {
  SmoothRepeatedly(mesh, moveBoundaries, 1);
  return 1;
}

void SmoothRepeatedly(CMesh3d* mesh, int moveBoundaries, int steps,
                      const std::function<void(int step)>& afterStep) {
  if (!mesh || steps <= 0) return;
  // the first step moves the vertices over the mesh's current one-rings,
  // then the adjacency is rebuilt; the frame takes it from the corners, or,
  // when it cannot, the mesh computes its normals and a new frame is made
  auto frame = std::make_unique<CSmoothingFrame>(mesh, moveBoundaries);
  frame->Step();
  frame->WritePositions();
  if (mesh->BuildAdjacency() && frame->TakeRebuiltAdjacency()) {
    frame->ComputeNormals();
    if (afterStep || steps == 1) frame->WriteNormals();
  } else {
    mesh->CalculateNormalPerFace();
    mesh->CalculateNormalPerVertex();
    if (steps > 1) frame = std::make_unique<CSmoothingFrame>(mesh, moveBoundaries);
  }
  mesh->SetModified();
  if (afterStep) afterStep(0);

  // later steps: positions and normals on the frame, the connectivity kept
  for (int k = 1; k < steps; k++) {
    ReportProgress(double(k) / steps, "smoothing");
    frame->Step();
    frame->ComputeNormals();
    if (afterStep || k == steps - 1) {
      frame->WritePositions();
      frame->WriteNormals();
      mesh->SetModified();
    }
    if (afterStep) afterStep(k);
  }
}
