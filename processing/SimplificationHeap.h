#pragma once

// Indexed 4-ary min-heap over small integer ids (records of a
// simplification), each with a key kept inside the heap array so that
// sifting never leaves it. Keys are compared with Key::operator< and ties go
// to the id the Tie order puts first (the lower id unless told otherwise);
// callers order ties by when their records were made, so the heap yields
// exactly the record a scan of the list would pick: the first of the lowest
// keys. Every id is in the heap at most once and can be re-keyed or removed
// in O(log n) (O(1) on average for a re-key that moves it little). Four
// children per node halve the depth of a binary heap: on heaps of millions
// of records each level is a cache miss, and the four children of a node
// sit side by side.

#include <cstddef>
#include <functional>
#include <vector>

#include "geometry/HugePages.h"

template <class Key, class Tie = std::less<int>> class CKeyedHeap {
public:
  explicit CKeyedHeap(Tie tie = Tie()) : m_Tie(tie) {}

  bool Empty() const { return m_Heap.empty(); }
  std::size_t Size() const { return m_Heap.size(); }
  int Top() const { return m_Heap.front().id; }
  const Key& TopKey() const { return m_Heap.front().key; }
  bool Has(int id) const {
    return id >= 0 && static_cast<std::size_t>(id) < m_Pos.size() && m_Pos[id] >= 0;
  }

  // Queues id with key, or gives it that key when it is queued.
  void Set(int id, const Key& key) {
    Cover(id);
    int i = m_Pos[id];
    if (i < 0) {
      i = static_cast<int>(m_Heap.size());
      m_Heap.push_back({key, id});
      m_Pos[id] = i;
      Up(i);
      return;
    }
    m_Heap[i].key = key;
    Up(i);
    Down(m_Pos[id]);
  }
  // Lowers the key of a queued id, queues an absent one, and leaves a
  // queued id whose key would rise as it is. Callers that raise keys this
  // way call SettleTop before reading the top: every key in the heap is at
  // most its true key, so a top whose key is true is the least of all true
  // keys. A raise costs nothing until its entry reaches the top, and most
  // records are removed before they get there.
  void Lower(int id, const Key& key) {
    if (Has(id) && !(key < m_Heap[m_Pos[id]].key)) return;
    Set(id, key);
  }
  // Gives every stale top its true key, trueKey(id), which sifts it down,
  // until the top's key is true.
  template <class TrueKey> void SettleTop(TrueKey trueKey) {
    while (!Empty()) {
      const int id = Top();
      const Key key = trueKey(id);
      if (!(TopKey() < key)) return;
      Set(id, key);
    }
  }
  void Remove(int id) {
    if (!Has(id)) return;
    int i = m_Pos[id];
    m_Pos[id] = -1;
    Entry last = m_Heap.back();
    m_Heap.pop_back();
    if (last.id == id) return;
    m_Heap[i] = last;
    m_Pos[last.id] = i;
    Up(i);
    Down(m_Pos[last.id]);
  }
  int Pop() {
    int id = Top();
    Remove(id);
    return id;
  }
  // Appends without ordering; Heapify orders everything appended at once.
  void Append(int id, const Key& key) {
    Cover(id);
    m_Pos[id] = static_cast<int>(m_Heap.size());
    m_Heap.push_back({key, id});
  }
  void Heapify() {
    const int n = static_cast<int>(m_Heap.size());
    if (n < 2) return;
    for (int i = (n - 2) / kArity; i >= 0; i--) Down(i);
  }
  // Room for n entries and ids below ids (n when 0), in huge pages: the
  // arrays are read at random and, for millions of records, every step
  // down the heap would otherwise also miss the address translation cache.
  void Reserve(std::size_t n, std::size_t ids = 0) {
    ReserveHugePages(m_Heap, n);
    ReserveHugePages(m_Pos, ids ? ids : n);
  }

private:
  static constexpr int kArity = 4;

  // Makes id a valid index of m_Pos; growth doubles in huge pages too.
  void Cover(int id) {
    const std::size_t need = static_cast<std::size_t>(id) + 1;
    if (need <= m_Pos.size()) return;
    if (need > m_Pos.capacity()) ReserveHugePages(m_Pos, 2 * need);
    m_Pos.resize(need, -1);
  }

  struct Entry {
    Key key;
    int id;
  };
  bool Before(const Entry& a, const Entry& b) const {
    if (a.key < b.key) return true;
    if (b.key < a.key) return false;
    return m_Tie(a.id, b.id);
  }

  void Up(int i) {
    Entry e = m_Heap[i];
    while (i > 0) {
      int parent = (i - 1) / kArity;
      if (!Before(e, m_Heap[parent])) break;
      m_Heap[i] = m_Heap[parent];
      m_Pos[m_Heap[i].id] = i;
      i = parent;
    }
    m_Heap[i] = e;
    m_Pos[e.id] = i;
  }
  void Down(int i) {
    int n = static_cast<int>(m_Heap.size());
    Entry e = m_Heap[i];
    for (;;) {
      int first = kArity * i + 1;
      if (first >= n) break;
      // the least of the children
      int child = first;
      const int end = first + kArity < n ? first + kArity : n;
      for (int c = first + 1; c < end; c++)
        if (Before(m_Heap[c], m_Heap[child])) child = c;
      if (!Before(m_Heap[child], e)) break;
      m_Heap[i] = m_Heap[child];
      m_Pos[m_Heap[i].id] = i;
      i = child;
    }
    m_Heap[i] = e;
    m_Pos[e.id] = i;
  }

  Tie m_Tie;
  std::vector<Entry> m_Heap;
  std::vector<int> m_Pos; // id -> place in m_Heap, -1 when absent
};
