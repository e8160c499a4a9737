#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace orvex {

// The gate list of the gate coders. A gate is a border half-edge of the
// conquered region (left = its tail, right = its head). Without adaptive
// choice the gates leave in the order they were appended; with it, the
// gate whose right vertex has the highest count of conquered faces leaves
// first, the earliest appended on equal counts. Counts are 8-bit and
// saturate at 255. The adaptive choice is a bucket queue: one min-heap of
// gate numbers per count; a gate is pushed again whenever its right
// vertex's count rises and stale entries are skipped when popped.
class CGateQueue {
public:
  void Reset(int nbVertex, bool adaptive);
  void AddVertex() {
    m_Count.push_back(0);
    m_GatesOfRight.push_back(-1);
  }
  void Push(int halfEdge, int right);
  // Removes the next gate and returns its half-edge; -1 when empty.
  int Pop();
  bool Empty() const { return m_Live == 0; }
  // One more conquered face around v.
  void Raise(int v);
  int Count(int v) const { return m_Count[v]; }

private:
  bool m_Adaptive = true;
  int m_Live = 0;
  std::vector<uint8_t> m_Count;
  // gates by number: half-edge, right vertex, still listed, next gate
  // with the same right vertex
  std::vector<int> m_Edge;
  std::vector<int> m_Right;
  std::vector<uint8_t> m_Listed;
  std::vector<int> m_NextOfRight;
  std::vector<int> m_GatesOfRight;
  // first-in first-out without adaptive choice
  size_t m_Head = 0;
  // adaptive: heaps of gate numbers by count, and the highest non-empty
  std::vector<std::vector<int>> m_Buckets;
  int m_Top = 0;

  void PushToBucket(int gate, int count);
};

} // namespace orvex
