#pragma once

#include <cstdint>
#include <vector>

#include "compression/ValenceActiveLists.h"
#include "compression/ValenceTopology.h"

namespace orvex {

// Focus choice of the conquest. The rule, on the current list: the first
// node in list order that still has free edges and is closed by exactly one
// remaining face joining it to its two list neighbours; failing that, the
// node of smallest free degree d0, ties broken by a look-ahead over the free
// degrees of its k-th successors and predecessors (a = 1..4), then by list
// order.
//
// For a tie at look-ahead a, all tied nodes have the same d0 and the same
// sums S_k = d(k-th successor) + d(k-th predecessor) for k < a, so comparing
// the scores (a d0 + sum (a - k + 1) S_k) / (2a + 1) comes down to comparing
// S_a. The whole rule is therefore the lexicographic minimum of the key
// (not closed, d0, S_1, S_2, S_3, S_4, list label). Keys are kept in an
// indexed min-heap and refreshed only for the nodes whose neighbourhood
// changed, so a choice costs O(log n) instead of a walk over the list.
// Nodes that left the current list are dropped when they reach the top.
class CValenceFocus {
public:
  CValenceFocus(const CValenceTopology& topology, CActiveLists& lists)
      : m_Topology(topology), m_Lists(lists) {}

  // The node's vertex has no free edge left.
  bool IsFull(int node) const { return m_Topology.FreeDegree(m_Lists.Vertex(node)) == 0; }
  // The node's vertex still has free edges and exactly one face left, and
  // that face joins it to the vertices of its two list neighbours.
  bool ClosedByOneFace(int node) const;

  // Focus of the current list (non-empty): its head when `first` is set or
  // when it holds one node, else the rule above.
  int Choose(bool first);
  // Forgets every key (a new run).
  void Clear();

private:
  // Closed nodes have m_D0 = -1 and zero sums, so they come first in list
  // order.
  struct CKey {
    int m_D0;
    int m_S[4];
    uint64_t m_Label;
  };
  static bool Less(const CKey& a, const CKey& b) {
    if (a.m_D0 != b.m_D0) return a.m_D0 < b.m_D0;
    for (int k = 0; k < 4; ++k)
      if (a.m_S[k] != b.m_S[k]) return a.m_S[k] < b.m_S[k];
    return a.m_Label < b.m_Label;
  }
  static bool Same(const CKey& a, const CKey& b) { return !Less(a, b) && !Less(b, a); }
  bool Before(int a, int b) const { return Less(m_Key[a], m_Key[b]); }

  CKey ComputeKey(int node) const;
  void Grow();
  void Refresh();
  // indexed binary min-heap of nodes by key
  void Update(int node);
  void PopTop();
  void SiftUp(int index);
  void SiftDown(int index);
  void Place(int index, int node) {
    m_Heap[index] = node;
    m_Position[node] = index;
  }

  const CValenceTopology& m_Topology;
  CActiveLists& m_Lists;
  std::vector<CKey> m_Key;
  std::vector<int> m_Position; // index in m_Heap, -1 when absent
  std::vector<int> m_Heap;
};

} // namespace orvex
