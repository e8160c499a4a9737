// CVertex3d: history, neighbourhood lists, queries, edges and MergeInto.
// Measures over incident faces live in VertexMeasures.cpp, drawing in
// ElementDraw.cpp.

#include "geometry/Vertex3d.h"

#include "geometry/Edge3d.h"
#include "geometry/Face3d.h"

const CVertexExtra3d CVertex3d::s_NoExtra;

CVertex3d::~CVertex3d() {
  // Discard the whole history with the side block, then the lists free
  // themselves; the objects pointed to are never touched.
  DropExtra();
}

void CVertex3d::DropExtra() {
  if (!m_pExtra) return;
  CHistory3d::Clear(m_pExtra->m_pHistory);
  delete m_pExtra;
  m_pExtra = nullptr;
}

//////////////////////////////////////////////////////////////////////
// Undo history
//////////////////////////////////////////////////////////////////////

void CVertex3d::PushPosition() {
  CHistoryRecord3d r;
  r.kind = HISTORY_VERTEX_POSITION;
  r.position[0] = static_cast<float>(x);
  r.position[1] = static_cast<float>(y);
  r.position[2] = static_cast<float>(z);
  CHistory3d::Push(MutableExtra().m_pHistory, r);
}

void CVertex3d::PushCreated() {
  CHistory3d::Push(MutableExtra().m_pHistory, HISTORY_VERTEX_CREATED);
}

int CVertex3d::PopHistory() {
  CHistoryRecord3d r;
  if (!m_pExtra || !CHistory3d::Pop(m_pExtra->m_pHistory, r)) return 0;
  if (r.kind == HISTORY_VERTEX_POSITION) Set(r.position[0], r.position[1], r.position[2]);
  // a created-vertex record carries nothing to restore
  return 1;
}

void CVertex3d::ClearHistory() {
  if (m_pExtra) CHistory3d::Clear(m_pExtra->m_pHistory);
}

//////////////////////////////////////////////////////////////////////
// Neighbour vertices and faces
//////////////////////////////////////////////////////////////////////

void CVertex3d::UpdateNeighbor(CVertex3d* oldV, CVertex3d* newV) {
  RemoveNeighbor(oldV);
  if (newV == this || newV == nullptr) return;
  AddNeighbor(newV);
  newV->AddNeighbor(this);
}

void CVertex3d::UpdateFaceVertex(CVertex3d* oldV, CVertex3d* newV) {
  int n = m_ArrayFaceNeighbor.GetSize();
  for (int i = 0; i < n; i++) {
    CFace3d* f = m_ArrayFaceNeighbor[i];
    if (f && oldV && f->HasVertex(oldV)) f->UpdateVertex(oldV, newV);
  }
}

CFace3d* CVertex3d::FindFace(const CVertex3d* a, const CVertex3d* b) const {
  if (!a || !b || a == b || a == this || b == this) return nullptr;
  int n = m_ArrayFaceNeighbor.GetSize();
  for (int i = 0; i < n; i++) {
    CFace3d* f = m_ArrayFaceNeighbor[i];
    if (f && f->HasVertex(a) && f->HasVertex(b)) return f;
  }
  return nullptr;
}

int CVertex3d::SharedFaces(const CVertex3d* v, CArray3d<CFace3d>& out) const {
  if (!v) return 0;
  int count = 0;
  int n = m_ArrayFaceNeighbor.GetSize();
  for (int i = 0; i < n; i++) {
    CFace3d* f = m_ArrayFaceNeighbor[i];
    if (f && v->HasFace(f)) {
      out.Add(f);
      count++;
    }
  }
  return count;
}

//////////////////////////////////////////////////////////////////////
// Boundary
//////////////////////////////////////////////////////////////////////

int CVertex3d::IsBoundaryVertex() const {
  int n = m_ArrayFaceNeighbor.GetSize();
  for (int i = 0; i < n; i++) {
    CFace3d* f = m_ArrayFaceNeighbor[i];
    if (!f) continue;
    for (int j = 0; j < 3; j++) {
      if (f->m_pFace[j] == nullptr &&
          (f->m_pVertex[j] == this || f->m_pVertex[(j + 1) % 3] == this))
        return 1;
    }
  }
  return 0;
}

