// Face collapses: a face and its three neighbours go and the face's corners
// merge into one of them, the corner that changes the area of the faces
// around least.
//
// Face-based simplification takes the collapsible face of lowest cost (the
// first of equal costs in face order) again and again, removing valence-3
// vertices after each collapse. Costs are fixed at the start, so the faces
// sit in a min-heap on (cost, face order); a face found not collapsible on
// top is parked and goes back into the heap once a change reaches it and it
// passes the test again (Requeue says what a change reaches). The
// valence-3 pass after each step visits, in vertex order, only the
// vertices a change reached since their last visit (the others cannot have
// become removable), which gives the whole-mesh pass's result.
//
// The multiple face-collapse routine selects an independent set of faces by
// a depth-first flood (an explicit stack of frames, in the order of the
// recursive visit) and collapses them all.

#include <algorithm>
#include <cmath>
#include <thread>

#include "geometry/Mesh3d.h"
#include "geometry/Progress.h"
#include "geometry/SceneGraph3d.h"
#include "processing/Simplification.h"

// Colours of the selection shown with visual debugging.
static const CColor kSelectedColor(255, 192, 192);
static const CColor kNeighborColor(255, 255, 192);
static const CColor kResetColor(192, 192, 192);

// The face-collapse records start their search here.
constexpr double kNoCost = 1e38;
// The face-based loop takes costs below this.
constexpr double kNoFace = 1e308;

//////////////////////////////////////////////////////////////////////
// One face
//////////////////////////////////////////////////////////////////////

// The faces around the face's corners that are neither it nor a neighbour,
// each once, corner by corner.
static void RingFaces(CFace3d* face, std::vector<CFace3d*>& ring) {
  ring.clear();
  for (int k = 0; k < 3; k++) {
    CVertex3d* c = face->v(k);
    if (!c) continue;
    for (CFace3d* g : c->m_ArrayFaceNeighbor) {
      if (!g || g == face || face->HasNeighbor(g)) continue;
      if (std::find(ring.begin(), ring.end(), g) == ring.end()) ring.push_back(g);
    }
  }
}

static double RingArea(const std::vector<CFace3d*>& ring) {
  double area = 0.0;
  for (CFace3d* g : ring) area += g->Area();
  return area;
}

CFaceCollapseRecord FaceCollapseRecord(CFace3d* face) {
  CFaceCollapseRecord record;
  if (!face || face->HasNullVertex()) {
    record.cost = static_cast<float>(kNoCost);
    return record;
  }
  std::vector<CFace3d*> ring;
  RingFaces(face, ring);
  double before = RingArea(ring);
  double best = kNoCost;
  // move the two other corners onto corner k, measure, put them back
  for (int k = 0; k < 3; k++) {
    CVertex3d *c = face->v(k), *a = face->v((k + 1) % 3), *b = face->v((k + 2) % 3);
    CVector3d pa = a->Position(), pb = b->Position();
    a->Set(c);
    b->Set(c);
    double change = std::fabs(RingArea(ring) - before);
    a->Set(pa);
    b->Set(pb);
    if (change < best) {
      best = change;
      record.corner = k;
    }
  }
  record.cost = static_cast<float>(best);
  return record;
}

// The vertex of neighbour g across edge k of face opposite that edge.
static CVertex3d* OppositeVertex(const CFace3d* face, int k) {
  const CFace3d* g = face->f(k);
  return g ? g->OtherVertex(face->v(k), face->v((k + 1) % 3)) : nullptr;
}

// Whether a and b share a one-ring vertex other than those allowed. The
// smaller ring is walked and each of its vertices n tested against the
// larger one from whichever side is shorter (n is b's neighbour exactly
// when b is n's): a fan of hundreds of faces is then walked once at most,
// not searched for every vertex of the other ring.
static bool ShareOtherNeighbor(const CVertex3d* a, const CVertex3d* b, const CVertex3d* third,
                               const CVertex3d* opposite) {
  const CVertex3d* small = a->NbNeighbor() <= b->NbNeighbor() ? a : b;
  const CVertex3d* large = small == a ? b : a;
  for (const CVertex3d* n : small->m_ArrayVertexNeighbor) {
    if (!n || n == a || n == b || n == third || n == opposite) continue;
    if (n->NbNeighbor() < large->NbNeighbor() ? n->HasNeighbor(large) : large->HasNeighbor(n))
      return true;
  }
  return false;
}

