#pragma once

#include <cstdint>
#include <vector>

namespace orvex {

// The active lists of the conquest and their stack. Each list is a circular
// doubly linked list of nodes (a vertex index each) with a head that defines
// "list order"; a vertex may have nodes in several lists (or twice in one),
// so every vertex also keeps a chain of its nodes. The stack holds the lists
// in creation order; its first live entry is the current list.
//
// Nodes of the current list carry order labels (integers increasing from the
// head) so that "earlier in list order" is a comparison, kept up to date by
// local relabelling on insertion. Every change that alters the neighbourhood
// of a current node within kReach positions marks the nodes around it dirty,
// for the focus choice to refresh their keys.
class CActiveLists {
public:
  static constexpr int kReach = 4;
  static constexpr uint64_t kLabelEnd = uint64_t(1) << 62;

  void Reset(int nbVertex, bool trackChanges);

  // stack
  int AddList();
  int Current() const { return m_Current; }
  int NbLists() const { return m_NbAlive; }
  // Drops the (empty) current list; the next list of the stack becomes
  // current. Returns 0 when no list is left.
  int DropCurrent();
  // The first list after the current one in stack order that holds a node of
  // the vertex, -1 when none.
  int FindOtherList(int vertex) const;

  // nodes
  int Append(int list, int vertex); // at the tail
  int InsertBefore(int node, int vertex);
  void Remove(int node);
  // Moves the nodes from `first` forward to `last` of the current list, in
  // order, into a new list appended to the stack; returns that list.
  int MoveToNewList(int first, int last);
  // Splices every node of the other list holding `otherNode`, starting after
  // it and going around to it, after `after` in the current list; the other
  // list leaves the stack.
  void MergeAfter(int after, int otherNode);

  int Vertex(int n) const { return m_Vertex[n]; }
  int Next(int n) const { return m_Next[n]; }
  int Prev(int n) const { return m_Prev[n]; }
  int ListOf(int n) const { return m_List[n]; }
  int Head(int list) const { return m_Lists[list].m_Head; }
  int Size(int list) const { return m_Lists[list].m_Size; }
  int Focus(int list) const { return m_Lists[list].m_Focus; }
  void SetFocus(int list, int node) { m_Lists[list].m_Focus = node; }
  bool InCurrent(int n) const { return m_Vertex[n] >= 0 && m_List[n] == m_Current; }
  int FirstNodeOf(int vertex) const { return m_VertexFirst[vertex]; }
  int NextNodeOfVertex(int n) const { return m_VertexNext[n]; }
  // The first node of the vertex in the list along the vertex's chain, -1.
  int NodeOfVertexIn(int vertex, int list) const;
  int Capacity() const { return static_cast<int>(m_Vertex.size()); }
  uint64_t Label(int n) const { return m_Label[n]; }

  // change tracking for the focus choice
  // The vertex's free degree changed (keys within reach change) or only its
  // faces (the keys of its own nodes change).
  void TouchVertex(int vertex);
  void TouchVertexNodes(int vertex);
  // nodes whose key inputs changed (new nodes of the current list included)
  const std::vector<int>& Dirty() const { return m_Dirty; }
  void ClearChanges();

private:
  struct CList {
    int m_Head = -1;
    int m_Size = 0;
    int m_Focus = -1;
    bool m_Alive = true;
  };

  int NewNode(int vertex, int list);
  void FreeNode(int n);
  int Tail(int list) const { return m_Prev[m_Lists[list].m_Head]; }
  // label bounds around a run of nodes of the current list
  uint64_t LowerBound(int first) const;
  uint64_t UpperBound(int last) const;
  void LabelNew(int n);
  void LabelRun(int first, int last, int count);
  void LabelWholeList();
  void MarkAround(int n);
  void Mark(int n);

  std::vector<CList> m_Lists;
  int m_Current = 0;
  int m_NbAlive = 0;

  std::vector<int> m_Vertex; // -1 for a free node
  std::vector<int> m_Next, m_Prev, m_List;
  std::vector<int> m_VertexNext, m_VertexPrev;
  std::vector<uint64_t> m_Label;
  std::vector<char> m_IsDirty;
  std::vector<int> m_FreeNodes;
  std::vector<int> m_VertexFirst;

  bool m_Track = false;
  std::vector<int> m_Dirty;
};

} // namespace orvex
