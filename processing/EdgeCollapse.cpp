// Edge collapses: the random collapse, the pass of independent collapses and
// edge-based simplification driven by edge length or curveness.
//
// Edge-based simplification keeps its edge records in the order they were
// made (the list order; new records come last) and finds the next record
// through an indexed heap keyed by (cost, order made), which yields the
// record a scan of the list picks: the first of the lowest costs.
// "Combination" takes the shortest record of the lowest curveness level
// that holds any, so its heap is keyed by (level, squared length, order
// made). Each vertex's records are threaded into a list (VertexRecords.h),
// so the records of a vertex are found without a scan.

#include <algorithm>
#include <cmath>

#include "geometry/Mesh3d.h"
#include "geometry/Progress.h"
#include "io/WriteVrml.h"
#include "processing/Simplification.h"
#include "processing/SimplificationHeap.h"
#include "processing/VertexPlaces.h"
#include "processing/VertexRecords.h"

void CRedrawThrottle::Redraw(bool force) {
  if (!m_Hooks.redraw) return;
  auto now = std::chrono::steady_clock::now();
  if (!force && now - m_Last < std::chrono::milliseconds(100)) return;
  m_Last = now;
  m_Hooks.redraw();
}

//////////////////////////////////////////////////////////////////////
// Random and independent collapses
//////////////////////////////////////////////////////////////////////

int RandomIndex(int r, int n) {
  // the single-precision 1/32767 keeps r = 32767 below n
  constexpr float kInverse = 1.0f / 32767.0f;
  long long i = static_cast<long long>(static_cast<double>(r) * n * static_cast<double>(kInverse));
  return static_cast<int>(std::min<long long>(std::max<long long>(i, 0), n - 1));
}

int RandomEdgeCollapse(CMesh3d* mesh, CRandom15& random) {
  // special case: nothing to draw from
  if (!mesh || mesh->NbVertex() == 0) return 0;
  CVertex3d* v = mesh->GetVertex(RandomIndex(random.Next(), mesh->NbVertex()));
  if (!v || v->NbNeighbor() == 0) return 0;
  CVertex3d* n = v->GetNeighbor(RandomIndex(random.Next(), v->NbNeighbor()));
  if (!n) return 0;
  CVector3d middle = (v->Position() + n->Position()) * 0.5;
  return mesh->CollapseEdge(v, n, middle, nullptr, 1);
}

int IndependentEdgeCollapses(CMesh3d* mesh) {
  if (!mesh) return 0;
  // record edges in face order; each blocks every face around its two ends
  mesh->SetFlagOnFaces(0);
  std::vector<std::pair<CVertex3d*, CVertex3d*>> edges;
  for (CFace3d* f : mesh->m_ArrayFace) {
    if (!f || f->m_Flag == 1) continue;
    for (int k = 0; k < 3; k++) {
      CFace3d* g = f->f(k);
      CVertex3d *a = f->v(k), *b = f->v((k + 1) % 3);
      if (!g || g->m_Flag == 1 || !a || !b) continue;
      edges.emplace_back(a, b);
      for (CVertex3d* end : {a, b})
        for (CFace3d* h : end->m_ArrayFaceNeighbor)
          if (h) h->m_Flag = 1;
    }
  }

  // collapse them in order, second into first at the midpoint
  int collapsed = 0;
  for (auto& edge : edges) {
    CVector3d middle = (edge.first->Position() + edge.second->Position()) * 0.5;
    collapsed += mesh->CollapseEdge(edge.first, edge.second, middle, nullptr, 1);
  }
  mesh->SetFlagOnFaces(0);
  mesh->Rebuild();
  return collapsed;
}

//////////////////////////////////////////////////////////////////////
// Edge-based simplification
//////////////////////////////////////////////////////////////////////

double EdgeCurveness(const CVertex3d* a, const CVertex3d* b) {
  return (a->MaxNormalSine() + b->MaxNormalSine()) / 2.0;
}

// The end with more sharp edges stays put, else the midpoint;
// sharpCount(v, threshold) counts a vertex's sharp edges.
template <class SharpCount>
static CVector3d CollapsePosition(const CVertex3d* first, const CVertex3d* second,
                                  const CEdgeBasedParams& params, SharpCount sharpCount) {
  if (params.OptimizedPosition) {
    int a = sharpCount(first, params.SharpEdge), b = sharpCount(second, params.SharpEdge);
    if (a > b) return first->Position();
    if (b > a) return second->Position();
  }
  return (first->Position() + second->Position()) * 0.5;
}

