#pragma once

#include <cstddef>

// Small-block allocator behind the mesh elements (CVertex3d, CFace3d) and
// the short blocks of CArray3d (adjacency lists). A mesh step creates
// millions of such blocks; taking them from large slabs instead of one
// heap allocation each removes the allocator's bookkeeping from the hot
// loops and keeps elements created together next to each other.
//
// Blocks come in size classes of 16 bytes up to kLargestPooledBlock; larger
// requests go to the heap. Each thread keeps its own free lists and slabs,
// so no locking happens on the common path. A block may be freed by any
// thread: it joins that thread's free list and is reused from there. When a
// thread ends, its free blocks are handed to a shared list that the other
// threads take from before they carve a new slab. Slabs are kept for the
// life of the process (they stay reachable from a global chain) and are
// reused, never given back to the system.
//
// Built with AddressSanitizer, every call goes straight to the heap so that
// use after free, double free and leaks of single elements are still seen.

namespace blockpool {

constexpr std::size_t kGranule = 16;
constexpr std::size_t kLargestPooledBlock = 256;

// True when the pool is bypassed (sanitized builds).
bool Bypassed();

// A block of `bytes` bytes (0 gives a valid unique block); throws
// std::bad_alloc when memory runs out.
void* Allocate(std::size_t bytes);

// Gives back a block from Allocate or Resize; `bytes` is the size it was
// asked with. Null is ignored.
void Free(void* block, std::size_t bytes) noexcept;

// Moves the first min(oldBytes, newBytes) bytes of `block` into a block of
// newBytes and frees the old one, like realloc; a block whose size class
// does not change is returned as is. Null block: as Allocate. Throws
// std::bad_alloc when memory runs out (the old block is then untouched).
void* Resize(void* block, std::size_t oldBytes, std::size_t newBytes);

// Counters of the calling thread's pool, for tests and measurements.
struct CPoolStats {
  std::size_t slabBytes = 0;  // slab memory this thread carved so far
  std::size_t freeBlocks = 0; // blocks on this thread's free lists
};
CPoolStats ThreadStats();

} // namespace blockpool
