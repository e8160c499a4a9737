// Unmeshing along wavefronts: vertices merge into a neighbour of an adjacent
// ring (across) or of their own ring (along). Every merge is an edge
// collapse onto the surviving vertex, allowed only under the link condition
// of topology-preserving collapses (Dey, Edelsbrunner et al.) and when no
// moved face turns over.

#include <algorithm>
#include <climits>
#include <cmath>
#include <unordered_map>

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
  // degrees, in this merge or since the rings were built; the measure is the smallest compacity
  // among them
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
    // nor turn over from where it faced when the rings were built
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

// The pick state of one ring in flat arrays, by position in the ring's
// array-ordered list: whether the vertex may be picked, its valence and its
// shortest edge to the ring. A merge refreshes only the vertices around it.
class CRingPicker {
public:
  CRingPicker(const std::vector<CVertex3d*>& ring, int layer) : m_Ring(ring), m_Layer(layer) {
    size_t n = ring.size();
    m_Open.resize(n);
    m_Valence.resize(n);
    m_Shortest.resize(n);
    m_Position.reserve(n);
    for (size_t i = 0; i < n; i++) {
      m_Position[ring[i]] = static_cast<int>(i);
      Refresh(i);
    }
  }

  // The running-minimum walk: among the vertices whose valence is at most
  // the smallest valence met so far, the first one with the strictly
  // shortest edge to the ring; -1 when none has one.
  int Pick() const {
    int minValence = INT_MAX, best = -1;
    double bestLength = kNoEdge;
    for (size_t i = 0; i < m_Open.size(); i++) {
      if (!m_Open[i] || m_Valence[i] > minValence) continue;
      minValence = m_Valence[i];
      if (m_Shortest[i] < bestLength) {
        bestLength = m_Shortest[i];
        best = static_cast<int>(i);
      }
    }
    return best;
  }

  // Recomputes v when it belongs to the ring.
  void RefreshVertex(const CVertex3d* v) {
    if (!v || v->GetTagA() != m_Layer) return;
    auto it = m_Position.find(v);
    if (it != m_Position.end()) Refresh(static_cast<size_t>(it->second));
  }

  CVertex3d* At(int i) const { return m_Ring[static_cast<size_t>(i)]; }

private:
  void Refresh(size_t i) {
    const CVertex3d* v = m_Ring[i];
    m_Open[i] = v->m_Flag == 0 && v->NbFace() > 0;
    m_Valence[i] = v->NbNeighbor();
    double shortest = kNoEdge;
    for (const CVertex3d* n : v->m_ArrayVertexNeighbor) {
      if (!n || n->GetTagA() != m_Layer) continue;
      double d = Distance(v, n);
      if (d < shortest) shortest = d;
    }
    m_Shortest[i] = shortest;
  }

  const std::vector<CVertex3d*>& m_Ring;
  int m_Layer;
  std::vector<char> m_Open;
  std::vector<int> m_Valence;
  std::vector<double> m_Shortest;
  std::unordered_map<const CVertex3d*, int> m_Position;
};

// Neighbours of v in its own ring, in neighbour order.
std::vector<CVertex3d*> RingNeighbors(const CVertex3d* v) {
  std::vector<CVertex3d*> list;
  for (CVertex3d* n : v->m_ArrayVertexNeighbor)
    if (n && n->GetTagA() == v->GetTagA()) list.push_back(n);
  return list;
}

// Merges gone into keep when the trial allows it.
bool MergeIfAllowed(CVertex3d* keep, CVertex3d* gone) {
  double measure = 0.0;
  return TrialMerge(keep, gone, measure) && keep->MergeInto(gone, kMergedFlag, kMergedFlag);
}

// Removes the picked vertex v along its ring; returns whether a merge took
// place. The vertices whose links or flags change (v, the merged vertex and
// their neighbours) are refreshed in the picker.
bool RemoveAlong(CVertex3d* v, CRingPicker& picker) {
  std::vector<CVertex3d*> list = RingNeighbors(v);
  std::vector<CVertex3d*> around(v->m_ArrayVertexNeighbor.begin(), v->m_ArrayVertexNeighbor.end());
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
  for (size_t r = static_cast<size_t>(std::max(firstRing, 0)); r < rings.size();
       r += static_cast<size_t>(std::max(step, 1))) {
    const std::vector<CVertex3d*>& ring = rings[r];
    long long picks = static_cast<long long>(std::floor(ratio * static_cast<double>(ring.size())));
    if (picks <= 0) break;
    CRingPicker picker(ring, static_cast<int>(r));
    for (long long k = 0; k < picks; k++) {
      int i = picker.Pick();
      if (i < 0) break;
      if (RemoveAlong(picker.At(i), picker)) {
        mesh->SetModified();
        CountMerge(merges, progress);
      }
    }
  }
  FinishUnmesh(mesh, smoothGeomorph);
  return merges;
}
