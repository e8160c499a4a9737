#pragma once

#include <cstddef>

// Gives the free pages of the heap back to the system after a large mesh has
// been freed. The allocator keeps freed blocks for reuse and only returns the
// top of each heap by itself; a freed million-face mesh built on a worker
// thread would otherwise stay resident in that thread's heap until reused.
// Small frees are left alone: trimming costs tens of milliseconds.
void ReleaseFreedMemory(std::size_t freedElements);
