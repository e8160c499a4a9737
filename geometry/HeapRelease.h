#pragma once

// Gives the free pages of the heap and the empty chunks of the element
// pools (ElementPool.h) back to the system. Freed elements stay with the
// allocator, which reuses them for the next mesh (so resident
// memory stays flat over any number of jobs, whichever thread frees); a
// freed mesh built on a worker thread stays resident in that thread's heap
// until then. Call this after freeing a large mesh that will not be
// replaced soon (a document closed): it costs tens of milliseconds, and the
// next large allocation faults its pages in again, so it is not done on
// every free.
void ReleaseFreedMemory();
