#include "geometry/HeapRelease.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

void ReleaseFreedMemory() {
#if defined(__GLIBC__)
  malloc_trim(0);
#endif
}
