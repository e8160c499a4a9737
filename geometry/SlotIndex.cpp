#include "geometry/SlotIndex.h"

#include <utility>

std::size_t CSlotIndex::Home(const void* p) const {
  // Elements made one after the other lie one after the other in memory and
  // are often visited in that order: within each 1 KiB of addresses the
  // order is kept (64 slots, one per 16-byte step), so such a run of lookups
  // walks a few adjacent cache lines; the 1 KiB groups themselves land at
  // scrambled places (Fibonacci hashing of the group address). Keeping
  // larger spans in order made the table's fill follow the memory layout:
  // element chunks mapped at regular strides piled several spans onto the
  // same slots and lookups probed hundreds of entries.
  const std::uint64_t address = reinterpret_cast<std::uintptr_t>(p);
  const std::uint64_t group = ((address >> 10) * 0x9E3779B97F4A7C15ull) >> 20;
  return static_cast<std::size_t>((group << 6) | ((address >> 4) & 63)) & (m_Entries.size() - 1);
}

void CSlotIndex::Reset(std::size_t count) {
  std::size_t size = 16;
  while (size < 2 * count) size *= 2;
  m_Entries.assign(size, CEntry());
  m_Count = 0;
  m_Built = true;
  m_Unique = 1;
}

void CSlotIndex::Release() {
  std::vector<CEntry>().swap(m_Entries);
  m_Count = 0;
  m_Built = false;
  m_Unique = 1;
}

int CSlotIndex::Get(const void* p) const {
  if (!p || m_Entries.empty()) return -1;
  std::size_t mask = m_Entries.size() - 1;
  for (std::size_t i = Home(p);; i = (i + 1) & mask) {
    const CEntry& e = m_Entries[i];
    if (e.key == p) return e.slot;
    if (!e.key) return -1;
  }
}

void CSlotIndex::Prefetch(const void* p) const {
  if (p && !m_Entries.empty()) __builtin_prefetch(&m_Entries[Home(p)]);
}

std::size_t CSlotIndex::Probes(const void* p) const {
  if (!p || m_Entries.empty()) return 0;
  std::size_t n = 1;
  for (std::size_t i = Home(p); m_Entries[i].key && m_Entries[i].key != p;
       i = (i + 1) & (m_Entries.size() - 1))
    n++;
  return n;
}

int CSlotIndex::Set(const void* p, int slot) {
  if (!p) return 1;
  if (2 * (m_Count + 1) > m_Entries.size()) Grow();
  std::size_t mask = m_Entries.size() - 1;
  for (std::size_t i = Home(p);; i = (i + 1) & mask) {
    CEntry& e = m_Entries[i];
    if (e.key == p) return 0;
    if (!e.key) {
      e.key = p;
      e.slot = slot;
      m_Count++;
      return 1;
    }
  }
}

void CSlotIndex::Erase(const void* p) {
  if (!p || m_Entries.empty()) return;
  std::size_t mask = m_Entries.size() - 1;
  std::size_t i = Home(p);
  while (m_Entries[i].key != p) {
    if (!m_Entries[i].key) return;
    i = (i + 1) & mask;
  }
  // backward shift: move up the entries whose probe run crosses the hole
  std::size_t hole = i;
  for (std::size_t j = (hole + 1) & mask; m_Entries[j].key; j = (j + 1) & mask) {
    std::size_t home = Home(m_Entries[j].key);
    bool crosses = hole <= j ? (home <= hole || home > j) : (home <= hole && home > j);
    if (crosses) {
      m_Entries[hole] = m_Entries[j];
      hole = j;
    }
  }
  m_Entries[hole] = CEntry();
  m_Count--;
}

void CSlotIndex::Grow() {
  std::vector<CEntry> old;
  old.swap(m_Entries);
  m_Entries.assign(old.empty() ? 16 : 2 * old.size(), CEntry());
  m_Count = 0;
  for (const CEntry& e : old)
    if (e.key) Set(e.key, e.slot);
}

void CSlotIndex::Swap(CSlotIndex& other) noexcept {
  m_Entries.swap(other.m_Entries);
  std::swap(m_Count, other.m_Count);
  std::swap(m_Built, other.m_Built);
  std::swap(m_Unique, other.m_Unique);
}
