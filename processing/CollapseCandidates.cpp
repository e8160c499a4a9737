// The candidate list of the approximating simplifications.

#include "processing/CollapseCandidates.h"

#include <algorithm>

#include "geometry/Mesh3d.h"

// Costs from here up are never picked (the scan's starting value).
static constexpr double kNoCost = 3.4e38;

// The two other corners of face f around v, in orientation order.
static bool OtherCorners(const CFace3d* f, const CVertex3d* v, CVector3d& b, CVector3d& c) {
  int i = 0;
  if (!f || f->HasNullVertex() || !f->IndexOfVertex(v, i)) return false;
  b = f->v((i + 1) % 3)->Position();
  c = f->v((i + 2) % 3)->Position();
  return true;
}

bool BuildTrialVertex(CCollapseCandidate& c) {
  c.k = c.r = nullptr;
  CTrialVertex& trial = c.trial;
  trial.neighbors.clear();
  trial.ring.clear();
  if (!c.a || !c.b || !c.a->IsValid() || !c.b->IsValid()) return false;
  if (!c.a->SharedEdge(c.b, c.k, c.r)) return false;

  // neighbours: the union of both one-rings without k and r
  std::vector<const CVertex3d*> seen;
  for (const CVertex3d* v : {c.k, c.r})
    for (const CVertex3d* n : v->m_ArrayVertexNeighbor) {
      if (!n || n == c.k || n == c.r) continue;
      if (std::find(seen.begin(), seen.end(), n) != seen.end()) continue;
      seen.push_back(n);
      trial.neighbors.push_back(n->Position());
    }
  // faces: those around k and r but the two of the edge, with the trial
  // vertex in place of k or r
  for (const CVertex3d* v : {c.k, c.r})
    for (const CFace3d* f : v->m_ArrayFaceNeighbor) {
      if (f == c.a || f == c.b) continue;
      // special case: a face holding both k and r would fold to an edge
      if (f && f->HasVertex(c.k) && f->HasVertex(c.r)) continue;
      CVector3d p, q;
      if (!OtherCorners(f, v, p, q)) continue;
      trial.ring.push_back(p);
      trial.ring.push_back(q);
    }
  return true;
}

bool CCollapseCandidates::Listed(CFace3d* a, CFace3d* b) const {
  auto it = m_OfFace.find(a);
  if (it == m_OfFace.end()) return false;
  for (int id : it->second) {
    const CCollapseCandidate& c = m_List[id];
    if ((c.a == a && c.b == b) || (c.a == b && c.b == a)) return true;
  }
  return false;
}

int CCollapseCandidates::Add(CFace3d* a, CFace3d* b) {
  const int id = static_cast<int>(m_List.size());
  CCollapseCandidate c;
  c.a = a;
  c.b = b;
  m_List.push_back(std::move(c));
  m_OfFace[a].push_back(id);
  m_OfFace[b].push_back(id);
  return id;
}

void CCollapseCandidates::Evaluate(int id) {
  CCollapseCandidate& c = m_List[id];
  c.marked = false;
  c.valid = BuildTrialVertex(c);
  if (c.valid) m_Evaluate(c);
  if (c.valid && c.cost < kNoCost)
    m_Heap.Set(id, c.cost);
  else
    m_Heap.Remove(id);
}

void CCollapseCandidates::MakeAll(CMesh3d* mesh) {
  for (CFace3d* f : mesh->m_ArrayFace) {
    if (!f || f->NbNeighbor() != 3) continue;
    for (int i = 0; i < 3; i++) {
      CFace3d* g = f->f(i);
      if (g && g != f && g->NbNeighbor() == 3 && !Listed(f, g)) Add(f, g);
    }
  }
  m_Heap.Reserve(m_List.size());
  for (int id = 0; id < Size(); id++) Evaluate(id);
}

CCollapseCandidate* CCollapseCandidates::Best() {
  return m_Heap.Empty() ? nullptr : &m_List[m_Heap.Top()];
}

void CCollapseCandidates::Drop(int id) {
  CCollapseCandidate& c = m_List[id];
  if (!c.alive) return;
  c.alive = false;
  m_Heap.Remove(id);
  for (const CFace3d* f : {c.a, c.b}) {
    auto it = m_OfFace.find(f);
    if (it == m_OfFace.end()) continue;
    auto& ids = it->second;
    ids.erase(std::remove(ids.begin(), ids.end(), id), ids.end());
  }
}

CCollapsePlan CCollapseCandidates::Plan(int id) const {
  CCollapsePlan plan;
  const CCollapseCandidate& c = m_List[id];
  plan.id = id;
  plan.a = c.a;
  plan.b = c.b;
  for (const CFace3d* f : {c.a, c.b}) {
    auto it = m_OfFace.find(f);
    if (it != m_OfFace.end())
      plan.doomed.insert(plan.doomed.end(), it->second.begin(), it->second.end());
  }
  if (c.k && c.r) {
    const CFace3d* faces[2] = {c.a, c.b};
    for (int side = 0; side < 2; side++) {
      plan.pairs[side][0] = faces[side]->NeighborWith(c.k, c.r);
      plan.pairs[side][1] = faces[side]->NeighborWith(c.r, c.k);
    }
  }
  return plan;
}

void CCollapseCandidates::AfterCollapse(const CCollapsePlan& plan, CVertex3d* k,
                                        const CApproximationHooks* hooks) {
  // the candidates of the removed faces go; the faces themselves are gone,
  // so only their addresses are compared
  for (int id : plan.doomed) Drop(id);
  m_OfFace.erase(plan.a);
  m_OfFace.erase(plan.b);

  // the outer neighbours of each removed face now face each other
  std::vector<int> fresh;
  for (const auto& pair : plan.pairs) {
    CFace3d* f = pair[0];
    CFace3d* g = pair[1];
    if (!f || !g || f == g || !f->HasNeighbor(g) || !g->HasNeighbor(f)) continue;
    if (f->NbNeighbor() != 3 || g->NbNeighbor() != 3 || Listed(f, g)) continue;
    fresh.push_back(Add(f, g));
  }

  // the faces around k changed shape: their candidates are evaluated again
  static const CApproximationHooks kUnlocked;
  {
    CStepLock lock(hooks ? *hooks : kUnlocked);
    for (CFace3d* f : k->m_ArrayFaceNeighbor)
      if (f) f->CalculateNormal();
  }
  std::vector<int> marked = fresh;
  for (CFace3d* f : k->m_ArrayFaceNeighbor) {
    if (!f) continue;
    auto it = m_OfFace.find(f);
    if (it == m_OfFace.end()) continue;
    for (int id : it->second)
      if (m_List[id].alive && !m_List[id].marked) {
        m_List[id].marked = true;
        marked.push_back(id);
      }
  }
  std::sort(marked.begin(), marked.end());
  marked.erase(std::unique(marked.begin(), marked.end()), marked.end());
  for (int id : marked) Evaluate(id);
}
