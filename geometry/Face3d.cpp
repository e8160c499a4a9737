// CFace3d: history, corner and neighbour queries, validity, normal, area,
// compacity and edge flip. Drawing lives in ElementDraw.cpp.

#include "geometry/Face3d.h"

#include <cmath>
#include <cstdlib>

const CFaceExtra3d CFace3d::s_NoExtra;

CFace3d::~CFace3d() {
  DropExtra();
}

void CFace3d::DropExtra() {
  if (!m_pExtra) return;
  CHistory3d::Clear(m_pExtra->m_pHistory);
  delete m_pExtra;
  m_pExtra = nullptr;
}

void CFace3d::CopyVertices(const CFace3d* f) {
  if (!f) return;
  for (int i = 0; i < 3; i++) m_pVertex[i] = f->m_pVertex[i];
}

void CFace3d::CopyNeighbors(const CFace3d* f) {
  if (!f) return;
  for (int i = 0; i < 3; i++) m_pFace[i] = f->m_pFace[i];
}

//////////////////////////////////////////////////////////////////////
// Undo history
//////////////////////////////////////////////////////////////////////

void CFace3d::PushCorner(int slot) {
  CHistoryRecord3d r;
  r.kind = HISTORY_FACE_CORNER;
  r.slot = slot % 3;
  r.previous = m_pVertex[r.slot];
  CHistory3d::Push(MutableExtra().m_pHistory, r);
}

void CFace3d::PushCreated() {
  CHistory3d::Push(MutableExtra().m_pHistory, HISTORY_FACE_CREATED);
}

int CFace3d::PopHistory() {
  CHistoryRecord3d r;
  if (!m_pExtra || !CHistory3d::Pop(m_pExtra->m_pHistory, r)) return 0;
  if (r.kind == HISTORY_FACE_CORNER) {
    int slot = r.slot % 3;
    if (slot < 0) slot += 3;
    m_pVertex[slot] = r.previous;
    CalculateNormal();
  } else if (r.kind == HISTORY_FACE_CREATED) {
    m_pVertex[0] = m_pVertex[1] = m_pVertex[2] = nullptr;
  }
  return 1;
}

void CFace3d::ClearHistory() {
  if (m_pExtra) CHistory3d::Clear(m_pExtra->m_pHistory);
}

//////////////////////////////////////////////////////////////////////
// Corners and neighbours
//////////////////////////////////////////////////////////////////////

int CFace3d::IndexOfVertex(const CVertex3d* v, int& i) const {
  if (!v) return 0;
  for (int k = 0; k < 3; k++)
    if (m_pVertex[k] == v) {
      i = k;
      return 1;
    }
  return 0;
}

int CFace3d::IndexOfNeighbor(const CFace3d* f, int& i) const {
  if (!f) return 0;
  for (int k = 0; k < 3; k++)
    if (m_pFace[k] == f) {
      i = k;
      return 1;
    }
  return 0;
}

int CFace3d::NbVertex() const {
  int n = 0;
  for (int k = 0; k < 3; k++)
    if (m_pVertex[k]) n++;
  return n;
}

int CFace3d::NbNeighbor() const {
  int n = 0;
  for (int k = 0; k < 3; k++)
    if (m_pFace[k]) n++;
  return n;
}

int CFace3d::UpdateVertex(CVertex3d* oldV, CVertex3d* newV) {
  int i;
  if (!IndexOfVertex(oldV, i)) return 0;
  m_pVertex[i] = newV;
  CalculateNormal();
  return 1;
}

int CFace3d::UpdateNeighbor(CFace3d* oldF, CFace3d* newF) {
  int i;
  if (!IndexOfNeighbor(oldF, i)) return 0;
  m_pFace[i] = newF;
  return 1;
}

CVertex3d* CFace3d::OtherVertex(const CVertex3d* a, const CVertex3d* b) const {
  for (int k = 0; k < 3; k++) {
    CVertex3d* v = m_pVertex[k];
    if (v && v != a && v != b) return v;
  }
  return nullptr;
}