int CVertex3d::HasBoundaryNeighbor() const {
  int n = m_ArrayVertexNeighbor.GetSize();
  for (int i = 0; i < n; i++) {
    CVertex3d* v = m_ArrayVertexNeighbor[i];
    if (v && v->IsBoundaryVertex()) return 1;
  }
  return 0;
}

//////////////////////////////////////////////////////////////////////
// Queries by flag
//////////////////////////////////////////////////////////////////////

int CVertex3d::NbNeighborWithFlag(int t) const {
  int count = 0;
  for (CVertex3d* v : m_ArrayVertexNeighbor)
    if (v && v->m_Flag == t) count++;
  return count;
}

CVertex3d* CVertex3d::NearestNeighborWithFlag(int t) const {
  double best = 1e38;
  CVertex3d* nearest = nullptr;
  for (CVertex3d* v : m_ArrayVertexNeighbor) {
    if (!v || v->m_Flag != t) continue;
    double d = DistanceSquared(this, v);
    if (d < best) {
      best = d;
      nearest = v;
    }
  }
  return nearest;
}

CVertex3d* CVertex3d::NeighborWithFlagSharingFaceWithFlag(int t, int u) const {
  for (CVertex3d* v : m_ArrayVertexNeighbor) {
    if (!v || v->m_Flag != t) continue;
    for (CFace3d* f : m_ArrayFaceNeighbor)
      if (f && f->m_Flag == u && f->HasVertex(v)) return v;
  }
  return nullptr;
}

//////////////////////////////////////////////////////////////////////
// Queries by tag B
//////////////////////////////////////////////////////////////////////

int CVertex3d::NbBoundaryNeighborWithTag(int t) const {
  int count = 0;
  for (CVertex3d* v : m_ArrayVertexNeighbor)
    if (v && v->GetTagB() == t && v->IsBoundaryVertex()) count++;
  return count;
}

CVertex3d* CVertex3d::FirstBoundaryNeighborWithTag(int t) const {
  for (CVertex3d* v : m_ArrayVertexNeighbor)
    if (v && v->GetTagB() == t && v->IsBoundaryVertex()) return v;
  return nullptr;
}

CVertex3d* CVertex3d::NeighborWithTagAndFlag(int t, int u) const {
  for (CVertex3d* v : m_ArrayVertexNeighbor)
    if (v && v->GetTagB() == t && v->m_Flag == u) return v;
  return nullptr;
}

int CVertex3d::CollectNeighborsWithTag(int t, CArray3d<CVertex3d>& out) const {
  int count = 0;
  for (CVertex3d* v : m_ArrayVertexNeighbor)
    if (v && v->GetTagB() == t) {
      out.Add(v);
      count++;
    }
  return count;
}

CVertex3d* CVertex3d::MostAlignedNeighbor(const CVector3d& dir) const {
  double best = 0.0;
  CVertex3d* aligned = nullptr;
  for (CVertex3d* v : m_ArrayVertexNeighbor) {
    if (!v) continue;
    CVector3d d(v->x - x, v->y - y, v->z - z);
    d.Normalize();
    double dot = d * dir;
    if (dot > best) {
      best = dot;
      aligned = v;
    }
  }
  return aligned;
}

//////////////////////////////////////////////////////////////////////
// Incident edges
//////////////////////////////////////////////////////////////////////

int CVertex3d::SetEdgeTag(const CVertex3d* v, int tag) {
  for (CEdge3d* e : EdgeList()) {
    if (e && e->Equals(this, v)) {
      e->m_Tag = tag;
      return 1;
    }
  }
  return 0;
}

int CVertex3d::NbEdgeWithTag(int t) {
  int count = 0;
  for (CEdge3d* e : EdgeList())
    if (e && e->m_Tag == t) count++;
  SetCounter(count);
  return count;
}

