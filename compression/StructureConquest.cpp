#include "compression/StructureConquest.h"

#include <algorithm>

namespace orvex {

void CStructureConquest::Reset(int nbVertex, int dummy, bool fullPivots) {
  m_Lists.Reset(nbVertex, false);
  m_Lists.AddList();
  m_ListCount = 1;
  m_Dummy = dummy;
  m_FullPivots = fullPivots;
  m_Clock = 0;
  m_Degree.assign(nbVertex, 0);
  m_Made.assign(nbVertex, 0);
  m_Entered.clear();
  m_Heaps.assign(1, {});
}

// ------------------------------------------------------------------ stack

int CStructureConquest::Prepare() {
  for (;;) {
    const int list = m_Lists.Current();
    if (m_Lists.Size(list) >= 3) {
      if (m_Lists.Focus(list) < 0) ChooseFocus(list, m_Lists.Head(list));
      return 1;
    }
    ClearList(list);
    m_Heaps[list].clear();
    if (!m_Lists.DropCurrent()) return 0;
  }
}

void CStructureConquest::StartComponent(int a, int b, int c) {
  // a fresh list after the used-up stack becomes the current one
  const int list = m_Lists.AddList();
  m_ListCount = list + 1;
  m_Heaps.resize(m_ListCount);
  ClearList(m_Lists.Current());
  m_Lists.DropCurrent();
  // list order reverses the face's so that its outside is on the left
  for (int v : {a, c, b}) NewNode(m_Lists.Append(list, v));
  MakeFace(a, b, c);
  ChooseFocus(list, m_Lists.Head(list));
}

void CStructureConquest::ClearList(int list) {
  while (m_Lists.Size(list) > 0) m_Lists.Remove(m_Lists.Head(list));
}

int CStructureConquest::NewNode(int node) {
  if (static_cast<int>(m_Entered.size()) < m_Lists.Capacity()) m_Entered.resize(m_Lists.Capacity());
  m_Entered[node] = m_Clock++;
  Track(node);
  return node;
}

// ------------------------------------------------------------------ steps

void CStructureConquest::MakeFace(int a, int b, int c) {
  Made(a);
  Made(b);
  Made(c);
}

void CStructureConquest::Close() {
  const int list = m_Lists.Current(), f = Focus(), n = Next(f);
  MakeFace(Vertex(f), Vertex(n), Vertex(Prev(f)));
  m_Lists.Remove(f);
  ChooseFocus(list, n);
}

void CStructureConquest::Insert(int v) {
  const int f = Focus(), n = Next(f);
  MakeFace(Vertex(f), Vertex(n), v);
  NewNode(m_Lists.InsertBefore(n, v));
}

void CStructureConquest::Split(int node) {
  const int list = m_Lists.Current(), f = Focus(), n = Next(f), v = Vertex(node);
  MakeFace(Vertex(f), Vertex(n), v);
  // the nodes from the next one up to the split vertex close a loop of their
  // own with a second node of that vertex
  const int moved = m_Lists.MoveToNewList(n, Prev(node));
  m_ListCount = moved + 1;
  m_Heaps.resize(m_ListCount);
  NewNode(m_Lists.Append(moved, v));
  if (m_Lists.Size(moved) <= 2) {
    ClearList(moved);
  } else {
    if (m_FullPivots) {
      int x = m_Lists.Head(moved);
      do {
        Track(x);
        x = Next(x);
      } while (x != m_Lists.Head(moved));
    }
    ChooseFocus(moved, m_Lists.Head(moved));
  }
  ChooseFocus(list, Next(f));
}

void CStructureConquest::Join(int node) {
  const int list = m_Lists.Current(), f = Focus(), n = Next(f), v = Vertex(node);
  MakeFace(Vertex(f), Vertex(n), v);
  // the other loop is walked from the vertex around back to it
  m_Lists.MergeAfter(f, node);
  NewNode(m_Lists.InsertBefore(Next(f), v));
  if (m_FullPivots)
    for (int x = Next(f); x != n; x = Next(x)) Track(x);
  ChooseFocus(list, Next(f));
}

// ------------------------------------------------------------------ focus

void CStructureConquest::Made(int vertex) {
  ++m_Made[vertex];
  if (!m_FullPivots || vertex == m_Dummy) return;
  for (int n = m_Lists.FirstNodeOf(vertex); n >= 0; n = m_Lists.NextNodeOfVertex(n)) Track(n);
}

void CStructureConquest::Track(int node) {
  const int v = Vertex(node);
  if (!m_FullPivots || v == m_Dummy) return;
  std::vector<CEntry>& heap = m_Heaps[m_Lists.ListOf(node)];
  heap.push_back({m_Degree[v] - m_Made[v], m_Entered[node], node});
  std::push_heap(heap.begin(), heap.end(), Later);
}

int CStructureConquest::PopBest(int list) {
  // entries are dropped lazily once their node left the list, was reused or
  // made more faces since
  std::vector<CEntry>& heap = m_Heaps[list];
  while (!heap.empty()) {
    const CEntry& top = heap.front();
    const int node = top.m_Node, v = Vertex(node);
    if (v >= 0 && m_Lists.ListOf(node) == list && m_Entered[node] == top.m_Entered &&
        m_Degree[v] - m_Made[v] == top.m_Free)
      return node;
    std::pop_heap(heap.begin(), heap.end(), Later);
    heap.pop_back();
  }
  return -1;
}

void CStructureConquest::ChooseFocus(int list, int hint) {
  // fewest free faces first, ties to the earliest entered; else the next
  // node that is not the dummy
  int node = m_FullPivots ? PopBest(list) : -1;
  if (node < 0) {
    node = hint;
    for (int i = 0; i < m_Lists.Size(list) && Vertex(node) == m_Dummy; ++i) node = Next(node);
  }
  m_Lists.SetFocus(list, node);
}

// ---------------------------------------------------------------- offsets

int CStructureConquest::MovedCount(int node) const {
  int b = 0;
  for (int x = Next(Focus()); x != node; x = Next(x)) ++b;
  return b;
}

int CStructureConquest::SplitOffset(int node) const {
  const int b = MovedCount(node), c = Size();
  return c - b < b ? b - c : b;
}

int CStructureConquest::NodeAtSplitOffset(int magnitude, int negative) const {
  const int c = Size();
  const int b = negative ? c - magnitude : magnitude;
  if (b < 1 || b > c - 3) return -1;
  // the node b + 1 places after the focus, walked the shorter way
  int x = Focus();
  if (b + 1 <= c / 2) {
    for (int i = 0; i <= b; ++i) x = Next(x);
  } else {
    for (int i = 0; i < c - b - 1; ++i) x = Prev(x);
  }
  return x;
}

int64_t CStructureConquest::JoinOffset(int node) const {
  int64_t offset = Size();
  for (int list = m_Lists.Current() + 1; list < m_Lists.ListOf(node); ++list)
    offset += m_Lists.Size(list);
  for (int x = m_Lists.Head(m_Lists.ListOf(node)); x != node; x = Next(x)) ++offset;
  return offset + 1;
}

int CStructureConquest::NodeAtJoinOffset(int64_t offset) const {
  int64_t rest = offset - Size() - 1;
  if (rest < 0) return -1;
  for (int list = m_Lists.Current() + 1; list < m_ListCount; ++list) {
    const int size = m_Lists.Size(list);
    if (rest < size) {
      int x = m_Lists.Head(list);
      for (int64_t i = 0; i < rest; ++i) x = Next(x);
      return x;
    }
    rest -= size;
  }
  return -1;
}

} // namespace orvex