CVertex3d* CFace3d::VertexSharedWith(const CVertex3d* a, const CFace3d* f) const {
  if (!f) return nullptr;
  for (int k = 0; k < 3; k++) {
    CVertex3d* v = m_pVertex[k];
    if (v && v != a && f->HasVertex(v)) return v;
  }
  return nullptr;
}

CFace3d* CFace3d::OtherNeighbor(const CFace3d* f1, const CFace3d* f2) const {
  for (int k = 0; k < 3; k++) {
    CFace3d* f = m_pFace[k];
    if (f && f != f1 && f != f2) return f;
  }
  return nullptr;
}

CFace3d* CFace3d::NeighborWith(const CVertex3d* a, const CVertex3d* b) const {
  for (int k = 0; k < 3; k++) {
    CFace3d* f = m_pFace[k];
    if (f && a && f->HasVertex(a) && !f->HasVertex(b)) return f;
  }
  return nullptr;
}

CFace3d* CFace3d::NeighborWithout(const CVertex3d* a) const {
  for (int k = 0; k < 3; k++) {
    CFace3d* f = m_pFace[k];
    if (f && !f->HasVertex(a)) return f;
  }
  return nullptr;
}

CFace3d* CFace3d::NeighborNotIn(const CVertex3d* v, const CArray3d<CFace3d>& list) const {
  for (int k = 0; k < 3; k++) {
    CFace3d* f = m_pFace[k];
    if (f && v && f->HasVertex(v) && !list.Has(f)) return f;
  }
  return nullptr;
}

int CFace3d::SharesEdge(const CFace3d* f) const {
  if (!f) return 0;
  int common = 0;
  for (int k = 0; k < 3; k++)
    if (m_pVertex[k] && f->HasVertex(m_pVertex[k])) common++;
  return common == 2;
}

int CFace3d::SharedEdge(const CFace3d* f, CVertex3d*& a, CVertex3d*& b) const {
  if (!f) return 0;
  for (int k = 0; k < 3; k++) {
    CVertex3d* p = m_pVertex[k];
    CVertex3d* q = m_pVertex[(k + 1) % 3];
    if (p && q && p != q && f->HasVertex(p) && f->HasVertex(q)) {
      a = p;
      b = q;
      return 1;
    }
  }
  return 0;
}

CVertex3d* CFace3d::NearestVertex(const CVertex3d* p) const {
  if (!p) return nullptr;
  CVertex3d* nearest = nullptr;
  double best = 0.0;
  for (int k = 0; k < 3; k++) {
    CVertex3d* v = m_pVertex[k];
    if (!v) continue;
    double d = DistanceSquared(p, v);
    if (!nearest || d < best) {
      best = d;
      nearest = v;
    }
  }
  return nearest;
}

//////////////////////////////////////////////////////////////////////
// Flags and tags of corners
//////////////////////////////////////////////////////////////////////

void CFace3d::SetCornerFlags(int t) {
  for (int k = 0; k < 3; k++)
    if (m_pVertex[k]) m_pVertex[k]->m_Flag = t;
}

void CFace3d::SetCornerFlagsExcept(const CVertex3d* p, int t) {
  for (int k = 0; k < 3; k++)
    if (m_pVertex[k] && m_pVertex[k] != p) m_pVertex[k]->m_Flag = t;
}

void CFace3d::SetCornerFlagsIfNot(int t, int value) {
  for (int k = 0; k < 3; k++)
    if (m_pVertex[k] && m_pVertex[k]->m_Flag != t) m_pVertex[k]->m_Flag = value;
}

int CFace3d::NbCornerWithFlag(int t) const {
  int n = 0;
  for (int k = 0; k < 3; k++)
    if (m_pVertex[k] && m_pVertex[k]->m_Flag == t) n++;
  return n;
}

int CFace3d::IndexOfCornerWithFlag(int t) const {
  for (int k = 0; k < 3; k++)
    if (m_pVertex[k] && m_pVertex[k]->m_Flag == t) return k;
  return 0;
}

