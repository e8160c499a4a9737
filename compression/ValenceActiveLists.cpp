#include "compression/ValenceActiveLists.h"

namespace orvex {

void CActiveLists::Reset(int nbVertex, bool trackChanges) {
  m_Lists.clear();
  m_Current = 0;
  m_NbAlive = 0;
  m_Vertex.clear();
  m_Next.clear();
  m_Prev.clear();
  m_List.clear();
  m_VertexNext.clear();
  m_VertexPrev.clear();
  m_Label.clear();
  m_IsDirty.clear();
  m_FreeNodes.clear();
  m_VertexFirst.assign(nbVertex, -1);
  m_Track = trackChanges;
  m_Dirty.clear();
}

// ------------------------------------------------------------------ stack

int CActiveLists::AddList() {
  m_Lists.push_back(CList());
  ++m_NbAlive;
  return static_cast<int>(m_Lists.size()) - 1;
}

int CActiveLists::DropCurrent() {
  CList& dropped = m_Lists[m_Current];
  if (dropped.m_Alive) {
    dropped.m_Alive = false;
    --m_NbAlive;
  }
  int next = m_Current + 1;
  while (next < static_cast<int>(m_Lists.size()) && !m_Lists[next].m_Alive) ++next;
  if (next >= static_cast<int>(m_Lists.size())) return 0;
  m_Current = next;
  // the new current list gets labels; relabelling marks all its nodes
  LabelWholeList();
  return 1;
}

int CActiveLists::FindOtherList(int vertex) const {
  int best = -1;
  for (int n = m_VertexFirst[vertex]; n >= 0; n = m_VertexNext[n]) {
    int list = m_List[n];
    if (list != m_Current && (best < 0 || list < best)) best = list;
  }
  return best;
}

int CActiveLists::NodeOfVertexIn(int vertex, int list) const {
  for (int n = m_VertexFirst[vertex]; n >= 0; n = m_VertexNext[n])
    if (m_List[n] == list) return n;
  return -1;
}

// ------------------------------------------------------------------ nodes

int CActiveLists::NewNode(int vertex, int list) {
  int n;
  if (!m_FreeNodes.empty()) {
    n = m_FreeNodes.back();
    m_FreeNodes.pop_back();
  } else {
    n = static_cast<int>(m_Vertex.size());
    m_Vertex.push_back(-1);
    m_Next.push_back(-1);
    m_Prev.push_back(-1);
    m_List.push_back(-1);
    m_VertexNext.push_back(-1);
    m_VertexPrev.push_back(-1);
    m_Label.push_back(0);
    m_IsDirty.push_back(0);
  }
  m_Vertex[n] = vertex;
  m_List[n] = list;
  // front of the vertex's chain
  m_VertexPrev[n] = -1;
  m_VertexNext[n] = m_VertexFirst[vertex];
  if (m_VertexFirst[vertex] >= 0) m_VertexPrev[m_VertexFirst[vertex]] = n;
  m_VertexFirst[vertex] = n;
  return n;
}

void CActiveLists::FreeNode(int n) {
  int vertex = m_Vertex[n];
  if (m_VertexPrev[n] >= 0)
    m_VertexNext[m_VertexPrev[n]] = m_VertexNext[n];
  else
    m_VertexFirst[vertex] = m_VertexNext[n];
  if (m_VertexNext[n] >= 0) m_VertexPrev[m_VertexNext[n]] = m_VertexPrev[n];
  m_Vertex[n] = -1;
  m_List[n] = -1;
  m_FreeNodes.push_back(n);
}

int CActiveLists::Append(int list, int vertex) {
  int n = NewNode(vertex, list);
  CList& l = m_Lists[list];
  if (l.m_Head < 0) {
    l.m_Head = n;
    m_Next[n] = m_Prev[n] = n;
  } else {
    int tail = m_Prev[l.m_Head];
    m_Next[tail] = n;
    m_Prev[n] = tail;
    m_Next[n] = l.m_Head;
    m_Prev[l.m_Head] = n;
  }
  ++l.m_Size;
  if (list == m_Current) {
    LabelNew(n);
    MarkAround(n);
  }
  return n;
}

int CActiveLists::InsertBefore(int node, int vertex) {
  int list = m_List[node];
  int n = NewNode(vertex, list);
  int p = m_Prev[node];
  m_Next[p] = n;
  m_Prev[n] = p;
  m_Next[n] = node;
  m_Prev[node] = n;
  ++m_Lists[list].m_Size;
  if (list == m_Current) {
    LabelNew(n);
    MarkAround(n);
  }
  return n;
}

void CActiveLists::Remove(int n) {
  int list = m_List[n];
  CList& l = m_Lists[list];
  int p = m_Prev[n], q = m_Next[n];
  if (l.m_Size == 1) {
    l.m_Head = -1;
  } else {
    m_Next[p] = q;
    m_Prev[q] = p;
    if (l.m_Head == n) l.m_Head = q;
  }
  if (l.m_Focus == n) l.m_Focus = -1;
  --l.m_Size;
  FreeNode(n);
  if (list == m_Current && l.m_Size > 0) {
    MarkAround(p);
    MarkAround(q);
  }
}

int CActiveLists::MoveToNewList(int first, int last) {
  int target = AddList();
  CList& l = m_Lists[m_Current];
  int count = 0;
  bool headMoved = false, focusMoved = false;
  for (int n = first;; n = m_Next[n]) {
    m_List[n] = target;
    headMoved = headMoved || n == l.m_Head;
    focusMoved = focusMoved || n == l.m_Focus;
    ++count;
    if (n == last) break;
  }
  int p = m_Prev[first], q = m_Next[last];
  if (count == l.m_Size) {
    l.m_Head = -1;
  } else {
    m_Next[p] = q;
    m_Prev[q] = p;
    if (headMoved) l.m_Head = q;
  }
  if (focusMoved) l.m_Focus = -1;
  l.m_Size -= count;
  CList& moved = m_Lists[target];
  moved.m_Head = first;
  moved.m_Size = count;
  m_Prev[first] = last;
  m_Next[last] = first;
  if (l.m_Size > 0) {
    MarkAround(p);
    MarkAround(q);
  }
  return target;
}

void CActiveLists::MergeAfter(int after, int otherNode) {
  CList& other = m_Lists[m_List[otherNode]];
  int first = m_Next[otherNode], last = otherNode, count = other.m_Size;
  for (int n = first;; n = m_Next[n]) {
    m_List[n] = m_Current;
    if (n == last) break;
  }
  other.m_Head = -1;
  other.m_Size = 0;
  other.m_Focus = -1;
  other.m_Alive = false;
  --m_NbAlive;

  int b = m_Next[after];
  m_Next[after] = first;
  m_Prev[first] = after;
  m_Next[last] = b;
  m_Prev[b] = last;
  m_Lists[m_Current].m_Size += count;
  LabelRun(first, last, count);
  MarkAround(first);
  MarkAround(last);
}

// ----------------------------------------------------------------- labels

uint64_t CActiveLists::LowerBound(int first) const {
  return first == m_Lists[m_Current].m_Head ? 0 : m_Label[m_Prev[first]];
}

uint64_t CActiveLists::UpperBound(int last) const {
  return m_Next[last] == m_Lists[m_Current].m_Head ? kLabelEnd : m_Label[m_Next[last]];
}

void CActiveLists::LabelNew(int n) {
  uint64_t lo = LowerBound(n), hi = UpperBound(n);
  if (hi - lo >= 2) {
    m_Label[n] = lo + (hi - lo) / 2;
    return;
  }
  // no room: spread a growing window of neighbours evenly once the window
  // has a gap of at least its own size per node
  const int head = m_Lists[m_Current].m_Head;
  int first = n, last = n, count = 1;
  for (int step = 1;; step *= 2) {
    for (int i = 0; i < step && first != head; ++i, ++count) first = m_Prev[first];
    for (int i = 0; i < step && m_Next[last] != head; ++i, ++count) last = m_Next[last];
    uint64_t span = UpperBound(last) - LowerBound(first);
    bool whole = first == head && m_Next[last] == head;
    if (whole || span / static_cast<uint64_t>(count + 1) >= static_cast<uint64_t>(count + 1)) {
      LabelRun(first, last, count);
      return;
    }
  }
}

void CActiveLists::LabelRun(int first, int last, int count) {
  uint64_t lo = LowerBound(first), hi = UpperBound(last);
  uint64_t gap = (hi - lo) / static_cast<uint64_t>(count + 1);
  if (gap == 0) {
    LabelWholeList();
    return;
  }
  uint64_t label = lo;
  for (int n = first;; n = m_Next[n]) {
    label += gap;
    m_Label[n] = label;
    Mark(n);
    if (n == last) break;
  }
}

void CActiveLists::LabelWholeList() {
  const CList& l = m_Lists[m_Current];
  if (l.m_Head < 0) return;
  uint64_t gap = kLabelEnd / static_cast<uint64_t>(l.m_Size + 1);
  uint64_t label = 0;
  int n = l.m_Head;
  do {
    label += gap;
    m_Label[n] = label;
    Mark(n);
    n = m_Next[n];
  } while (n != l.m_Head);
}

// ---------------------------------------------------------- change marks

void CActiveLists::Mark(int n) {
  if (!m_Track || m_IsDirty[n]) return;
  m_IsDirty[n] = 1;
  m_Dirty.push_back(n);
}

void CActiveLists::MarkAround(int n) {
  if (!m_Track) return;
  Mark(n);
  int f = n, b = n;
  for (int i = 0; i < kReach; ++i) {
    f = m_Next[f];
    b = m_Prev[b];
    if (f == n) break;
    Mark(f);
    Mark(b);
  }
}

void CActiveLists::TouchVertex(int vertex) {
  if (!m_Track) return;
  for (int n = m_VertexFirst[vertex]; n >= 0; n = m_VertexNext[n])
    if (m_List[n] == m_Current) MarkAround(n);
}

void CActiveLists::TouchVertexNodes(int vertex) {
  if (!m_Track) return;
  for (int n = m_VertexFirst[vertex]; n >= 0; n = m_VertexNext[n])
    if (m_List[n] == m_Current) Mark(n);
}

void CActiveLists::ClearChanges() {
  for (int n : m_Dirty) m_IsDirty[n] = 0;
  m_Dirty.clear();
}

} // namespace orvex
