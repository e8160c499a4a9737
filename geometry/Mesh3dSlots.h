#pragma once

#include "geometry/Array3d.h"
#include "geometry/SlotIndex.h"

// Slots of mesh elements in the mesh's arrays, found in constant time through
// the mesh's slot index of that array. Every slot the index gives is checked
// against the array; when it is wrong (or the element is not in the index)
// the index is rebuilt in one pass, so a run of single removals costs
// constant time each between rebuilds. Slots count vacated ones
// (CArray3d::Vacate), which keep their numbers until the array is compacted.
namespace meshslots {

// Records the slot of every element of the array; an element listed twice
// keeps its first slot and makes the index not unique.
template <class T> void Rebuild(const CArray3d<T>& array, CSlotIndex& index) {
  int n = array.SlotCount();
  index.Reset(static_cast<std::size_t>(n));
  int unique = 1;
  for (int i = 0; i < n; i++)
    if (const T* p = array.SlotAt(i))
      if (!index.Set(p, i)) unique = 0;
  index.SetUnique(unique);
}

// The first slot holding p, or -1 when the array does not hold it. p is only
// compared, never followed: it may be an element that was deleted.
template <class T> int SlotOf(const CArray3d<T>& array, const T* p, CSlotIndex& index) {
  auto held = [&array, &index, p] {
    int slot = index.Get(p);
    return slot >= 0 && slot < array.SlotCount() && array.SlotAt(slot) == p ? slot : -1;
  };
  if (!p) return -1;
  if (index.Built() && index.Unique()) {
    int slot = held();
    if (slot >= 0) return slot;
  }
  Rebuild(array, index);
  return held();
}

// Records that p was appended at index i, when the index is built. An
// element the index already knows (it may be in the array already, or be a
// deleted element's address reused) makes the index not unique, so the next
// lookup rebuilds it and finds out. An element written into an array
// directly is found too (the lookup misses and rebuilds); listing an element
// twice must go through AddVertex or AddFace.
template <class T> void NoteAdded(const T* p, int i, CSlotIndex& index) {
  if (!p || !index.Built()) return;
  if (index.Get(p) >= 0)
    index.SetUnique(0);
  else
    index.Set(p, i);
}

} // namespace meshslots