CVertex3d* CFace3d::CornerWithFlag(int t) const {
  for (int k = 0; k < 3; k++)
    if (m_pVertex[k] && m_pVertex[k]->m_Flag == t) return m_pVertex[k];
  return nullptr;
}

int CFace3d::HasCornerWithFlag(int t) const {
  return CornerWithFlag(t) != nullptr;
}

int CFace3d::NbCornerWithTag(int t) const {
  int n = 0;
  for (int k = 0; k < 3; k++)
    if (m_pVertex[k] && m_pVertex[k]->GetTagB() == t) n++;
  return n;
}

int CFace3d::MaxTagDifference() const {
  int best = 0;
  for (int i = 0; i < 3; i++)
    for (int j = i + 1; j < 3; j++) {
      if (!m_pVertex[i] || !m_pVertex[j]) continue;
      int d = std::abs(m_pVertex[i]->GetTagB() - m_pVertex[j]->GetTagB());
      if (d > best) best = d;
    }
  return best;
}

int CFace3d::SameTags() const {
  if (HasNullVertex()) return 0;
  return m_pVertex[0]->GetTagB() == m_pVertex[1]->GetTagB() &&
         m_pVertex[1]->GetTagB() == m_pVertex[2]->GetTagB();
}

//////////////////////////////////////////////////////////////////////
// Tests
//////////////////////////////////////////////////////////////////////

int CFace3d::HasNullVertex() const {
  return !m_pVertex[0] || !m_pVertex[1] || !m_pVertex[2];
}

int CFace3d::IsDegenerate() const {
  return m_pVertex[0] == m_pVertex[1] || m_pVertex[1] == m_pVertex[2] ||
         m_pVertex[0] == m_pVertex[2];
}

int CFace3d::HasBoundaryVertex() const {
  for (int k = 0; k < 3; k++)
    if (m_pVertex[k] && m_pVertex[k]->IsBoundaryVertex()) return 1;
  return 0;
}

int CFace3d::ValenceSum() const {
  int sum = 0;
  for (int k = 0; k < 3; k++)
    if (m_pVertex[k]) sum += m_pVertex[k]->NbNeighbor();
  return sum;
}

int CFace3d::NoValence3Near() const {
  for (int k = 0; k < 3; k++) {
    CVertex3d* v = m_pVertex[k];
    if (!v) continue;
    if (v->NbNeighbor() == 3) return 0;
    for (CVertex3d* n : v->m_ArrayVertexNeighbor)
      if (n && n->NbNeighbor() == 3) return 0;
  }
  return 1;
}

int CFace3d::IsValid() const {
  // Not its own neighbour.
  if (HasNeighbor(this)) return 0;
  // Non-null neighbours pairwise distinct.
  for (int i = 0; i < 3; i++)
    for (int j = i + 1; j < 3; j++)
      if (m_pFace[i] && m_pFace[i] == m_pFace[j]) return 0;
  // Three distinct (non-null) corners.
  if (HasNullVertex() || IsDegenerate()) return 0;
  // Every neighbour points back.
  for (int i = 0; i < 3; i++)
    if (m_pFace[i] && !m_pFace[i]->HasNeighbor(this)) return 0;
  return 1;
}

int CFace3d::SharpEdges(double threshold, int out[3]) const {
  int any = 0;
  for (int i = 0; i < 3; i++) {
    out[i] = 0;
    if (!m_pFace[i]) continue;
    // NormalSine recomputes the two normals (a cache refresh).
    if (NormalSine(const_cast<CFace3d*>(this), m_pFace[i]) >= threshold) {
      out[i] = 1;
      any = 1;
    }
  }
  return any;
}

//////////////////////////////////////////////////////////////////////
// Geometry
//////////////////////////////////////////////////////////////////////

void CFace3d::CalculateNormal() {
  if (HasNullVertex()) {
    m_Normal.Set(0.0, 0.0, 0.0);
    return;
  }
  m_Normal = TriangleNormal(m_pVertex[0], m_pVertex[1], m_pVertex[2]);
}

