#pragma once

// Large arrays filled once and then read at random (a spatial grid's cell
// lists and triangles) cost a page fault for every 4 KiB page they touch
// first, which on virtual machines weighs more than filling them.
// ReserveHugePages reserves a vector's storage untouched and asks the system
// to back it with 2 MiB pages where it allows that on request (transparent
// huge pages in "madvise" mode): one fault per 2 MiB. Elsewhere it only
// reserves.

#include <cstddef>
#include <cstdint>
#include <vector>

#if defined(__linux__)
#include <sys/mman.h>
#endif

// Asks for huge pages over the 2 MiB-aligned part of [data, data + bytes).
inline void AdviseHugePages(void* data, std::size_t bytes) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
  constexpr std::uintptr_t kHuge = std::uintptr_t(1) << 21;
  const std::uintptr_t start = reinterpret_cast<std::uintptr_t>(data);
  const std::uintptr_t begin = (start + kHuge - 1) & ~(kHuge - 1);
  const std::uintptr_t end = (start + bytes) & ~(kHuge - 1);
  if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
  (void)data;
  (void)bytes;
#endif
}

// Reserves room for count elements; storage newly reserved is advised
// before anything touches it, so its pages are huge from the first write.
template <class T> void ReserveHugePages(std::vector<T>& v, std::size_t count) {
  if (count <= v.capacity()) return;
  v.reserve(count);
  AdviseHugePages(v.data(), v.capacity() * sizeof(T));
}
