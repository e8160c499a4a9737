// Unmeshing along wavefronts: vertices merge into a neighbour of an adjacent
// ring (across) or of their own ring (along). Every merge is an edge
// collapse onto the surviving vertex, allowed only under the link condition
// of topology-preserving collapses (Dey, Edelsbrunner et al.) and when no
// moved face turns over.

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>
#include <map>
#include <unordered_map>
#include <utility>
#include <vector>

#include "geometry/Mesh3d.h"
#include "processing/Wavefront.h"

namespace {

constexpr double kPi = 3.14159265359;
// Strictly shorter edges win over this start value.
constexpr double kNoEdge = 1e38;
// Flag of an along pick and of its ring neighbours: not picked again.
constexpr int kAlongDone = 3;
// Flag of a vertex that was tried without a target.
constexpr int kTried = 1;
// Cosines below this count as a right angle or more.
constexpr double kRightAngleCosine = 1e-9;

CVector3d Sub(const CVertex3d* a, const CVertex3d* b) {
  return CVector3d(a->x - b->x, a->y - b->y, a->z - b->z);
}

// Number of faces holding both a and b.
int SharedFaceCount(const CVertex3d* a, const CVertex3d* b) {
  int count = 0;
  for (const CFace3d* f : a->m_ArrayFaceNeighbor)
    if (f && f->HasVertex(b)) count++;
  return count;
}

// Whether n is the third corner of a face holding a and b.
bool IsThirdCorner(const CVertex3d* a, const CVertex3d* b, const CVertex3d* n) {
  for (const CFace3d* f : a->m_ArrayFaceNeighbor)
    if (f && f->HasVertex(b) && f->HasVertex(n)) return true;
  return false;
}

// 4 pi area / perimeter^2 of the triangle (p, q, r); 0 for a zero perimeter.
double Compacity(const CVertex3d* p, const CVertex3d* q, const CVertex3d* r) {
  double perimeter = Distance(p, q) + Distance(q, r) + Distance(r, p);
  if (perimeter == 0.0) return 0.0;
  return 4.0 * kPi * Area(p, q, r) / (perimeter * perimeter);
}

// Topology checks of the merge of gone into keep: one or two shared faces
// whose third corners keep a face and, inside, a valence above three; no
// other common neighbour; two boundary vertices only along a boundary edge.
bool KeepsTopology(const CVertex3d* keep, const CVertex3d* gone) {
  int shared = SharedFaceCount(gone, keep);
  if (shared != 1 && shared != 2) return false;
  for (const CFace3d* f : gone->m_ArrayFaceNeighbor) {
    if (!f || !f->HasVertex(keep)) continue;
    if (f->HasNullVertex() || f->IsDegenerate()) return false;
    const CVertex3d* w = f->OtherVertex(keep, gone);
    if (!w || w->NbFace() <= 1) return false;
    if (w->NbNeighbor() == 3 && !w->IsBoundaryVertex()) return false;
  }
  for (const CVertex3d* n : gone->m_ArrayVertexNeighbor)
    if (n && n != keep && keep->HasNeighbor(n) && !IsThirdCorner(gone, keep, n)) return false;
  if (shared == 2 && gone->IsBoundaryVertex() && keep->IsBoundaryVertex()) return false;
  return true;
}

// Whether a face normal turning from before to after stays within 90
// degrees; a face left standing at right angles to itself, within rounding,
// counts as turned over, and so does one that loses its area.
bool TurnsLessThanARightAngle(const CVector3d& before, const CVector3d& after) {
  double scale = std::sqrt(before.LengthSquared() * after.LengthSquared());
  return scale > 0.0 && DotProduct(before, after) > kRightAngleCosine * scale;
}

} // namespace