CVector3d TriangleNormal(const CVertex3d* p0, const CVertex3d* p1, const CVertex3d* p2) {
  // The y and z components of the two edge vectors are rounded to single
  // precision; the products are taken in double precision.
  CVector3d u(p1->x - p0->x, static_cast<float>(p1->y - p0->y), static_cast<float>(p1->z - p0->z));
  CVector3d w(p2->x - p0->x, static_cast<float>(p2->y - p0->y), static_cast<float>(p2->z - p0->z));
  CVector3d n = u ^ w;
  n.Normalize();
  return n;
}

double CFace3d::Area() const {
  if (HasNullVertex()) return 0.0;
  return ::Area(m_pVertex[0], m_pVertex[1], m_pVertex[2]);
}

double CFace3d::Perimeter() const {
  if (HasNullVertex()) return 0.0;
  return Distance(m_pVertex[0], m_pVertex[1]) + Distance(m_pVertex[1], m_pVertex[2]) +
         Distance(m_pVertex[2], m_pVertex[0]);
}

double CFace3d::Compacity() const {
  double p = Perimeter();
  if (p == 0.0) return 0.0;
  return 4.0 * PI_3D * Area() / (p * p);
}

double CFace3d::Compacity(const CFace3d* f) const {
  if (!f) return Compacity();
  return (Compacity() + f->Compacity()) / 2.0;
}

CVector3d CFace3d::Center() const {
  CVector3d c;
  int n = 0;
  for (int k = 0; k < 3; k++)
    if (m_pVertex[k]) {
      c += m_pVertex[k]->Position();
      n++;
    }
  if (n) c /= n;
  return c;
}

//////////////////////////////////////////////////////////////////////
// Edge flip
//////////////////////////////////////////////////////////////////////

int CFace3d::FlipEdge(CFace3d* f) {
  CFace3d* A = this;
  CFace3d* B = f;
  if (!B || B == A) return 0;
  int i, k;
  if (!A->IndexOfNeighbor(B, i) || !B->IndexOfNeighbor(A, k)) return 0;
  if (A->HasNullVertex() || B->HasNullVertex()) return 0;
  CVertex3d* p = A->m_pVertex[i];
  CVertex3d* q = A->m_pVertex[(i + 1) % 3];
  CVertex3d* a = A->m_pVertex[(i + 2) % 3];
  CVertex3d* b = B->m_pVertex[(k + 2) % 3];
  // The shared edge must appear in B as (q, p), consistently oriented.
  if (B->m_pVertex[k] != q || B->m_pVertex[(k + 1) % 3] != p) return 0;
  if (a == b || a == p || a == q || b == p || b == q) return 0;
  if (a->HasNeighbor(b) || b->HasNeighbor(a)) return 0;

  CFace3d* x1 = A->m_pFace[(i + 1) % 3]; // across (q, a): goes to B
  CFace3d* y1 = B->m_pFace[(k + 1) % 3]; // across (p, b): goes to A

  // Corners: A = (p, b, a), B = (q, a, b) at slots i.. and k..
  A->m_pVertex[(i + 1) % 3] = b;
  B->m_pVertex[(k + 1) % 3] = a;

  // Neighbours.
  A->m_pFace[i] = y1;
  A->m_pFace[(i + 1) % 3] = B;
  B->m_pFace[k] = x1;
  B->m_pFace[(k + 1) % 3] = A;
  if (y1) y1->UpdateNeighbor(B, A);
  if (x1) x1->UpdateNeighbor(A, B);

  // Incident faces.
  p->RemoveFace(B);
  q->RemoveFace(A);
  a->AddFace(B);
  b->AddFace(A);

  // Neighbour vertices.
  p->RemoveNeighbor(q);
  q->RemoveNeighbor(p);
  a->AddNeighbor(b);
  b->AddNeighbor(a);

  A->CalculateNormal();
  B->CalculateNormal();
  return 1;
}
