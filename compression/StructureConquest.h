#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "compression/ValenceActiveLists.h"

namespace orvex {

// Degree codes of the structure coder: 0 the dummy vertex, 1 a split (or a
// join with another list), 2 the focus closed by the face joining its list
// neighbours, 3 and more the degree of a newly reached vertex.
constexpr int kStructureDummyCode = 0;
constexpr int kStructureSplitCode = 1;
constexpr int kStructureCloseCode = 2;
constexpr int kStructureFirstDegree = 3;

// The conquest state the structure encoder and decoder share, so that both
// replay the same lists, stack, focus rule and offsets: active lists of
// vertex indices (CActiveLists), each vertex's degree and the faces made at
// it, and the focus choice. The conquest grows one face per step across the
// gate (focus, next node); list order runs with the unconquered side on the
// left, so the new face is (focus, next, v).
class CStructureConquest {
public:
  // Vertices 0..nbVertex-1, `dummy` among them (never a focus).
  void Reset(int nbVertex, int dummy, bool fullPivots);
  void SetDegree(int vertex, int degree) { m_Degree[vertex] = degree; }
  int Degree(int vertex) const { return m_Degree[vertex]; }
  int FacesMade(int vertex) const { return m_Made[vertex]; }
  bool IsDummy(int vertex) const { return vertex == m_Dummy; }

  // Readies the current list for a step: drops lists of two nodes or fewer
  // (they bound no face). Returns 0 when the stack is used up.
  int Prepare();
  // A new component from a seed face (a, b, c), which counts as made.
  void StartComponent(int a, int b, int c);

  int Focus() const { return m_Lists.Focus(m_Lists.Current()); }
  int Next(int node) const { return m_Lists.Next(node); }
  int Prev(int node) const { return m_Lists.Prev(node); }
  int Vertex(int node) const { return m_Lists.Vertex(node); }
  int Size() const { return m_Lists.Size(m_Lists.Current()); }
  bool InCurrent(int node) const { return m_Lists.InCurrent(node); }
  const CActiveLists& Lists() const { return m_Lists; }

  // The step's operations; each makes the face (focus, next, v).
  void Close();         // v = the previous node's vertex; the focus leaves
  void Insert(int v);   // v newly reached (or a new dummy node)
  void Split(int node); // v at `node` of the current list
  void Join(int node);  // v at `node` of a later list of the stack

  // Signed split offset of `node` (current list) and the node it names.
  int SplitOffset(int node) const;
  int NodeAtSplitOffset(int magnitude, int negative) const;
  // Offset of a node of a later list: the current list's size plus its
  // place among the nodes of the later lists in stack order (from 1).
  int64_t JoinOffset(int node) const;
  int NodeAtJoinOffset(int64_t offset) const;
  // Forward distance from the focus's next node to `node` (nodes moved).
  int MovedCount(int node) const;

private:
  void MakeFace(int a, int b, int c);
  void Made(int vertex);
  void Track(int node);
  void ChooseFocus(int list, int hint);
  int PopBest(int list);
  void ClearList(int list);
  int NewNode(int node);

  struct CEntry {
    int m_Free;
    uint32_t m_Entered;
    int m_Node;
  };
  static bool Later(const CEntry& a, const CEntry& b) {
    return a.m_Free != b.m_Free ? a.m_Free > b.m_Free : a.m_Entered > b.m_Entered;
  }

  CActiveLists m_Lists;
  int m_Dummy = -1;
  bool m_FullPivots = true;
  int m_ListCount = 0;
  uint32_t m_Clock = 0;
  std::vector<int> m_Degree;
  std::vector<int> m_Made;
  std::vector<uint32_t> m_Entered;          // per node
  std::vector<std::vector<CEntry>> m_Heaps; // per list
};

} // namespace orvex
