#pragma once

// Collapse candidates of the approximating simplifications: one per pair of
// neighbouring faces, each with its trial vertex, the position proposed for
// the merged vertex and a cost. The lowest-cost candidate comes from a heap
// keyed by (cost, place in the list), which picks what a scan of the list
// would: the first of the lowest costs, nothing from 3.4e38 up. Only the
// candidates around the last collapse are evaluated again.

#include <functional>
#include <unordered_map>
#include <vector>

#include "processing/Approximation.h"
#include "processing/SimplificationHeap.h"

struct CCollapseCandidate {
  CFace3d* a = nullptr;
  CFace3d* b = nullptr;
  CVertex3d* k = nullptr; // common edge, as corners i, i + 1 of a
  CVertex3d* r = nullptr;
  CTrialVertex trial;
  double cost = 1000000.0;
  bool valid = false;
  bool alive = true;
  bool marked = false;
};

// What a collapse of a candidate removes and joins, found before the
// mesh changes: the candidates of its two faces and the outer neighbour
// pairs of a, then of b.
struct CCollapsePlan {
  int id = -1;
  CFace3d* a = nullptr;
  CFace3d* b = nullptr;
  std::vector<int> doomed;
  CFace3d* pairs[2][2] = {{nullptr, nullptr}, {nullptr, nullptr}};
};

class CCollapseCandidates {
public:
  // Fills the candidate's position and cost from its trial vertex.
  using Evaluator = std::function<void(CCollapseCandidate&)>;
  explicit CCollapseCandidates(Evaluator evaluate) : m_Evaluate(std::move(evaluate)) {}

  // One candidate per pair of neighbouring faces that both have three
  // neighbours, in face order; every one evaluated.
  void MakeAll(CMesh3d* mesh);
  // The candidate to try next (null when none is left).
  CCollapseCandidate* Best();
  int BestId() const { return m_Heap.Empty() ? -1 : m_Heap.Top(); }
  // Takes a refused candidate out.
  void Drop(int id);
  CCollapsePlan Plan(int id) const;
  // After the collapse of plan.id kept k: the candidates of the removed
  // faces go, the newly joined pairs get candidates, and the candidates of
  // the faces around k are evaluated again.
  // The new face normals are written under the hooks' lock when given.
  void AfterCollapse(const CCollapsePlan& plan, CVertex3d* k,
                     const CApproximationHooks* hooks = nullptr);
  int Size() const { return static_cast<int>(m_List.size()); }
  const CCollapseCandidate& At(int id) const { return m_List[id]; }

private:
  int Add(CFace3d* a, CFace3d* b);
  void Evaluate(int id);
  bool Listed(CFace3d* a, CFace3d* b) const;

  Evaluator m_Evaluate;
  std::vector<CCollapseCandidate> m_List;
  std::unordered_map<const CFace3d*, std::vector<int>> m_OfFace;
  CKeyedHeap<double> m_Heap;
};

// Fills the candidate's k, r and trial vertex from its faces; false when
// either face fails IsValid or they share no edge.
bool BuildTrialVertex(CCollapseCandidate& c);