// IsFaceCollapsible with the boundary test of a corner given: the
// simplifier keeps it per vertex, since a fan's centre is asked once for
// each face around it.
template <class Boundary> static bool Collapsible(CFace3d* face, Boundary onBoundary) {
  if (!face || !face->IsValid()) return false;
  CVertex3d* o[3];
  for (int k = 0; k < 3; k++) {
    CFace3d* g = face->f(k);
    if (!g || !g->IsValid()) return false;
    if (onBoundary(face->v(k))) return false;
    o[k] = OppositeVertex(face, k);
    if (!o[k] || face->HasVertex(o[k]) || o[k]->NbFace() < 4) return false;
  }
  if (o[0] == o[1] || o[1] == o[2] || o[0] == o[2]) return false;
  for (int k = 0; k < 3; k++)
    if (ShareOtherNeighbor(face->v(k), face->v((k + 1) % 3), face->v((k + 2) % 3), o[k]))
      return false;
  return true;
}

bool IsFaceCollapsible(CFace3d* face) {
  return Collapsible(face, [](const CVertex3d* v) { return v->IsBoundaryVertex() != 0; });
}

// The neighbour of g across its edge (a, b).
static int EdgeIndex(const CFace3d* g, const CVertex3d* a, const CVertex3d* b) {
  for (int e = 0; e < 3; e++) {
    const CVertex3d *p = g->v(e), *q = g->v((e + 1) % 3);
    if ((p == a && q == b) || (p == b && q == a)) return e;
  }
  return -1;
}

void CollapseFace(CMesh3d* mesh, CFace3d* face, int corner, std::vector<CVertex3d*>* touched) {
  CVertex3d* c[3] = {face->v(0), face->v(1), face->v(2)};
  CFace3d* n[3] = {face->f(0), face->f(1), face->f(2)};
  CVertex3d* kept = c[corner];

  // the outer neighbours of each neighbour face meet
  for (int i = 0; i < 3; i++) {
    CVertex3d* o = n[i]->OtherVertex(c[i], c[(i + 1) % 3]);
    int ea = EdgeIndex(n[i], c[i], o), eb = EdgeIndex(n[i], o, c[(i + 1) % 3]);
    CFace3d* a = ea >= 0 ? n[i]->f(ea) : nullptr;
    CFace3d* b = eb >= 0 ? n[i]->f(eb) : nullptr;
    if (a) a->UpdateNeighbor(n[i], b);
    if (b) b->UpdateNeighbor(n[i], a);
    if (o) o->RemoveFace(n[i]);
  }
  for (int i = 0; i < 3; i++) {
    c[i]->RemoveFace(face);
    c[i]->RemoveFace(n[i]);
    c[i]->RemoveFace(n[(i + 2) % 3]);
  }

  // the vertices whose links change: the kept corner and the one-rings of
  // the merged ones (the opposite vertices among them)
  auto merged = [&](const CVertex3d* w) {
    return w != kept && (w == c[0] || w == c[1] || w == c[2]);
  };
  if (touched) {
    touched->push_back(kept);
    for (CVertex3d* v : c)
      if (v != kept)
        for (CVertex3d* w : v->m_ArrayVertexNeighbor)
          if (w && !merged(w)) touched->push_back(w);
  }

  // the other corners merge into the kept one; a face or vertex is in a
  // list of kept exactly when kept is in its own, so the lists of kept (a
  // fan may hold hundreds) are searched only when that says it is there
  for (CVertex3d* v : c) {
    if (v == kept) continue;
    for (CFace3d* g : v->m_ArrayFaceNeighbor)
      if (g) {
        const bool had = g->HasVertex(kept);
        g->UpdateVertex(v, kept);
        if (had)
          kept->AddFace(g);
        else
          kept->m_ArrayFaceNeighbor.Add(g);
      }
    std::vector<CVertex3d*> ring(v->m_ArrayVertexNeighbor.begin(), v->m_ArrayVertexNeighbor.end());
    for (CVertex3d* w : ring) {
      if (!w) continue;
      // as w->UpdateNeighbor(v, kept)
      w->RemoveNeighbor(v);
      if (w == kept) continue;
      if (w->AddNeighbor(kept))
        kept->m_ArrayVertexNeighbor.Add(w);
      else
        kept->AddNeighbor(w);
    }
  }

  // the four faces go, then the merged corners
  face->SetNeighbors(nullptr, nullptr, nullptr);
  for (CFace3d* g : n) g->SetNeighbors(nullptr, nullptr, nullptr);
  mesh->RemoveFace(face);
  for (CFace3d* g : n) mesh->RemoveFace(g);
  for (CVertex3d* v : c)
    if (v != kept) mesh->RemoveVertex(v);
}