bool TrialMerge(CVertex3d* keep, CVertex3d* gone, double& measure) {
  if (!keep || !gone || keep == gone || !KeepsTopology(keep, gone)) return false;

  // the faces of gone that move with it: none may turn by more than 90
  // degrees, in this merge or since the rings were built; the measure is
  // the smallest compacity among them
  measure = 1.0;
  for (const CFace3d* f : gone->m_ArrayFaceNeighbor) {
    if (!f || f->HasVertex(keep)) continue;
    int k = 0;
    if (!f->IndexOfVertex(gone, k)) return false;
    const CVertex3d* b = f->v((k + 1) % 3);
    const CVertex3d* c = f->v((k + 2) % 3);
    CVector3d before = CrossProduct(Sub(b, gone), Sub(c, gone));
    CVector3d after = CrossProduct(Sub(b, keep), Sub(c, keep));
    if (!TurnsLessThanARightAngle(before, after)) return false;
    const CVector3d& facing = f->GetAux();
    if (facing.LengthSquared() > 0.0 && !TurnsLessThanARightAngle(facing, after)) return false;
    double compacity = Compacity(keep, b, c);
    if (compacity < measure) measure = compacity;
  }
  return true;
}

void FinishUnmesh(CMesh3d* mesh, int smoothGeomorph) {
  if (!smoothGeomorph) {
    mesh->DeleteFacesWithFlag(kMergedFlag);
    mesh->DeleteVerticesWithFlag(kMergedFlag);
    mesh->DeleteDegenerateFaces();
  }
  mesh->Rebuild();
}

// Counts a merge and redraws every period merges when debugging.
static void CountMerge(int& merges, const CUnmeshProgress& progress) {
  merges++;
  if (progress.debug && progress.redraw && merges % std::max(progress.period, 1) == 0)
    progress.redraw();
}

//////////////////////////////////////////////////////////////////////
// Across
//////////////////////////////////////////////////////////////////////

// The best neighbour of v in ring `ring` (first on ties), or null; a
// boundary vertex looks only along its boundary edges.
static CVertex3d* BestInRing(CVertex3d* v, int ring, bool boundary) {
  CVertex3d* best = nullptr;
  double bestMeasure = -1.0;
  for (CVertex3d* n : v->m_ArrayVertexNeighbor) {
    if (!n || n->GetTagA() != ring) continue;
    if (boundary && SharedFaceCount(v, n) != 1) continue;
    double measure = 0.0;
    if (TrialMerge(n, v, measure) && measure > bestMeasure) {
      best = n;
      bestMeasure = measure;
    }
  }
  return best;
}

// Target of v in ring `ring`: first the adjacent ring holding more of its
// neighbours (the outer one on ties), then the other.
static CVertex3d* AcrossTarget(CVertex3d* v, int ring) {
  int outer = 0, inner = 0;
  for (const CVertex3d* n : v->m_ArrayVertexNeighbor) {
    if (!n) continue;
    if (n->GetTagA() == ring + 1) outer++;
    if (ring > 0 && n->GetTagA() == ring - 1) inner++;
  }
  int order[2] = {ring + 1, ring - 1};
  if (inner > outer) std::swap(order[0], order[1]);
  bool boundary = v->IsBoundaryVertex();
  for (int candidate : order) {
    if (candidate < 0) continue;
    if (CVertex3d* t = BestInRing(v, candidate, boundary)) return t;
  }
  return nullptr;
}

int UnmeshAcross(CMesh3d* mesh, int firstRing, int step, int smoothGeomorph,
                 const CUnmeshProgress& progress) {
  mesh->SetFlagOnVertices(0);
  CRingLists rings = RingLists(mesh);
  int merges = 0;
  for (size_t r = static_cast<size_t>(std::max(firstRing, 0)); r < rings.size();
       r += static_cast<size_t>(std::max(step, 1))) {
    // every vertex of the ring is tried once: merged (flag 2) or not (flag 1)
    bool tried = false;
    for (CVertex3d* v : rings[r]) {
      if (v->m_Flag != 0 || v->NbFace() == 0) continue;
      tried = true;
      CVertex3d* t = AcrossTarget(v, static_cast<int>(r));
      if (t && t->MergeInto(v, kMergedFlag, kMergedFlag)) {
        CountMerge(merges, progress);
        continue;
      }
      v->m_Flag = kTried;
      v->m_Color = CColor(255, 0, 0);
    }
    if (!tried) break;
  }
  FinishUnmesh(mesh, smoothGeomorph);
  return merges;
}

//////////////////////////////////////////////////////////////////////
// Along
//////////////////////////////////////////////////////////////////////