//////////////////////////////////////////////////////////////////////
// MergeInto: ctx is absorbed, this survives.
//////////////////////////////////////////////////////////////////////

int CVertex3d::MergeInto(CVertex3d* ctx, int faceFlag, int vertexFlag) {
  if (!ctx || ctx == this) return 0;

  CArray3d<CFace3d> shared;
  SharedFaces(ctx, shared);
  int nbShared = shared.GetSize();
  if (nbShared != 1 && nbShared != 2) return 0;

  // Every shared face needs a well-defined third vertex that can lose a
  // neighbour (interior valence 3 would drop to 2).
  CVertex3d* third[2] = {nullptr, nullptr};
  for (int i = 0; i < nbShared; i++) {
    CFace3d* f = shared[i];
    if (f->HasNullVertex() || f->IsDegenerate()) return 0;
    CVertex3d* w = f->OtherVertex(this, ctx);
    if (!w) return 0;
    if (w->NbNeighbor() == 3 && !w->IsBoundaryVertex()) return 0;
    third[i] = w;
  }
  if (nbShared == 2 && shared[0] == shared[1]) return 0;

  // Detach the shared faces: relink their outer neighbours across them.
  for (int i = 0; i < nbShared; i++) {
    CFace3d* f = shared[i];
    CVertex3d* w = third[i];
    int iw = 0;
    f->IndexOfVertex(w, iw);
    // Edges touching w: (w, next) is neighbour iw, (prev, w) is neighbour iw+2.
    CFace3d* fa = f->m_pFace[iw];
    CFace3d* fb = f->m_pFace[(iw + 2) % 3];
    if (fa == fb) {
      // Never make a face its own neighbour: just forget f.
      if (fa && fa != f)
        while (fa->UpdateNeighbor(f, nullptr)) {
        }
    } else {
      if (fa && fa != f) fa->UpdateNeighbor(f, fb);
      if (fb && fb != f) fb->UpdateNeighbor(f, fa);
    }
    // The neighbour across (this, ctx) (the other shared face, if any)
    // forgets f.
    CFace3d* fc = f->m_pFace[(iw + 1) % 3];
    if (fc && fc != f) fc->UpdateNeighbor(f, nullptr);
    f->SetNeighbors(nullptr, nullptr, nullptr);
    f->m_Flag = faceFlag;
  }
  // Defensive: no shared face keeps a pointer to another one.
  for (int i = 0; i < nbShared; i++) {
    CFace3d* f = shared[i];
    for (int j = 0; j < nbShared; j++)
      if (j != i) shared[j]->UpdateNeighbor(f, nullptr);
  }

  // Remove the shared faces from the three vertices and collapse each onto
  // its third vertex.
  for (int i = 0; i < nbShared; i++) {
    CFace3d* f = shared[i];
    CVertex3d* w = third[i];
    RemoveFace(f);
    ctx->RemoveFace(f);
    w->RemoveFace(f);
    w->RemoveNeighbor(ctx);
    f->Set(w, w, w);
    f->m_Normal.Set(0.0, 0.0, 0.0);
  }

  // Transfer ctx's faces to this.
  int nf = ctx->m_ArrayFaceNeighbor.GetSize();
  for (int i = 0; i < nf; i++) {
    CFace3d* f = ctx->m_ArrayFaceNeighbor[i];
    if (!f) continue;
    f->UpdateVertex(ctx, this);
    AddFace(f);
  }
  // Transfer ctx's neighbours to this.
  RemoveNeighbor(ctx);
  int nv = ctx->m_ArrayVertexNeighbor.GetSize();
  for (int i = 0; i < nv; i++) {
    CVertex3d* n = ctx->m_ArrayVertexNeighbor[i];
    if (!n || n == this) continue;
    n->UpdateNeighbor(ctx, this);
    AddNeighbor(n);
  }
  ctx->m_ArrayFaceNeighbor.RemoveAll();
  ctx->m_ArrayVertexNeighbor.RemoveAll();
  ctx->m_Flag = vertexFlag;
  ctx->SetTarget(this);
  return 1;
}
