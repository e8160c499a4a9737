#include "geometry/HeapRelease.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {
// About 30 MB of elements and adjacency lists.
constexpr std::size_t kReleaseAfterElements = std::size_t(1) << 17;
} // namespace

void ReleaseFreedMemory(std::size_t freedElements) {
  if (freedElements < kReleaseAfterElements) return;
#if defined(__GLIBC__)
  malloc_trim(0);
#endif
}