namespace {

// Minimum over a prefix of positions with point updates: a bottom-up
// segment tree in one flat array.
template <class T> class CPrefixMin {
public:
  CPrefixMin(size_t n, T empty) : m_Empty(empty) {
    while (m_Leaves < n) m_Leaves <<= 1;
    m_Node.assign(2 * m_Leaves, empty);
  }
  void Set(size_t i, T value) {
    i += m_Leaves;
    m_Node[i] = value;
    for (i >>= 1; i > 0; i >>= 1) m_Node[i] = std::min(m_Node[2 * i], m_Node[2 * i + 1]);
  }
  T All() const { return m_Node[1]; }
  // Minimum over positions [0, end).
  T Before(size_t end) const {
    T best = m_Empty;
    for (size_t lo = m_Leaves, hi = m_Leaves + std::min(end, m_Leaves); lo < hi;
         lo >>= 1, hi >>= 1) {
      if (lo & 1) best = std::min(best, m_Node[lo++]);
      if (hi & 1) best = std::min(best, m_Node[--hi]);
    }
    return best;
  }

private:
  T m_Empty;
  size_t m_Leaves = 1;
  std::vector<T> m_Node;
};

// The along pick of one ring, by position in the ring's array-ordered list.
// The walk keeps a running minimum of the valence and takes, among the
// vertices whose valence is at most that minimum when met, the first one
// with the strictly shortest edge to its ring. A vertex of valence c is met
// that way exactly when it comes before the first open vertex of every
// smaller valence, so each valence keeps the shortest edges and the first
// position of its open vertices in prefix-minimum trees: a pick costs a few
// tree queries instead of a walk of the ring, and a merge updates only the
// vertices around it.
class CRingPicker {
public:
  CRingPicker(const std::vector<CVertex3d*>& ring, int layer)
      : m_Ring(ring), m_Layer(layer), m_Valence(ring.size(), kClosed) {
    m_Position.reserve(ring.size());
    for (size_t i = 0; i < ring.size(); i++) {
      m_Position[ring[i]] = static_cast<int>(i);
      Refresh(i);
    }
  }

  // The position of the pick, -1 when no candidate has an edge in the ring.
  int Pick() const {
    Entry best = kNoEntry;
    size_t bound = m_Ring.size();
    for (const auto& bucket : m_Buckets) {
      int first = bucket.second.first.All();
      if (first == INT_MAX) continue;
      best = std::min(best, bucket.second.shortest.Before(bound));
      bound = std::min(bound, static_cast<size_t>(first));
    }
    return best.first < kNoEdge ? best.second : -1;
  }

  // Recomputes v when it belongs to the ring.
  void RefreshVertex(const CVertex3d* v) {
    if (!v || v->GetTagA() != m_Layer) return;
    auto it = m_Position.find(v);
    if (it != m_Position.end()) Refresh(static_cast<size_t>(it->second));
  }

  CVertex3d* At(int i) const { return m_Ring[static_cast<size_t>(i)]; }

private:
  using Entry = std::pair<double, int>; // shortest edge, position
  static constexpr int kClosed = -1;
  static constexpr Entry kNoEntry = {std::numeric_limits<double>::infinity(), INT_MAX};
  struct Bucket {
    CPrefixMin<Entry> shortest;
    CPrefixMin<int> first;
    explicit Bucket(size_t n) : shortest(n, kNoEntry), first(n, INT_MAX) {}
  };

  Bucket& BucketOf(int valence) {
    auto it = m_Buckets.find(valence);
    if (it == m_Buckets.end()) it = m_Buckets.emplace(valence, Bucket(m_Ring.size())).first;
    return it->second;
  }