//////////////////////////////////////////////////////////////////////
// Face-based simplification
//////////////////////////////////////////////////////////////////////

namespace {

class CFaceSimplifier {
public:
  explicit CFaceSimplifier(CMesh3d* mesh) : m_Mesh(mesh) {}
  int Run(int final);

private:
  enum FaceState : char { kQueued, kParked, kDead };
  struct CEntry {
    float cost;
    int id;
    bool operator<(const CEntry& o) const { return cost > o.cost || (cost == o.cost && id > o.id); }
  };

  int FaceIndex(const CFace3d* f) const {
    int i = f ? f->m_Flag : -1;
    return i >= 0 && i < static_cast<int>(m_Face.size()) && m_Face[i] == f ? i : -1;
  }
  int VertexIndex(const CVertex3d* v) const {
    int i = v ? v->m_Flag : -1;
    return i >= 0 && i < static_cast<int>(m_Vertex.size()) && m_Vertex[i] == v ? i : -1;
  }
  void Push(int id) {
    m_State[id] = kQueued;
    m_Heap.push_back({m_Record[id].cost, id});
    std::push_heap(m_Heap.begin(), m_Heap.end());
  }
  // The collapsible face of lowest cost, -1 when none.
  int Take();
  // CVertex3d::IsBoundaryVertex, kept per vertex until the vertex is
  // touched.
  bool OnBoundary(const CVertex3d* v) {
    int i = VertexIndex(v);
    if (i < 0) return v->IsBoundaryVertex() != 0;
    if (m_Boundary[i] < 0) m_Boundary[i] = v->IsBoundaryVertex() ? 1 : 0;
    return m_Boundary[i] == 1;
  }
  void Kill(int i) {
    if (i < 0) return;
    m_State[i] = kDead;
    m_Face[i] = nullptr;
  }
  // v and its one-ring changed: their vertices are visited by the next
  // valence-3 pass and their parked faces queued again after the step.
  void Touch(CVertex3d* v);
  void MarkDirty(int i, int pass);
  int Valence3Pass();
  void Requeue();

