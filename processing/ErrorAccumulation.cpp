// Simplification by error accumulation: every ordered edge is a candidate
// collapse whose cost is the change of area of the faces that move; a
// vertex accumulates the error of the collapses it absorbs, and the next
// candidate is the one whose kept vertex's accumulated error plus its own
// cost is lowest.
//
// A candidate's key (accumulated error of its kept vertex plus its cost) is
// fixed from its creation: the accumulated error of a vertex only changes
// when it keeps a collapse, and then every candidate it takes part in is
// replaced. So candidates sit in a min-heap on (key, creation order) and
// leave it when they become inactive, which yields the candidate a scan of
// the list in creation order would pick.

#include <algorithm>
#include <cmath>

#include "geometry/Mesh3d.h"
#include "geometry/Progress.h"
#include "processing/Simplification.h"
#include "processing/SimplificationHeap.h"
#include "processing/VertexPlaces.h"
#include "processing/VertexRecords.h"

// The search for the lowest key starts here: keys above are never taken.
constexpr double kNoKey = 1e38;

// At most this many moved faces are measured (a vertex of higher valence
// is left as it is beyond them).
constexpr int kMaxMovedFaces = 256;

// The cost of collapsing removed into kept. The faces of removed that hold
// kept (the edge's faces) are not measured; the first two go to edgeFaces
// when it is given. areas, when given, holds the area of each face of
// removed, in its list's order (the simplifier measures a kept vertex's
// faces once for all its new candidates).
static double CollapseCost(CVertex3d* kept, CVertex3d* removed, CFace3d** edgeFaces,
                           const double* areas) {
  // the faces of removed that move: all but the ones on the edge, measured
  // before and with removed replaced by kept (the faces themselves are left
  // untouched: the moved corners are only read)
  CVector3d normal[kMaxMovedFaces];
  int n = 0, found = 0;
  double before = 0.0, after = 0.0;
  const int faces = removed->NbFace();
  for (int i = 0; i < faces; i++) {
    CFace3d* f = removed->GetFace(i);
    if (!f) continue;
    if (f->HasVertex(kept)) {
      if (edgeFaces && found < 2) edgeFaces[found++] = f;
      continue;
    }
    if (n == kMaxMovedFaces) continue;
    before += areas ? areas[i] : f->Area();
    CVertex3d* c[3] = {f->v(0), f->v(1), f->v(2)};
    for (CVertex3d*& v : c)
      if (v == removed) v = kept;
    // special case: a moved face with a missing corner measures nothing
    if (!c[0] || !c[1] || !c[2]) {
      normal[n++] = CVector3d();
      continue;
    }
    after += Area(c[0], c[1], c[2]);
    normal[n++] = TriangleNormal(c[0], c[1], c[2]);
  }
  // two normals more than pi/2 apart (NormalAngle above 1.570796326795): with
  // both non-zero, exactly when their dot product is negative
  bool folded = false;
  for (int i = 0; i < n && !folded; i++) {
    if (normal[i].LengthSquared() == 0.0) continue;
    for (int j = i + 1; j < n && !folded; j++)
      folded = normal[j].LengthSquared() != 0.0 && normal[i] * normal[j] < 0.0;
  }
  double change = std::fabs(after - before);
  return folded ? 2.0 * change : change;
}

double AccumulationCost(CVertex3d* kept, CVertex3d* removed) {
  return CollapseCost(kept, removed, nullptr, nullptr);
}