  void Refresh(size_t i) {
    const CVertex3d* v = m_Ring[i];
    if (m_Valence[i] != kClosed) {
      Bucket& old = BucketOf(m_Valence[i]);
      old.shortest.Set(i, kNoEntry);
      old.first.Set(i, INT_MAX);
      m_Valence[i] = kClosed;
    }
    if (v->m_Flag != 0 || v->NbFace() == 0) return;
    double shortest = kNoEdge;
    for (const CVertex3d* n : v->m_ArrayVertexNeighbor) {
      if (!n || n->GetTagA() != m_Layer) continue;
      double d = Distance(v, n);
      if (d < shortest) shortest = d;
    }
    m_Valence[i] = v->NbNeighbor();
    Bucket& bucket = BucketOf(m_Valence[i]);
    bucket.shortest.Set(i, Entry(shortest, static_cast<int>(i)));
    bucket.first.Set(i, static_cast<int>(i));
  }

  const std::vector<CVertex3d*>& m_Ring;
  int m_Layer;
  std::vector<int> m_Valence; // kClosed when the vertex may not be picked
  std::map<int, Bucket> m_Buckets;
  std::unordered_map<const CVertex3d*, int> m_Position;
};

// Neighbours of v in its own ring, in neighbour order.
void RingNeighbors(const CVertex3d* v, std::vector<CVertex3d*>& list) {
  list.clear();
  for (CVertex3d* n : v->m_ArrayVertexNeighbor)
    if (n && n->GetTagA() == v->GetTagA()) list.push_back(n);
}

// Merges gone into keep when the trial allows it.
bool MergeIfAllowed(CVertex3d* keep, CVertex3d* gone) {
  double measure = 0.0;
  return TrialMerge(keep, gone, measure) && keep->MergeInto(gone, kMergedFlag, kMergedFlag);
}

// Removes the picked vertex v along its ring; returns whether a merge took
// place. The vertices whose links or flags change (v, the merged vertex and
// their neighbours) are refreshed in the picker.
bool RemoveAlong(CVertex3d* v, CRingPicker& picker, std::vector<CVertex3d*>& list,
                 std::vector<CVertex3d*>& around) {
  RingNeighbors(v, list);
  around.assign(v->m_ArrayVertexNeighbor.begin(), v->m_ArrayVertexNeighbor.end());
  bool merged = false;

  if (v->IsBoundaryVertex()) {
    // boundary: v absorbs the first vertex of its ring
    CVertex3d* gone = list.empty() ? nullptr : list[0];
    if (gone) {
      for (CVertex3d* n : gone->m_ArrayVertexNeighbor) around.push_back(n);
      merged = MergeIfAllowed(v, gone);
    }
    v->m_Flag = kAlongDone;
  } else {
    // inside: into the only ring neighbour, or the better of the first two
    CVertex3d* target = nullptr;
    double best = -1.0;
    for (size_t i = 0; i < list.size() && i < 2; i++) {
      double measure = 0.0;
      if (TrialMerge(list[i], v, measure) && measure > best) {
        best = measure;
        target = list[i];
      }
    }
    merged = target && target->MergeInto(v, kMergedFlag, kMergedFlag);
    if (!merged) v->m_Flag = kTried;
    for (CVertex3d* n : list)
      if (n->m_Flag != kMergedFlag) n->m_Flag = kAlongDone;
  }

  picker.RefreshVertex(v);
  for (CVertex3d* n : around) picker.RefreshVertex(n);
  return merged;
}

} // namespace

int UnmeshAlong(CMesh3d* mesh, int firstRing, int step, double ratio, int smoothGeomorph,
                const CUnmeshProgress& progress) {
  mesh->SetFlagOnVertices(0);
  CRingLists rings = RingLists(mesh);
  int merges = 0;
  std::vector<CVertex3d*> list, around; // scratch of the removals
  for (size_t r = static_cast<size_t>(std::max(firstRing, 0)); r < rings.size();
       r += static_cast<size_t>(std::max(step, 1))) {
    const std::vector<CVertex3d*>& ring = rings[r];
    long long picks = static_cast<long long>(std::floor(ratio * static_cast<double>(ring.size())));
    if (picks <= 0) break;
    CRingPicker picker(ring, static_cast<int>(r));
    for (long long k = 0; k < picks; k++) {
      int i = picker.Pick();
      if (i < 0) break;
      if (RemoveAlong(picker.At(i), picker, list, around)) {
        mesh->SetModified();
        CountMerge(merges, progress);
      }
    }
  }
  FinishUnmesh(mesh, smoothGeomorph);
  return merges;
}
