#include "compression/ProgressiveConquest.h"

#include "compression/ProgressivePatterns.h"

namespace orvex {

using M = CProgressiveMesh;

void CLayerConquest::Start(int type, int seedLeft, int seedRight) {
  m_Type = type;
  m_Queue.clear();
  m_Head = 0;
  m_Mesh.ClearLayerState();
  if (seedLeft < 0 || seedRight < 0) return;
  m_Mesh.SetState(seedLeft, M::kConquered);
  m_Mesh.SetState(seedRight, M::kConquered);
  m_Mesh.SetTag(seedLeft, 2);
  m_Mesh.SetTag(seedRight, 1);
  Push(seedLeft, seedRight, -1);
  Push(seedRight, seedLeft, -1);
}

bool CLayerConquest::Pop(CGate& gate) {
  if (m_Head == m_Queue.size()) return false;
  gate = m_Queue[m_Head++];
  // the consumed front of the queue is dropped now and then
  if (m_Head > 4096 && 2 * m_Head > m_Queue.size()) {
    m_Queue.erase(m_Queue.begin(), m_Queue.begin() + static_cast<long>(m_Head));
    m_Head = 0;
  }
  return true;
}

int CLayerConquest::FrontCorner(const CGate& gate) const {
  int corner;
  if (gate.m_Corner < 0) {
    corner = m_Mesh.CornerAfter(gate.m_Left, gate.m_Right);
  } else {
    // the front face (R, L, x) seen from its corner x
    const int across = m_Mesh.O(gate.m_Corner);
    corner = across < 0 ? -1 : M::Prev(across);
  }
  if (corner < 0 || m_Mesh.Conquered(corner / 3)) return -1;
  return corner;
}

int CLayerConquest::Facing(const std::vector<int>& faces, int a, int b) const {
  for (int f : faces)
    for (int k = 3 * f; k < 3 * f + 3; ++k)
      if (m_Mesh.V(M::Next(k)) == a && m_Mesh.V(M::Prev(k)) == b) return k;
  return -1;
}

void CLayerConquest::NullPatch(const CGate& gate, int corner) {
  m_Mesh.Conquer(corner / 3);
  const int front = m_Mesh.V(M::Next(corner));
  m_Mesh.SetState(front, M::kConquered);
  const char left = m_Mesh.TagOf(gate.m_Left), right = m_Mesh.TagOf(gate.m_Right);
  m_Mesh.SetTagIfUnset(front, left == 2 && right == left ? 1 : 2);
  // the front face (R, L, front): R faces L -> front, L faces front -> R
  Push(gate.m_Left, front, M::Prev(corner));
  Push(front, gate.m_Right, corner);
}

void CLayerConquest::Retriangulated(const int* border, int size, const CRetriangulation& pattern,
                                    const std::vector<int>& newFaces) {
  for (int i = 1; i + 1 < size; ++i)
    m_Mesh.SetTagIfUnset(border[i], static_cast<char>(pattern.tag[i - 1]));
  for (int i = 0; i < size; ++i) m_Mesh.SetState(border[i], M::kConquered);
  for (int f : newFaces) m_Mesh.Conquer(f);
  for (int i = 0; i + 1 < size; ++i) {
    CGate gate{border[i], border[i + 1], Facing(newFaces, border[i], border[i + 1])};
    if (m_Type == kDecimationLayer) {
      m_Queue.push_back(gate);
      continue;
    }
    // cleaning: the free face beyond the border edge is taken at once
    int corner = FrontCorner(gate);
    if (corner >= 0) NullPatch(gate, corner);
  }
}

void CLayerConquest::BoundaryRemoved(const CGate& gate, int p, int side,
                                     const std::vector<int>& newFaces) {
  for (int f : newFaces) m_Mesh.Conquer(f);
  m_Mesh.SetState(p, M::kConquered);
  m_Mesh.SetTagIfUnset(p, 2);
  if (side == kSideNext)
    Push(p, gate.m_Right, Facing(newFaces, p, gate.m_Right));
  else
    Push(gate.m_Left, p, Facing(newFaces, gate.m_Left, p));
}

void CLayerConquest::Seed(const CProgressiveMesh& mesh, int& left, int& right) {
  left = right = -1;
  if (mesh.NbVertex() < 2 || !mesh.HasFaces(0)) return;
  left = 0;
  if (mesh.Linked(0, 1)) {
    right = 1;
    return;
  }
  right = mesh.FirstNeighbour(0);
  if (right < 0) left = -1;
}

} // namespace orvex