  CMesh3d* m_Mesh;
  std::vector<CFace3d*> m_Face;
  std::vector<CVertex3d*> m_Vertex;
  std::vector<CFaceCollapseRecord> m_Record;
  std::vector<char> m_State;
  std::vector<CEntry> m_Heap;
  std::vector<char> m_Dirty;  // visited by the next pass
  std::vector<int> m_Next;    // the vertices marked dirty
  std::vector<int> m_Pass;    // min-heap of the current pass (vertex places)
  int m_PassAt = -1;          // the vertex the pass visits, -1 between passes
  std::vector<int> m_Touched; // vertex places
  std::vector<int> m_Tested;  // step at which a parked face was last tested
  int m_Step = 0;
  std::vector<signed char> m_Boundary; // on the boundary: 1, 0, -1 unknown
  int m_FaceCount = 0;
};

int CFaceSimplifier::Take() {
  while (!m_Heap.empty()) {
    int id = m_Heap.front().id;
    std::pop_heap(m_Heap.begin(), m_Heap.end());
    m_Heap.pop_back();
    if (m_State[id] != kQueued) continue;
    if (Collapsible(m_Face[id], [this](const CVertex3d* v) { return OnBoundary(v); })) {
      m_State[id] = kParked;
      return id;
    }
    m_State[id] = kParked;
  }
  return -1;
}

void CFaceSimplifier::MarkDirty(int i, int pass) {
  // special case: only a vertex of three faces can go; one that gets there
  // later is touched again by the change that brings it there
  if (i < 0 || m_Vertex[i]->NbFace() != 3) return;
  // a vertex after the visited one joins this pass, the others the next
  if (pass && i > m_PassAt) {
    if (m_Dirty[i] != 2) {
      m_Dirty[i] = 2;
      m_Pass.push_back(i);
      std::push_heap(m_Pass.begin(), m_Pass.end(), std::greater<int>());
    }
    return;
  }
  if (m_Dirty[i] == 0) {
    m_Dirty[i] = 1;
    m_Next.push_back(i);
  }
}

void CFaceSimplifier::Touch(CVertex3d* v) {
  int i = VertexIndex(v);
  if (i < 0) return;
  m_Touched.push_back(i);
  m_Boundary[i] = -1;
  int pass = m_PassAt >= 0;
  MarkDirty(i, pass);
  // a neighbour matters only while it has three faces: once its own face
  // list changes, it is touched itself
  for (CVertex3d* w : v->m_ArrayVertexNeighbor)
    if (w && w->NbFace() == 3) MarkDirty(VertexIndex(w), pass);
}

// Removes the removable valence-3 vertices in vertex order, as the
// whole-mesh pass does; returns how many.
int CFaceSimplifier::Valence3Pass() {
  m_Pass.clear();
  for (int i : m_Next)
    if (m_Dirty[i] == 1) {
      m_Dirty[i] = 2;
      m_Pass.push_back(i);
    }
  m_Next.clear();
  std::make_heap(m_Pass.begin(), m_Pass.end(), std::greater<int>());
  int removed = 0;
  while (!m_Pass.empty()) {
    std::pop_heap(m_Pass.begin(), m_Pass.end(), std::greater<int>());
    int i = m_Pass.back();
    m_Pass.pop_back();
    m_Dirty[i] = 0;
    m_PassAt = i;
    CVertex3d* v = m_Vertex[i];
    if (!v || v->NbFace() != 3) continue;
    // the fan's first face stays, the two others go
    int gone[2] = {FaceIndex(v->GetFace(1)), FaceIndex(v->GetFace(2))};
    std::vector<CVertex3d*> ring(v->m_ArrayVertexNeighbor.begin(), v->m_ArrayVertexNeighbor.end());
    if (!m_Mesh->RemoveValence3Vertex(v)) continue;
    removed++;
    m_FaceCount -= 2;
    Kill(gone[0]);
    Kill(gone[1]);
    m_Vertex[i] = nullptr;
    for (CVertex3d* w : ring) Touch(w);
  }
  m_PassAt = -1;
  return removed;
}

// Parked faces near a change may have become collapsible. A face's
// collapsibility reads its corners (their faces, boundary and one-rings),
// its neighbour faces and the vertices opposite it in them (their face
// counts). Every vertex whose faces or one-ring changed was touched, so a
// face can only have changed when a corner of it was touched (a face
// around a touched vertex) or an opposite vertex was (a neighbour of such
// a face). Each such face is tested once, now that the step's changes are
// done, and queued only when it passes: one that fails stays parked until
// a later change reaches it again, so the heap holds every collapsible
// face, as a scan would find them, without taking the fans' faces in and
// out at every step.
void CFaceSimplifier::Requeue() {
  m_Step++;
  auto retest = [this](CFace3d* f) {
    int i = FaceIndex(f);
    if (i < 0 || m_State[i] != kParked || m_Tested[i] == m_Step) return;
    m_Tested[i] = m_Step;
    if (Collapsible(f, [this](const CVertex3d* v) { return OnBoundary(v); })) Push(i);
  };
  for (int i : m_Touched) {
    CVertex3d* v = m_Vertex[i];
    if (!v) continue;
    for (CFace3d* f : v->m_ArrayFaceNeighbor) {
      if (!f) continue;
      retest(f);
      for (int k = 0; k < 3; k++) retest(f->f(k));
    }
  }
  m_Touched.clear();
}

int CFaceSimplifier::Run(int final) {
  // Phase 1: a record per face, every vertex due for the first pass
  int nf = m_Mesh->NbFace(), nv = m_Mesh->NbVertex();
  m_Face.assign(m_Mesh->m_ArrayFace.begin(), m_Mesh->m_ArrayFace.end());
  m_Vertex.assign(m_Mesh->m_ArrayVertex.begin(), m_Mesh->m_ArrayVertex.end());
  for (int i = 0; i < nf; i++)
    if (m_Face[i]) m_Face[i]->m_Flag = i;
  for (int i = 0; i < nv; i++)
    if (m_Vertex[i]) m_Vertex[i]->m_Flag = i;
  m_Record.resize(static_cast<size_t>(nf));
  m_State.assign(static_cast<size_t>(nf), kParked);
  m_Tested.assign(static_cast<size_t>(nf), 0);
  m_Heap.reserve(static_cast<size_t>(nf));
  for (int i = 0; i < nf; i++) {
    ReportLoopProgress(i, nf, "Face records");
    m_Record[i] = FaceCollapseRecord(m_Face[i]);
    if (m_Face[i] && m_Record[i].cost < kNoFace) {
      m_State[i] = kQueued;
      m_Heap.push_back({m_Record[i].cost, i});
    }
  }
  std::make_heap(m_Heap.begin(), m_Heap.end());
  m_Dirty.assign(static_cast<size_t>(nv), 1);
  m_Boundary.assign(static_cast<size_t>(nv), -1);
  for (int i = 0; i < nv; i++) m_Next.push_back(i);
  m_FaceCount = nf;

  // Phase 2: collapse, then remove valence-3 vertices, until the target
  int collapsed = 0;
  int wanted = std::max(1, nf - final);
  while (m_FaceCount > final) {
    if ((collapsed & 0x3ff) == 0) ReportProgress(double(nf - m_FaceCount) / wanted, "Collapsing");
    int id = Take();
    if (id >= 0) {
      CFace3d* face = m_Face[id];
      int gone[4] = {id, FaceIndex(face->f(0)), FaceIndex(face->f(1)), FaceIndex(face->f(2))};
      int merged[3];
      for (int k = 0; k < 3; k++)
        merged[k] = k == m_Record[id].corner ? -1 : VertexIndex(face->v(k));
      std::vector<CVertex3d*> touched;
      CollapseFace(m_Mesh, face, m_Record[id].corner, &touched);
      for (int g : gone) Kill(g);
      for (int k : merged)
        if (k >= 0) m_Vertex[k] = nullptr;
      for (CVertex3d* v : touched) Touch(v);
      m_FaceCount -= 4;
      collapsed++;
    }
    Valence3Pass();
    if (id < 0) break;
    Requeue();
  }
  return collapsed;
}

} // namespace

