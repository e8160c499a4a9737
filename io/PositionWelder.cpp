#include "io/PositionWelder.h"

#include <cstring>

#include "io/MeshBuilder.h"

static void BitsOf(const float* p, uint32_t bits[3]) {
  for (int k = 0; k < 3; k++) {
    const float v = p[k] + 0.0f; // -0 becomes +0
    std::memcpy(&bits[k], &v, 4);
  }
}

static size_t Hash(const uint32_t bits[3]) {
  uint64_t h = 0x9e3779b97f4a7c15ull;
  for (int k = 0; k < 3; k++) {
    h ^= bits[k];
    h *= 0xff51afd7ed558ccdull;
    h ^= h >> 32;
  }
  return static_cast<size_t>(h);
}

CPositionWelder::CPositionWelder(CMeshBuilder& builder, size_t expectedVertices)
    : m_Builder(builder) {
  size_t n = 64;
  while (n < 2 * expectedVertices && n < (size_t(1) << 30)) n *= 2;
  m_Slots.assign(n, Slot{{0, 0, 0}, -1});
  m_Mask = n - 1;
}

size_t CPositionWelder::SlotOf(const uint32_t bits[3]) const {
  size_t slot = Hash(bits) & m_Mask;
  for (;;) {
    const Slot& s = m_Slots[slot];
    if (s.vertex < 0) return slot;
    if (s.bits[0] == bits[0] && s.bits[1] == bits[1] && s.bits[2] == bits[2]) return slot;
    slot = (slot + 1) & m_Mask;
  }
}

void CPositionWelder::Grow() {
  std::vector<Slot> old(2 * m_Slots.size(), Slot{{0, 0, 0}, -1});
  old.swap(m_Slots);
  m_Mask = m_Slots.size() - 1;
  for (const Slot& s : old)
    if (s.vertex >= 0) m_Slots[SlotOf(s.bits)] = s;
}

int CPositionWelder::Vertex(float x, float y, float z) {
  const float p[3] = {x, y, z};
  uint32_t bits[3];
  BitsOf(p, bits);
  size_t slot = SlotOf(bits);
  if (m_Slots[slot].vertex >= 0) return m_Slots[slot].vertex;
  if (2 * static_cast<size_t>(m_Builder.NbVertex() + 1) > m_Slots.size()) {
    Grow();
    slot = SlotOf(bits);
  }
  Slot& s = m_Slots[slot];
  std::memcpy(s.bits, bits, sizeof s.bits);
  s.vertex = m_Builder.AddVertex(x, y, z);
  return s.vertex;
}