CVector3d EdgeCollapsePosition(const CVertex3d* first, const CVertex3d* second,
                               const CEdgeBasedParams& params) {
  return CollapsePosition(first, second, params, [](const CVertex3d* v, double threshold) {
    return v->SharpCount(threshold);
  });
}

// More levels than this (a tiny step) would only cost memory: the last one
// then reaches up to 1 at once.
constexpr std::size_t kMaxCurvenessLevels = std::size_t(1) << 22;

std::vector<double> CurvenessLevels(double init, double step) {
  std::vector<double> levels;
  double a = init;
  while (a <= 1.0) {
    levels.push_back(a);
    // special cases: no retry, a step too small to move a, too many levels
    if (!(step > 0.0) || a + step == a) break;
    if (levels.size() + 1 >= kMaxCurvenessLevels) {
      levels.push_back(1.0);
      break;
    }
    a += step;
  }
  return levels;
}

// The normal sines of a vertex's neighbouring face pairs from the normals
// its faces hold (the same values as CVertex3d::MaxNormalSine and
// SharpCount, which compute both normals of every pair): the simplifier
// computes each face normal once and again only for the faces a collapse
// changed, which are the faces of the kept vertex. Each normal's length is
// taken once per face instead of once per pair.
template <class Fn> static void ForStoredNormalSines(const CVertex3d* v, Fn fn) {
  constexpr int kLocal = 32;
  const int n = v->NbFace();
  double local[kLocal];
  std::vector<double> many;
  double* length = local;
  if (n > kLocal) {
    many.resize(static_cast<size_t>(n));
    length = many.data();
  }
  for (int i = 0; i < n; i++) {
    const CFace3d* f = v->GetFace(i);
    length[i] = f ? f->m_Normal.Length() : 0.0;
  }
  for (int i = 0; i < n; i++) {
    CFace3d* f = v->GetFace(i);
    if (!f) continue;
    for (int j = i + 1; j < n; j++) {
      CFace3d* g = v->GetFace(j);
      if (!g || g == f || !(f->HasNeighbor(g) || g->HasNeighbor(f))) continue;
      const double la = length[i], lb = length[j];
      fn(la == 0.0 || lb == 0.0 ? 0.0 : (f->m_Normal ^ g->m_Normal).Length() / (la * lb));
    }
  }
}

static double MaxNormalSineStored(const CVertex3d* v) {
  double best = 0.0;
  if (v->NbFace() >= 2)
    ForStoredNormalSines(v, [&best](double s) {
      if (s > best) best = s;
    });
  return best;
}

// CVertex3d::SharpCount from the stored normals, for a vertex whose
// boundary test is already known.
static int SharpCountStored(const CVertex3d* v, double threshold, bool boundary) {
  if (boundary) return 3;
  const int nf = v->NbFace();
  // special cases: no pair of faces
  if (nf == 0) return 0;
  if (nf == 1) return 2;
  int count = 0;
  ForStoredNormalSines(v, [&](double s) { count += s >= threshold; });
  return count;
}

static void CalculateFaceNormals(const CVertex3d* v) {
  for (int i = 0; i < v->NbFace(); i++)
    if (CFace3d* f = v->GetFace(i)) f->CalculateNormal();
}