int FaceBasedSimplification(CMesh3d* mesh, int final, const CSimplificationHooks&) {
  if (!mesh) return -1;
  mesh->Rebuild();
  if (final >= mesh->NbFace()) return -1;
  int collapsed = 0;
  {
    CFaceSimplifier simplifier(mesh);
    collapsed = simplifier.Run(final);
  }
  mesh->SetFlagOnVertices(0);
  mesh->SetFlagOnFaces(0);
  mesh->Rebuild();
  return collapsed;
}

//////////////////////////////////////////////////////////////////////
// Independent set and the multiple face-collapse routine
//////////////////////////////////////////////////////////////////////

// While the flood runs, a visited face carries this bit in its flag.
constexpr int kVisitedBit = 256;

static int State(const CFace3d* f) {
  return f ? f->m_Flag & (kVisitedBit - 1) : 0;
}

// Selectable: not selected or blocked, no selected (or flag 3) face around
// its corners, no neighbour that could still be selected touching a
// selected or blocked face, and the face can collapse.
static bool IsSelectable(CFace3d* face) {
  int s = State(face);
  if (s == 1 || s == 2 || s == 3) return false;
  for (int k = 0; k < 3; k++)
    for (CFace3d* g : face->v(k)->m_ArrayFaceNeighbor) {
      int t = State(g);
      if (g && (t == 1 || t == 3)) return false;
    }
  for (int k = 0; k < 3; k++) {
    CFace3d* g = face->f(k);
    if (!g || State(g) == 1 || State(g) == 2) continue;
    for (int m = 0; m < 3; m++) {
      int t = g->f(m) ? State(g->f(m)) : 0;
      if (t == 1 || t == 2) return false;
    }
  }
  return IsFaceCollapsible(face);
}

static void SetState(CFace3d* f, int state) {
  f->m_Flag = (f->m_Flag & kVisitedBit) | state;
}

static void Select(CFace3d* face, int visualDebugging) {
  SetState(face, 1);
  if (visualDebugging) face->m_Color = kSelectedColor;
  for (int k = 0; k < 3; k++) {
    CFace3d* g = face->f(k);
    if (!g) continue;
    SetState(g, 2);
    if (visualDebugging) g->m_Color = kNeighborColor;
  }
  for (int k = 0; k < 3; k++)
    for (CFace3d* g : face->v(k)->m_ArrayFaceNeighbor) {
      if (!g || g == face || State(g) == 2) continue;
      SetState(g, 0);
      if (visualDebugging) g->m_Color = kResetColor;
    }
}

namespace {
// A face of the flood and where its walk over the neighbours of the faces
// around its corners stands.
struct CFloodFrame {
  CFace3d* face;
  int corner, around, side;
};
} // namespace

