#include "compression/ValenceFocus.h"

namespace orvex {

bool CValenceFocus::ClosedByOneFace(int node) const {
  int v = m_Lists.Vertex(node);
  if (m_Topology.RemainingFaces(v) != 1 || m_Topology.FreeDegree(v) == 0) return false;
  int face = m_Topology.LastRemainingFace(v);
  return m_Topology.HasCorner(face, m_Lists.Vertex(m_Lists.Prev(node))) &&
         m_Topology.HasCorner(face, m_Lists.Vertex(m_Lists.Next(node)));
}

void CValenceFocus::Clear() {
  m_Key.clear();
  m_Position.clear();
  m_Heap.clear();
}

CValenceFocus::CKey CValenceFocus::ComputeKey(int node) const {
  CKey key{};
  key.m_Label = m_Lists.Label(node);
  // closed nodes come first, in list order
  if (ClosedByOneFace(node)) {
    key.m_D0 = -1;
    return key;
  }
  key.m_D0 = m_Topology.FreeDegree(m_Lists.Vertex(node));
  // look-ahead sums, the list walked circularly
  int forward = node, backward = node;
  for (int k = 0; k < 4; ++k) {
    forward = m_Lists.Next(forward);
    backward = m_Lists.Prev(backward);
    key.m_S[k] = m_Topology.FreeDegree(m_Lists.Vertex(forward)) +
                 m_Topology.FreeDegree(m_Lists.Vertex(backward));
  }
  return key;
}

void CValenceFocus::Grow() {
  size_t capacity = static_cast<size_t>(m_Lists.Capacity());
  if (m_Key.size() < capacity) {
    m_Key.resize(capacity);
    m_Position.resize(capacity, -1);
  }
}

void CValenceFocus::SiftUp(int index) {
  int node = m_Heap[index];
  while (index > 0) {
    int parent = (index - 1) / 2;
    if (!Before(node, m_Heap[parent])) break;
    Place(index, m_Heap[parent]);
    index = parent;
  }
  Place(index, node);
}

void CValenceFocus::SiftDown(int index) {
  const int size = static_cast<int>(m_Heap.size());
  int node = m_Heap[index];
  for (;;) {
    int child = 2 * index + 1;
    if (child >= size) break;
    if (child + 1 < size && Before(m_Heap[child + 1], m_Heap[child])) ++child;
    if (!Before(m_Heap[child], node)) break;
    Place(index, m_Heap[child]);
    index = child;
  }
  Place(index, node);
}

void CValenceFocus::Update(int node) {
  CKey key = ComputeKey(node);
  int index = m_Position[node];
  if (index < 0) {
    m_Key[node] = key;
    m_Heap.push_back(node);
    SiftUp(static_cast<int>(m_Heap.size()) - 1);
    return;
  }
  if (Same(key, m_Key[node])) return;
  bool up = Less(key, m_Key[node]);
  m_Key[node] = key;
  if (up)
    SiftUp(index);
  else
    SiftDown(index);
}

void CValenceFocus::PopTop() {
  m_Position[m_Heap.front()] = -1;
  int last = m_Heap.back();
  m_Heap.pop_back();
  if (m_Heap.empty()) return;
  Place(0, last);
  SiftDown(0);
}

void CValenceFocus::Refresh() {
  Grow();
  // every node whose neighbourhood changed (new nodes included) gets its
  // key recomputed; a node that left stays until it surfaces
  for (int n : m_Lists.Dirty())
    if (m_Lists.InCurrent(n)) Update(n);
  m_Lists.ClearChanges();
}

int CValenceFocus::Choose(bool first) {
  const int list = m_Lists.Current();
  const int size = m_Lists.Size(list);
  if (size == 0) return -1;
  // first node: deterministic conquest, or nothing to choose from
  if (first || size == 1) {
    Grow();
    // keys of changed nodes are refreshed later; keep them marked
    for (int n : m_Lists.Dirty())
      if (m_Lists.InCurrent(n)) Update(n);
    m_Lists.ClearChanges();
    return m_Lists.Head(list);
  }
  Refresh();
  while (!m_Heap.empty()) {
    int top = m_Heap.front();
    if (m_Lists.InCurrent(top)) return top;
    PopTop();
  }
  return m_Lists.Head(list);
}

} // namespace orvex
