// Local simplification primitives: edge collapse and removal of valence-3
// vertices. Every precondition is checked before anything changes, so a
// refusal leaves the mesh exactly as it was.

#include <algorithm>
#include <vector>

#include "geometry/Mesh3d.h"

//////////////////////////////////////////////////////////////////////
// Edge collapse
//////////////////////////////////////////////////////////////////////

namespace {

// The faces on an edge, in p's list order: an edge with more than two
// never collapses, so two are all it holds. Kept on the stack: collapses
// come by the hundred thousand, each with no heap block of its own.
struct CEdgeFaces {
  CFace3d* face[2] = {nullptr, nullptr};
  int count = 0;
  CFace3d* const* begin() const { return face; }
  CFace3d* const* end() const { return face + count; }
};

} // namespace

// Link condition: every neighbour that p and q share is the third corner of
// one of the edge's faces. A shared neighbour r that is not would have its
// edges (p, r) and (q, r) merged into one edge with three or more faces.
static bool KeepsLinkCondition(const CVertex3d* p, const CVertex3d* q, const CEdgeFaces& faces) {
  for (const CVertex3d* r : p->m_ArrayVertexNeighbor) {
    if (!r || r == q || !q->HasNeighbor(r)) continue;
    bool thirdCorner = false;
    for (const CFace3d* f : faces)
      if (f->OtherVertex(p, q) == r) thirdCorner = true;
    if (!thirdCorner) return false;
  }
  return true;
}

// Steps 1-2: the faces on edge (p, q) when the collapse is allowed: p and q
// are mutual neighbours, the edge has one or two faces, both valid and
// distinct, the third corner of each keeps at least 4 faces, and the link
// condition holds.
static bool CollapsibleFaces(const CVertex3d* p, const CVertex3d* q, CEdgeFaces& faces) {
  if (!p || !q || p == q) return false;
  if (!p->HasNeighbor(q) || !q->HasNeighbor(p)) return false;
  for (CFace3d* f : p->m_ArrayFaceNeighbor)
    if (f && f->HasVertex(q)) {
      // special case: a third face refuses the collapse
      if (faces.count == 2) return false;
      faces.face[faces.count++] = f;
    }
  if (faces.count == 0) return false;
  if (faces.count == 2 && faces.face[0] == faces.face[1]) return false;
  for (const CFace3d* f : faces) {
    if (!f->IsValid()) return false;
    const CVertex3d* r = f->OtherVertex(p, q);
    if (!r || r->NbFace() < 4) return false;
  }
  return KeepsLinkCondition(p, q, faces);
}

// Step 3: p takes over q's one-ring and faces.
static void TransferRing(CVertex3d* p, CVertex3d* q) {
  for (CVertex3d* n : q->m_ArrayVertexNeighbor)
    if (n && n != p) p->AddNeighbor(n);
  p->RemoveNeighbor(q);
  // copy first: UpdateNeighbor does not touch q's own list, but keep the
  // walk independent of it anyway
  std::vector<CVertex3d*> ring(q->m_ArrayVertexNeighbor.begin(), q->m_ArrayVertexNeighbor.end());
  for (CVertex3d* n : ring)
    if (n) n->UpdateNeighbor(q, p);
  for (CFace3d* f : q->m_ArrayFaceNeighbor)
    if (f) p->AddFace(f);
}

// Step 4: the face on the edge goes; its outer neighbours A (holding p, not q)
// and B (holding q, not p) become neighbours of each other. Both are appended
// to the list when one is given, null ones included, so the pairs stay aligned.
static void DissolveEdgeFace(CMesh3d* mesh, CFace3d* f, CVertex3d* p, CVertex3d* q,
                             CArray3d<CFace3d>* list) {
  if (CVertex3d* r = f->OtherVertex(p, q)) r->RemoveFace(f);
  p->RemoveFace(f);
  CFace3d* a = f->NeighborWith(p, q);
  CFace3d* b = f->NeighborWith(q, p);
  if (a) a->UpdateNeighbor(f, b);
  if (b) b->UpdateNeighbor(f, a);
  if (list) {
    list->Add(a);
    list->Add(b);
  }
  mesh->RemoveFace(f);
}