std::vector<CFace3d*> SelectIndependentFaces(CMesh3d* mesh, int visualDebugging) {
  std::vector<CFace3d*> selected;
  if (!mesh || mesh->NbFace() == 0) return selected;
  std::vector<CFloodFrame> stack;
  auto visit = [&](CFace3d* f) {
    if (!f || (f->m_Flag & kVisitedBit)) return;
    f->m_Flag |= kVisitedBit;
    if (IsSelectable(f)) {
      Select(f, visualDebugging);
      selected.push_back(f);
    }
    stack.push_back({f, 0, 0, 0});
  };

  // depth first from face 0: each face's children are the neighbours of the
  // faces around its corners, in corner, face and side order
  visit(mesh->GetFace(0));
  long long steps = 0;
  while (!stack.empty()) {
    ReportLoopProgress(steps++, 3LL * mesh->NbFace(), "Selecting");
    CFloodFrame& top = stack.back();
    if (top.corner >= 3) {
      stack.pop_back();
      continue;
    }
    CVertex3d* c = top.face->v(top.corner);
    if (!c || top.around >= c->NbFace()) {
      top.corner++;
      top.around = 0;
      top.side = 0;
      continue;
    }
    CFace3d* g = c->GetFace(top.around);
    CFace3d* child = g ? g->f(top.side) : nullptr;
    if (++top.side == 3) {
      top.side = 0;
      top.around++;
    }
    visit(child);
  }
  for (CFace3d* f : mesh->m_ArrayFace)
    if (f) f->m_Flag &= ~kVisitedBit;
  return selected;
}

// The corners of the selected faces glide to their targets in `steps`
// redraws, ten a second at most.
static void Geomorph(const std::vector<CFace3d*>& faces, const std::vector<int>& corners, int steps,
                     const CSimplificationHooks& hooks) {
  if (!hooks.redraw || steps <= 0) return;
  struct CGlide {
    CVertex3d* v;
    CVector3d from, to;
  };
  std::vector<CGlide> glides;
  for (size_t i = 0; i < faces.size(); i++) {
    CVertex3d* target = faces[i]->v(corners[i]);
    for (int k = 0; k < 3; k++)
      if (k != corners[i])
        glides.push_back({faces[i]->v(k), faces[i]->v(k)->Position(), target->Position()});
  }
  for (int s = 1; s <= steps; s++) {
    double t = double(s) / steps;
    for (CGlide& g : glides) g.v->Set(g.from + (g.to - g.from) * t);
    hooks.redraw();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
}

CMesh3d* MultipleFaceCollapse(CSceneGraph3d* scene, CMesh3d* mesh, int visualDebugging,
                              int geomorphSteps, const CSimplificationHooks& hooks) {
  if (!mesh) return nullptr;
  // Phase 1: select the independent set
  mesh->Rebuild();
  mesh->SetFlagOnFaces(0);
  mesh->SetFlagOnVertices(0);
  SelectIndependentFaces(mesh, visualDebugging);
  if (visualDebugging) {
    mesh->SetModified();
    CRedrawThrottle(hooks).Redraw(true);
  }

  // Phase 2: with the geomorph, the copy appended to the scene collapses
  CMesh3d* target = mesh;
  if (geomorphSteps >= 0 && scene) {
    target = mesh->Clone();
    scene->Add(target);
  }
  std::vector<CFace3d*> faces;
  std::vector<int> corners;
  for (CFace3d* f : target->m_ArrayFace)
    if (f && (f->m_Flag & (kVisitedBit - 1)) == 1) {
      faces.push_back(f);
      corners.push_back(FaceCollapseRecord(f).corner);
    }
  bool glided = geomorphSteps > 0 && hooks.redraw;
  if (glided) Geomorph(faces, corners, geomorphSteps, hooks);

  // Phase 3: each selected face in face order, its record recomputed
  // (after a glide the corners sit on their targets: the record stands)
  for (size_t i = 0; i < faces.size(); i++) {
    ReportLoopProgress(static_cast<long long>(i), static_cast<long long>(faces.size()),
                       "Collapsing");
    CFace3d* f = faces[i];
    if (!IsFaceCollapsible(f)) continue;
    CollapseFace(target, f, glided ? corners[i] : FaceCollapseRecord(f).corner, nullptr);
  }
  target->DeleteDegenerateFaces();
  target->Rebuild();
  target->SetFlagOnFaces(0);
  return target;
}