namespace {

struct CEdgeRecord {
  CRecordLinks links; // the first and second vertex (places in the vertex array)
  unsigned long long made = 0;
  double sqlen = 0.0;
  double curv = 0.0;
  int level = -1; // curveness level of "Combination", -1 above every level
};

// The key a record is taken by with "Combination": (level, squared length).
struct CEdgeKey {
  double primary, secondary;
  bool operator<(const CEdgeKey& o) const {
    return primary < o.primary || (primary == o.primary && secondary < o.secondary);
  }
};

// Without "Combination" the key is the cost alone: a plain double keeps the
// heap's entries at 16 bytes, four children to a cache line.
template <class Key> Key EdgeKey(const CEdgeRecord& r, const CEdgeBasedParams& params);
template <> double EdgeKey<double>(const CEdgeRecord& r, const CEdgeBasedParams& params) {
  return params.Curveness ? r.curv : r.sqlen;
}
template <> CEdgeKey EdgeKey<CEdgeKey>(const CEdgeRecord& r, const CEdgeBasedParams&) {
  return {double(r.level), r.sqlen};
}

template <class Key> class CEdgeSimplifier {
public:
  CEdgeSimplifier(CMesh3d* mesh, const CEdgeBasedParams& params, CTextOutput* save,
                  const CSimplificationHooks& hooks)
      : m_Mesh(mesh), m_Params(params), m_Save(save), m_Throttle(hooks),
        m_Levels(params.Combination ? CurvenessLevels(params.AlphaInit, params.AlphaStep)
                                    : std::vector<double>()) {}

  int Run();

private:
  Key KeyOf(int id) const { return EdgeKey<Key>(m_Rec[id], m_Params); }
  bool Queued(const CEdgeRecord& r) const { return !m_Params.Combination || r.level >= 0; }
  // Queues a live record under its key, or takes it out when it is above
  // every curveness level. A key that rises stays low in the heap until it
  // reaches the top (CKeyedHeap::Lower; Take sets it then).
  void Queue(int id) {
    if (Queued(m_Rec[id]))
      m_Heap.Lower(id, KeyOf(id));
    else
      m_Heap.Remove(id);
  }

  // Evaluates the record; true when its key changed.
  bool Evaluate(CEdgeRecord& r) {
    double sqlen = r.sqlen, curv = r.curv;
    int level = r.level;
    const int a = r.links.end[0], b = r.links.end[1];
    if (m_NeedLength) r.sqlen = DistanceSquared(m_Vertex[a], m_Vertex[b]);
    if (m_NeedCurveness) r.curv = (m_Curv[a] + m_Curv[b]) / 2.0;
    r.level = -1;
    if (!m_Levels.empty()) {
      auto it = std::lower_bound(m_Levels.begin(), m_Levels.end(), r.curv);
      if (it != m_Levels.end()) r.level = static_cast<int>(it - m_Levels.begin());
    }
    return r.sqlen != sqlen || r.curv != curv || r.level != level;
  }
  // A record leaves its lists and the heap at once: removing it from its
  // place is cheaper than sifting it down from the top when it would come
  // out.
  void Kill(int id) {
    if (!m_Rec.Alive(id)) return;
    m_Rec.Remove(id);
    m_Heap.Remove(id);
  }

  void Build();
  // The record taken out of the list, with its ends; -1 when none is taken.
  int Take(int& a, int& b);
  void AfterCollapse(int first, int second);

  CMesh3d* m_Mesh;
  const CEdgeBasedParams& m_Params;
  CTextOutput* m_Save;
  CRedrawThrottle m_Throttle;
  std::vector<double> m_Levels;
  // what the key is made of: curveness alone leaves lengths unused, length
  // alone the maximum normal sines
  const bool m_NeedLength = m_Params.Combination || !m_Params.Curveness;
  const bool m_NeedCurveness = m_Params.Combination || m_Params.Curveness;
  CVertexPlaces m_Vertex;
  std::vector<double> m_Curv; // maximum normal sine per vertex
  // scratch of each collapse: the kept vertex's ring, and which of its
  // vertices changed curveness
  std::vector<int> m_Ring;
  std::vector<char> m_Changed;
  CVertexRecords<CEdgeRecord> m_Rec;
  CKeyedHeap<Key, CMadeFirst<CEdgeRecord>> m_Heap{CMadeFirst<CEdgeRecord>{&m_Rec}};
};

// Phase 1: one record per edge, from its first-visited end, in vertex and
// neighbour order; every vertex flag holds its place meanwhile.
template <class Key> void CEdgeSimplifier<Key>::Build() {
  int nv = m_Mesh->NbVertex();
  m_Vertex.Assign(*m_Mesh);
  m_Curv.assign(static_cast<size_t>(nv), 0.0);
  for (CFace3d* f : m_Mesh->m_ArrayFace)
    if (f) f->CalculateNormal();
  for (int i = 0; i < nv; i++) {
    ReportLoopProgress(i, nv, "Edge records");
    if (m_Vertex[i] && m_NeedCurveness) m_Curv[i] = MaxNormalSineStored(m_Vertex[i]);
  }
  // room for the records alive at once: about three per vertex at the
  // start, fewer as collapses take more than they add
  m_Rec.Reset(nv, 3 * static_cast<size_t>(nv) + 16);
  for (int i = 0; i < nv; i++) {
    CVertex3d* v = m_Vertex[i];
    if (!v) continue;
    for (CVertex3d* n : v->m_ArrayVertexNeighbor) {
      int j = m_Vertex.IndexOf(n);
      if (j > i) m_Rec.Add(i, j);
    }
  }
  const int records = static_cast<int>(m_Rec.Slots());
  m_Heap.Reserve(m_Rec.Slots(), m_Rec.SlotCapacity());
  for (int id = 0; id < records; id++) {
    Evaluate(m_Rec[id]);
    if (Queued(m_Rec[id])) m_Heap.Append(id, KeyOf(id));
  }
  m_Heap.Heapify();
}

template <class Key> int CEdgeSimplifier<Key>::Take(int& a, int& b) {
  // keys that rose since they were queued go to their places first
  m_Heap.SettleTop([this](int id) { return KeyOf(id); });
  if (m_Heap.Empty()) return -1;
  int id = m_Heap.Top();
  a = m_Rec.End(id, 0);
  b = m_Rec.End(id, 1);
  Kill(id);
  return id;
}

// The records of both ends go; the kept vertex gets one record per
// neighbour; the records around it are evaluated again.
template <class Key> void CEdgeSimplifier<Key>::AfterCollapse(int first, int second) {
  for (int v : {first, second}) m_Rec.ForEach(v, [this](int id) { Kill(id); });
  m_Vertex.Forget(second);

  // the maximum normal sines that may have changed
  CVertex3d* p = m_Vertex[first];
  std::vector<int>& ring = m_Ring;
  m_Vertex.Ring(p, -1, ring);
  CalculateFaceNormals(p);
  std::vector<char>& changed = m_Changed;
  changed.assign(ring.size(), 0);
  if (m_NeedCurveness) {
    m_Curv[first] = MaxNormalSineStored(p);
    for (size_t k = 0; k < ring.size(); k++) {
      double curv = MaxNormalSineStored(m_Vertex[ring[k]]);
      changed[k] = curv != m_Curv[ring[k]];
      m_Curv[ring[k]] = curv;
    }
  }

  for (int j : ring) {
    int id = m_Rec.Add(first, j);
    Evaluate(m_Rec[id]);
    Queue(id);
  }
  // Evaluating the records of the neighbours again changes only those
  // whose curveness changed (no other vertex moved, and the new records
  // were just evaluated), so the others are not visited.
  for (size_t k = 0; k < ring.size(); k++)
    if (changed[k])
      m_Rec.ForEach(ring[k], [this](int id) {
        if (Evaluate(m_Rec[id])) Queue(id);
      });
}

template <class Key> int CEdgeSimplifier<Key>::Run() {
  Build();
  int count = m_Vertex.Size();
  int start = count, collapsed = 0;
  int wanted = std::max(1, start - m_Params.Final);

  // Phase 2: take records until the target or the end of the list
  for (long long counter = 0; count > m_Params.Final && m_Rec.Live() > 0; counter++) {
    if ((counter & 0x3fff) == 0) ReportProgress(double(start - count) / wanted, "Collapsing");
    int a = -1, b = -1;
    // "Combination" that finds no level ends the loop
    if (Take(a, b) < 0) break;
    CVertex3d *first = m_Vertex[a], *second = m_Vertex[b];
    const bool onBoundary[2] = {first->IsBoundaryVertex() != 0, second->IsBoundaryVertex() != 0};
    if (m_Params.CollapseBoundaries || !(onBoundary[0] || onBoundary[1])) {
      CVector3d position =
          CollapsePosition(first, second, m_Params, [&](const CVertex3d* v, double threshold) {
            return SharpCountStored(v, threshold, onBoundary[v == first ? 0 : 1]);
          });
      if (m_Mesh->CollapseEdge(first, second, position, nullptr, 1)) {
        AfterCollapse(a, b);
        count--;
        collapsed++;
      }
    }
    if (m_Params.Update && m_Params.UpdateFrequency > 0 && counter % m_Params.UpdateFrequency == 0)
      m_Throttle.Redraw();
    if (m_Save && m_Params.SaveFrequency > 0 && counter % m_Params.SaveFrequency == 0)
      WriteVRML(m_Mesh, *m_Save);
  }

  // Phase 3: flags as the record pass leaves them, adjacency and normals
  for (CVertex3d* v : m_Mesh->m_ArrayVertex)
    if (v) v->m_Flag = 1;
  m_Mesh->Rebuild();
  if (m_Save && m_Params.SaveFrequency <= 0) WriteVRML(m_Mesh, *m_Save);
  return collapsed;
}

} // namespace

int EdgeBasedSimplification(CMesh3d* mesh, const CEdgeBasedParams& params, CTextOutput* save,
                            const CSimplificationHooks& hooks) {
  if (!mesh) return 0;
  if (params.Combination) return CEdgeSimplifier<CEdgeKey>(mesh, params, save, hooks).Run();
  return CEdgeSimplifier<double>(mesh, params, save, hooks).Run();
}
