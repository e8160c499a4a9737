#pragma once

// Binary min-heaps over small integer ids (records of a simplification),
// ordered by a caller's strict "less" on ids. The callers break ties of
// equal keys by the id itself, which they hand out in list order, so the
// heap yields exactly the record a scan of the list would pick: the first
// of the lowest keys.

#include <cstddef>
#include <vector>

// Indexed heap: every id is in it at most once and can be removed or
// re-keyed in O(log n).
template <class Less> class CIndexedHeap {
public:
  explicit CIndexedHeap(Less less) : m_Less(less) {}

  bool Empty() const { return m_Heap.empty(); }
  std::size_t Size() const { return m_Heap.size(); }
  int Top() const { return m_Heap.front(); }
  bool Has(int id) const {
    return id >= 0 && static_cast<std::size_t>(id) < m_Pos.size() && m_Pos[id] >= 0;
  }

  void Push(int id) {
    if (static_cast<std::size_t>(id) >= m_Pos.size()) m_Pos.resize(id + 1, -1);
    if (m_Pos[id] >= 0) return;
    m_Pos[id] = static_cast<int>(m_Heap.size());
    m_Heap.push_back(id);
    Up(m_Pos[id]);
  }
  void Remove(int id) {
    if (!Has(id)) return;
    int i = m_Pos[id];
    int last = m_Heap.back();
    m_Heap.pop_back();
    m_Pos[id] = -1;
    if (last == id) return;
    m_Heap[i] = last;
    m_Pos[last] = i;
    Update(last);
  }
  int Pop() {
    int id = m_Heap.front();
    Remove(id);
    return id;
  }
  // The key of id changed: restores the order around it.
  void Update(int id) {
    if (!Has(id)) return;
    Up(m_Pos[id]);
    Down(m_Pos[id]);
  }
  // Builds the heap of the ids pushed with Append in one pass.
  void Append(int id) {
    if (static_cast<std::size_t>(id) >= m_Pos.size()) m_Pos.resize(id + 1, -1);
    m_Pos[id] = static_cast<int>(m_Heap.size());
    m_Heap.push_back(id);
  }
  void Heapify() {
    for (int i = static_cast<int>(m_Heap.size()) / 2 - 1; i >= 0; i--) Down(i);
  }

private:
  void Place(int i, int id) {
    m_Heap[i] = id;
    m_Pos[id] = i;
  }
  void Up(int i) {
    int id = m_Heap[i];
    while (i > 0) {
      int parent = (i - 1) / 2;
      if (!m_Less(id, m_Heap[parent])) break;
      Place(i, m_Heap[parent]);
      i = parent;
    }
    Place(i, id);
  }
  void Down(int i) {
    int n = static_cast<int>(m_Heap.size());
    int id = m_Heap[i];
    for (;;) {
      int child = 2 * i + 1;
      if (child >= n) break;
      if (child + 1 < n && m_Less(m_Heap[child + 1], m_Heap[child])) child++;
      if (!m_Less(m_Heap[child], id)) break;
      Place(i, m_Heap[child]);
      i = child;
    }
    Place(i, id);
  }

  Less m_Less;
  std::vector<int> m_Heap;
  std::vector<int> m_Pos; // id -> place in m_Heap, -1 when absent
};