namespace {

struct CCandidate {
  CRecordLinks links; // kept, then removed (places in the vertex array)
  unsigned long long made = 0;
  CFace3d* faces[2] = {nullptr, nullptr}; // the faces on the edge (null when missing)
  double cost = 0.0;
  int Kept() const { return links.end[0]; }
  int Removed() const { return links.end[1]; }
};

class CAccumulator {
public:
  CAccumulator(CMesh3d* mesh, int visualDebugging, const CSimplificationHooks& hooks)
      : m_Mesh(mesh), m_Visual(visualDebugging), m_Throttle(hooks) {}
  int Run(int final);

private:
  // Candidate "kept absorbs removed" with its cost, queued when its key is
  // below the search start.
  // areas: those of removed's faces, or null.
  void Add(int kept, int removed, const double* areas = nullptr) {
    const int id = m_Cand.Add(kept, removed);
    CCandidate& c = m_Cand[id];
    c.cost = CollapseCost(m_Vertex[kept], m_Vertex[removed], c.faces, areas);
    m_Pending.push_back(id);
  }
  // Queues the candidates added since the last call, with the accumulated
  // errors as they now stand.
  void QueuePending() {
    for (int id : m_Pending) {
      double key = static_cast<double>(m_Error[m_Cand[id].Kept()]) + m_Cand[id].cost;
      if (key < kNoKey) m_Heap.Set(id, key);
    }
    m_Pending.clear();
  }
  // The candidate leaves its lists and the heap.
  void Deactivate(int id) {
    if (!m_Cand.Alive(id)) return;
    m_Cand.Remove(id);
    m_Heap.Remove(id);
  }
  void DeactivateAll(int v) {
    m_Cand.ForEach(v, [this](int id) { Deactivate(id); });
  }
  void DeactivateNaming(int v, const CFace3d* a, const CFace3d* b) {
    m_Cand.ForEach(v, [this, a, b](int id) {
      for (const CFace3d* f : m_Cand[id].faces)
        if (f && (f == a || f == b)) {
          Deactivate(id);
          return;
        }
    });
  }
  void Build();
  int TryValence3(CCandidate& c, int& removedVertex);
  void Collapse(int id);