int CMesh3d::CanCollapseEdge(const CVertex3d* p, const CVertex3d* q) const {
  CEdgeFaces faces;
  return CollapsibleFaces(p, q, faces) ? 1 : 0;
}

int CMesh3d::CollapseEdge(CVertex3d* p, CVertex3d* q, const CVector3d& position,
                          CArray3d<CFace3d>* list, int deleteQ) {
  CEdgeFaces faces;
  if (!CollapsibleFaces(p, q, faces)) return 0;
  // the slot entries of what goes are looked up last; load them meanwhile
  for (CFace3d* f : faces) m_FaceSlots.Prefetch(f);
  if (deleteQ) m_VertexSlots.Prefetch(q);
  // faces and maybe Q go: no undo record may name them
  DropHistory();

  TransferRing(p, q);
  for (CFace3d* f : faces) DissolveEdgeFace(this, f, p, q, list);

  // step 5: q's remaining faces now use p
  for (CFace3d* f : q->m_ArrayFaceNeighbor)
    if (f) f->UpdateVertex(q, p);

  // step 6; a q that stays is emptied of its links, being no longer a
  // corner nor anyone's neighbour (its lists would go stale otherwise)
  p->Set(position);
  SetModified();
  if (deleteQ) {
    RemoveVertex(q);
  } else {
    q->m_ArrayFaceNeighbor.RemoveAll();
    q->m_ArrayVertexNeighbor.RemoveAll();
  }
  return 1;
}

//////////////////////////////////////////////////////////////////////
// Valence-3 vertex removal
//////////////////////////////////////////////////////////////////////

namespace {

// The fan of an interior vertex v with three faces: f0 = (v, a, b) keeps its
// place, c is the outer corner shared by the two others; fa is the face
// holding a and c, fb the face holding b and c.
struct CValence3Fan {
  CVertex3d* v = nullptr;
  CFace3d* f0 = nullptr;
  CFace3d* fa = nullptr;
  CFace3d* fb = nullptr;
  CVertex3d *a = nullptr, *b = nullptr, *c = nullptr;
  int slot = 0; // v's corner index in f0
};

} // namespace

// A proper triangle around v: no null or repeated corner, v once.
static bool IsFanFace(const CFace3d* f, const CVertex3d* v) {
  if (!f || !f->HasVertex(v)) return false;
  for (int k = 0; k < 3; k++)
    if (!f->v(k) || f->v(k) == f->v((k + 1) % 3)) return false;
  return true;
}

// The face around v's corners, other than the fan's own, that already has
// the corners a, b, c (the merged face would duplicate it).
static bool HasOtherFace(const CValence3Fan& fan) {
  for (const CFace3d* g : fan.a->m_ArrayFaceNeighbor)
    if (g && g != fan.f0 && g != fan.fa && g != fan.fb && g->HasVertices(fan.a, fan.b, fan.c))
      return true;
  return false;
}

// Recognises the fan; false when v is not an interior vertex with exactly
// three proper faces over three distinct outer corners.
static bool FindValence3Fan(CVertex3d* v, CValence3Fan& fan) {
  if (!v || v->NbFace() != 3 || v->IsBoundaryVertex()) return false;
  CFace3d* f[3] = {v->GetFace(0), v->GetFace(1), v->GetFace(2)};
  for (CFace3d* g : f)
    if (!IsFanFace(g, v)) return false;
  if (f[0] == f[1] || f[1] == f[2] || f[0] == f[2]) return false;
  fan.v = v;
  fan.f0 = f[0];
  f[0]->IndexOfVertex(v, fan.slot);
  fan.a = f[0]->v((fan.slot + 1) % 3);
  fan.b = f[0]->v((fan.slot + 2) % 3);
  // c: the outer corner that the two other faces share
  fan.c = f[1]->VertexSharedWith(v, f[2]);
  if (!fan.c || fan.c == fan.a || fan.c == fan.b) return false;
  fan.fa = f[1]->HasVertex(fan.a) ? f[1] : f[2];
  fan.fb = fan.fa == f[1] ? f[2] : f[1];
  if (!fan.fa->HasVertices(v, fan.a, fan.c) || !fan.fb->HasVertices(v, fan.b, fan.c)) return false;
  return !HasOtherFace(fan);
}

