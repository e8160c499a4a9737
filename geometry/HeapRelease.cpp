#include "geometry/HeapRelease.h"

#include "geometry/ElementPool.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

void ReleaseFreedMemory() {
  ReleaseElementPools();
#if defined(__GLIBC__)
  malloc_trim(0);
#endif
}
