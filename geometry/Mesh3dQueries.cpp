#include <climits>

#include "geometry/Mesh3d.h"

int CMesh3d::SetFlagOnFaces(int flag) {
  int n = 0;
  for (CFace3d* f : m_ArrayFace)
    if (f) {
      f->m_Flag = flag;
      n++;
    }
  return n;
}

int CMesh3d::SetFlagOnVertices(int flag) {
  int n = 0;
  for (CVertex3d* v : m_ArrayVertex)
    if (v) {
      v->m_Flag = flag;
      n++;
    }
  return n;
}

void CMesh3d::SetTagAOnVertices(int tag) {
  for (CVertex3d* v : m_ArrayVertex)
    if (v) v->SetTagA(tag);
}

void CMesh3d::SetTagDOnVertices(int tag) {
  for (CVertex3d* v : m_ArrayVertex)
    if (v) v->SetTagD(tag);
}

void CMesh3d::SetTagBOnVerticesAndTagOnFaces(int tag) {
  for (CVertex3d* v : m_ArrayVertex)
    if (v) v->SetTagB(tag);
  for (CFace3d* f : m_ArrayFace)
    if (f) f->SetTag(tag);
}

// The vertex history stacks are discarded (freed), not merely unlinked.
void CMesh3d::ClearVertexHistoryAndFaceFlags() {
  for (CVertex3d* v : m_ArrayVertex)
    if (v) v->ClearHistory();
  for (CFace3d* f : m_ArrayFace)
    if (f) f->m_Flag = 0;
}

int CMesh3d::NbFaceWithFlag(int flag) const {
  int n = 0;
  for (const CFace3d* f : m_ArrayFace)
    if (f && f->m_Flag == flag) n++;
  return n;
}

int CMesh3d::NbVertexWithFlag(int flag) const {
  int n = 0;
  for (const CVertex3d* v : m_ArrayVertex)
    if (v && v->m_Flag == flag) n++;
  return n;
}

int CMesh3d::NbVertexWithTagB(int tag) const {
  int n = 0;
  for (const CVertex3d* v : m_ArrayVertex)
    if (v && v->GetTagB() == tag) n++;
  return n;
}

// 0 for a mesh without faces.
int CMesh3d::MaxFaceFlag() const {
  int best = INT_MIN;
  for (const CFace3d* f : m_ArrayFace)
    if (f && f->m_Flag > best) best = f->m_Flag;
  return best == INT_MIN ? 0 : best;
}

CVertex3d* CMesh3d::FirstVertexWithFlag(int flag) const {
  for (CVertex3d* v : m_ArrayVertex)
    if (v && v->m_Flag == flag) return v;
  return nullptr;
}

CVertex3d* CMesh3d::VertexWithFlagPreferEnd(int flag) const {
  CVertex3d* lastEnd = nullptr;
  CVertex3d* last = nullptr;
  for (CVertex3d* v : m_ArrayVertex) {
    if (!v || v->m_Flag != flag) continue;
    last = v;
    if (v->NbNeighborWithFlag(flag) == 1) lastEnd = v;
  }
  return lastEnd ? lastEnd : last;
}

int CMesh3d::SmallestVertexFlagExcept(int t, int& found) const {
  found = 0;
  int best = 0;
  for (const CVertex3d* v : m_ArrayVertex) {
    if (!v || v->m_Flag == t) continue;
    if (!found || v->m_Flag < best) best = v->m_Flag;
    found = 1;
  }
  return best;
}

int CMesh3d::AnyVertexFlagDiffers(int t) const {
  for (const CVertex3d* v : m_ArrayVertex)
    if (v && v->m_Flag != t) return 1;
  return 0;
}

int CMesh3d::HasBoundary() const {
  for (const CVertex3d* v : m_ArrayVertex)
    if (v && v->IsBoundaryVertex()) return 1;
  return 0;
}

// Mean over all vertices of their mean distance to their neighbours.
double CMesh3d::MeanEdgeLength() const {
  int nv = NbVertex();
  if (nv == 0) return 0.0;
  double sum = 0.0;
  for (const CVertex3d* v : m_ArrayVertex)
    if (v) sum += v->MeanDistanceToNeighbors();
  return sum / nv;
}

// The sharpest crease: the largest per-vertex maximum of NormalSine.
double CMesh3d::MaxNormalSine() const {
  double best = 0.0;
  for (const CVertex3d* v : m_ArrayVertex) {
    if (!v) continue;
    double s = v->MaxNormalSine();
    if (s > best) best = s;
  }
  return best;
}

bool CMesh3d::HasPlainColor() const {
  const CColor white;
  if (m_ColorBinding == 0) {
    for (const CVertex3d* v : m_ArrayVertex)
      if (v && v->m_Color != white) return false;
    return true;
  }
  for (const CFace3d* f : m_ArrayFace)
    if (f && f->m_Color != white) return false;
  return true;
}