// The neighbour of g across its edge that does not hold v.
static CFace3d* OuterNeighbor(const CFace3d* g, const CVertex3d* v) {
  int i = 0;
  g->IndexOfVertex(v, i);
  return g->f(i + 1);
}

// Merges the fan into f0 = (c, a, b) and takes fa, fb and v out of every list;
// the caller deletes them.
static void MergeValence3Fan(const CValence3Fan& fan) {
  CFace3d* f0 = fan.f0;
  int s = fan.slot;

  // the outer neighbours of fa and fb become f0's across the new edges
  CFace3d* outerA = OuterNeighbor(fan.fa, fan.v);
  CFace3d* outerB = OuterNeighbor(fan.fb, fan.v);
  f0->SetVertex(s, fan.c);
  f0->SetNeighbor(s, outerA);     // edge (c, a)
  f0->SetNeighbor(s + 2, outerB); // edge (b, c)
  if (outerA) outerA->UpdateNeighbor(fan.fa, f0);
  if (outerB) outerB->UpdateNeighbor(fan.fb, f0);
  f0->CalculateNormal();

  // face lists and one-rings of the outer corners
  fan.a->RemoveFace(fan.fa);
  fan.b->RemoveFace(fan.fb);
  fan.c->RemoveFace(fan.fa);
  fan.c->RemoveFace(fan.fb);
  fan.c->AddFace(f0);
  fan.a->RemoveNeighbor(fan.v);
  fan.b->RemoveNeighbor(fan.v);
  fan.c->RemoveNeighbor(fan.v);
  fan.v->m_ArrayFaceNeighbor.RemoveAll();
  fan.v->m_ArrayVertexNeighbor.RemoveAll();
  fan.fa->SetNeighbors(nullptr, nullptr, nullptr);
  fan.fb->SetNeighbors(nullptr, nullptr, nullptr);
}

int CMesh3d::RemoveValence3Vertex(CVertex3d* v) {
  CValence3Fan fan;
  if (!FindValence3Fan(v, fan)) return 0;
  DropHistory();
  MergeValence3Fan(fan);
  RemoveFace(fan.fa);
  RemoveFace(fan.fb);
  // v is no longer a corner; listing the merged face (which does not hold
  // it) spares its removal a search of every face for it
  v->AddFace(fan.f0);
  RemoveVertex(v);
  SetModified();
  return 1;
}

// Visiting every index and staying at it after a removal visits each original
// vertex once, in order; the doomed faces and vertices are therefore marked
// and compacted once at the end instead of shifting the arrays every time.
int CMesh3d::RemoveValence3Vertices() {
  int nv = NbVertex();
  std::vector<char> doomedVertex(static_cast<size_t>(nv), 0);
  std::vector<CFace3d*> doomedFaces;
  for (int i = 0; i < nv; i++) {
    CValence3Fan fan;
    if (!FindValence3Fan(GetVertex(i), fan)) continue;
    MergeValence3Fan(fan);
    doomedVertex[static_cast<size_t>(i)] = 1;
    doomedFaces.push_back(fan.fa);
    doomedFaces.push_back(fan.fb);
  }
  if (doomedFaces.empty()) return 0;

  // one compaction pass per array
  std::sort(doomedFaces.begin(), doomedFaces.end());
  std::vector<char> doomedFace(static_cast<size_t>(NbFace()), 0);
  for (int i = 0; i < NbFace(); i++)
    doomedFace[static_cast<size_t>(i)] =
        std::binary_search(doomedFaces.begin(), doomedFaces.end(), GetFace(i));
  DeleteFacesMarked(doomedFace);
  int removed = DeleteVerticesMarked(doomedVertex);
  SetModified();
  return removed;
}