  CMesh3d* m_Mesh;
  int m_Visual;
  CRedrawThrottle m_Throttle;
  CVertexPlaces m_Vertex;
  std::vector<float> m_Error;        // accumulated error per vertex
  CVertexRecords<CCandidate> m_Cand; // the active candidates
  std::vector<int> m_Pending;
  std::vector<double> m_Areas; // areas of the kept vertex's faces
  std::vector<int> m_Ring;     // the kept vertex's ring
  // the active queued candidates, ties to the one made first
  CKeyedHeap<double, CMadeFirst<CCandidate>> m_Heap{CMadeFirst<CCandidate>{&m_Cand}};
  int m_Count = 0;
};

// Phase 2: one candidate per ordered edge, vertex by vertex.
void CAccumulator::Build() {
  int nv = m_Mesh->NbVertex();
  m_Vertex.Assign(*m_Mesh);
  m_Error.assign(static_cast<size_t>(nv), 0.0f);
  m_Mesh->SetFlagOnFaces(0);
  // room for the candidates active at once: two per edge at the start,
  // fewer as collapses take more than they add
  m_Cand.Reset(nv, 6 * static_cast<size_t>(nv) + 16);
  for (int i = 0; i < nv; i++) {
    ReportLoopProgress(i, nv, "Candidates");
    CVertex3d* v = m_Vertex[i];
    if (!v) continue;
    for (CVertex3d* n : v->m_ArrayVertexNeighbor) {
      int j = m_Vertex.IndexOf(n);
      if (j >= 0 && j != i) Add(i, j);
    }
  }
  m_Heap.Reserve(m_Pending.size(), m_Cand.SlotCapacity());
  QueuePending();
  m_Count = nv;
}

// Special case of a collapse: a third corner of the edge's faces that has
// at most three faces inside the surface goes instead. Returns 1 when one
// was found (removedVertex says whether it went), 0 to collapse the edge.
int CAccumulator::TryValence3(CCandidate& c, int& removedVertex) {
  removedVertex = 0;
  for (CFace3d* f : c.faces) {
    if (!f) continue;
    CVertex3d* t = f->OtherVertex(m_Vertex[c.Kept()], m_Vertex[c.Removed()]);
    if (!t || t->NbFace() > 3 || t->IsBoundaryVertex()) continue;
    int ti = m_Vertex.IndexOf(t);
    CFace3d* gone[2] = {t->NbFace() > 1 ? t->GetFace(1) : nullptr,
                        t->NbFace() > 2 ? t->GetFace(2) : nullptr};
    std::vector<CVertex3d*> ring(t->m_ArrayVertexNeighbor.begin(), t->m_ArrayVertexNeighbor.end());
    if (ti < 0 || !m_Mesh->RemoveValence3Vertex(t)) return 1;
    // the vertex and its two merged faces are gone from every candidate
    DeactivateAll(ti);
    m_Vertex.Forget(ti);
    for (CVertex3d* n : ring) {
      int ni = m_Vertex.IndexOf(n);
      if (ni >= 0) DeactivateNaming(ni, gone[0], gone[1]);
    }
    removedVertex = 1;
    return 1;
  }
  return 0;
}

// Phase 3, one step: the candidate's edge collapses (or a valence-3 vertex
// beside it goes).
void CAccumulator::Collapse(int id) {
  CCandidate& c = m_Cand[id];
  int removedVertex = 0;
  if (TryValence3(c, removedVertex)) {
    if (!removedVertex) {
      Deactivate(id);
    } else {
      m_Count--;
      // the candidate stays in the list with its key
      if (m_Cand.Alive(id))
        m_Heap.Set(id, static_cast<double>(m_Error[m_Cand[id].Kept()]) + m_Cand[id].cost);
    }
    return;
  }
  int k = c.Kept(), r = c.Removed();
  CVertex3d *kept = m_Vertex[k], *removed = m_Vertex[r];
  double cost = c.cost;
  if (!m_Mesh->CollapseEdge(kept, removed, kept->Position(), nullptr, 1)) {
    Deactivate(id);
    return;
  }
  m_Count--;
  DeactivateAll(r);
  DeactivateAll(k);
  m_Vertex.Forget(r);

  // the kept vertex's candidates again, then its accumulated error
  std::vector<int>& ring = m_Ring;
  m_Vertex.Ring(kept, k, ring);
  // the kept vertex's faces are measured once for the ring's candidates
  // that would remove it
  m_Areas.clear();
  for (const CFace3d* f : kept->m_ArrayFaceNeighbor) m_Areas.push_back(f ? f->Area() : 0.0);
  for (int j : ring) {
    Add(k, j);
    Add(j, k, m_Areas.data());
  }
  m_Error[k] = AccumulatedError(m_Error[k], cost, m_Error[r]);
  QueuePending();
}

int CAccumulator::Run(int final) {
  Build();
  int start = m_Count;
  int wanted = std::max(1, start - final);
  for (long long step = 0; m_Count > final; step++) {
    if ((step & 0x3fff) == 0) ReportProgress(double(start - m_Count) / wanted, "Collapsing");
    // the active candidate of lowest key
    if (m_Heap.Empty()) break;
    int id = m_Heap.Pop();
    int before = m_Count;
    Collapse(id);
    if (m_Visual && m_Count < before) m_Throttle.Redraw();
  }
  return start - m_Count;
}

} // namespace

int ErrorAccumulation(CMesh3d* mesh, int final, int visualDebugging,
                      const CSimplificationHooks& hooks) {
  if (!mesh) return -1;
  // Phase 1: a clean mesh, and a target below its size
  mesh->Rebuild();
  if (final >= mesh->NbVertex()) return -1;

  int removed = 0;
  {
    CAccumulator accumulator(mesh, visualDebugging, hooks);
    removed = accumulator.Run(final);
  }
  // Phase 4: flags cleared as the candidates left them, mesh rebuilt
  mesh->SetFlagOnVertices(0);
  mesh->SetFlagOnFaces(0);
  mesh->Rebuild();
  return removed;
}
