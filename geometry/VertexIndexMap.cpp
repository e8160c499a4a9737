#include "geometry/VertexIndexMap.h"

#include <cstdint>

CVertexIndexMap::CVertexIndexMap(const CArray3d<CVertex3d>& vertices) : m_Vertices(vertices) {
  const int n = vertices.GetSize();
  size_t size = 16;
  while (size < 2 * static_cast<size_t>(n)) size *= 2;
  m_Slots.assign(size, -1);
  m_Mask = size - 1;
  for (int i = 0; i < n; i++)
    if (const CVertex3d* v = vertices[i]) m_Slots[SlotOf(v)] = i;
}

size_t CVertexIndexMap::SlotOf(const CVertex3d* v) const {
  // vertices are heap blocks: the low bits carry no information
  const uint64_t key = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(v)) >> 4;
  size_t at = static_cast<size_t>((key * 0x9E3779B97F4A7C15ull) >> 20) & m_Mask;
  while (m_Slots[at] >= 0 && m_Vertices[m_Slots[at]] != v) at = (at + 1) & m_Mask;
  return at;
}
