#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Slot of each element of one of a mesh's arrays, keyed by the element's
// address: an open-addressing hash table with linear probing. The address
// is only compared, never followed, so an element that was deleted may be
// looked up safely. Entries may go stale (the array was compacted or written
// directly); the mesh checks every slot it gets against the array and
// rebuilds the table in one pass when it is wrong (Mesh3dSlots.h).
class CSlotIndex {
public:
  bool Built() const { return m_Built; }
  // 1 unless the last build saw an element listed twice, or an element was
  // noted again since.
  int Unique() const { return m_Unique; }
  void SetUnique(int unique) { m_Unique = unique; }

  // Empties the table for `count` elements; the caller then Sets each one.
  void Reset(std::size_t count);
  // Frees the table; it is built again when next needed.
  void Release();
  // The slot recorded for p, or -1.
  int Get(const void* p) const;
  // Starts loading the entry p hashes to, for a Get or Erase shortly after:
  // on large meshes it is a cache miss.
  void Prefetch(const void* p) const;
  // Records p at slot; returns 0 (and keeps the first slot) when p was there.
  int Set(const void* p, int slot);
  void Erase(const void* p);
  // Entries a lookup of p reads (for tests of the table's spread).
  std::size_t Probes(const void* p) const;
  void Swap(CSlotIndex& other) noexcept;

private:
  struct CEntry {
    const void* key = nullptr;
    int slot = -1;
  };
  std::size_t Home(const void* p) const;
  void Grow();

  std::vector<CEntry> m_Entries; // size is a power of two, at most half full
  std::size_t m_Count = 0;
  bool m_Built = false;
  int m_Unique = 1;
};
