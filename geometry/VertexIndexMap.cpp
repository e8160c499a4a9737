#include "geometry/VertexIndexMap.h"

#include <cstdint>

CVertexIndexMap::CVertexIndexMap(const CArray3d<CVertex3d>& vertices) {
  const int n = vertices.GetSize();
  size_t size = 16;
  while (size < 2 * static_cast<size_t>(n)) size *= 2;
  m_Slots.resize(size);
  m_Mask = size - 1;
  for (int i = 0; i < n; i++) {
    const CVertex3d* v = vertices[i];
    if (!v) continue;
    Slot& slot = m_Slots[SlotOf(v)];
    slot.m_Vertex = v;
    slot.m_Index = i;
  }
}

// The slot holding v, or the empty slot where it would go.
size_t CVertexIndexMap::SlotOf(const CVertex3d* v) const {
  // vertices are heap blocks: the low bits carry no information
  uint64_t key = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(v)) >> 4;
  size_t at = static_cast<size_t>((key * 0x9E3779B97F4A7C15ull) >> 20) & m_Mask;
  while (m_Slots[at].m_Vertex && m_Slots[at].m_Vertex != v) at = (at + 1) & m_Mask;
  return at;
}

int CVertexIndexMap::IndexOf(const CVertex3d* v) const {
  if (!v) return -1;
  return m_Slots[SlotOf(v)].m_Index;
}
