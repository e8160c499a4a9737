#include "geometry/BlockPool.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>

#if defined(__SANITIZE_ADDRESS__)
#define ORVEX_POOL_BYPASSED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ORVEX_POOL_BYPASSED 1
#endif
#endif
#ifndef ORVEX_POOL_BYPASSED
#define ORVEX_POOL_BYPASSED 0
#endif

namespace blockpool {

namespace {

constexpr std::size_t kClasses = kLargestPooledBlock / kGranule;
constexpr std::size_t kFirstSlab = std::size_t(64) << 10;
// Slabs of this size are aligned on it and offered to the kernel as huge
// pages: one page fault then maps 2 MB instead of 4 kB.
constexpr std::size_t kLargestSlab = std::size_t(2) << 20;

// A free block holds the link of its free list; the first block of a list
// handed over by an ended thread also links to the next such list.
struct CFreeBlock {
  CFreeBlock* next;
  CFreeBlock* nextList;
};
static_assert(sizeof(CFreeBlock) <= kGranule, "a free block must fit the smallest class");

// Start of every slab: the link of the global chain, padded to a granule
// so that the blocks after it keep 16-byte alignment.
struct alignas(kGranule) CSlabHeader {
  CSlabHeader* next;
};

// Per-thread state. It is trivially constructed and destroyed, so it is
// usable at any point of the thread's life, static destructors at process
// exit included.
struct CThreadPool {
  CFreeBlock* head[kClasses];
  char* cursor[kClasses]; // bump region of the current slab of each class
  char* limit[kClasses];
  std::size_t nextSlab[kClasses];
  std::size_t slabBytes;
  bool exitHandled; // the thread-exit handler is installed (or has run)
};

thread_local CThreadPool tPool;

// Shared state, only touched when a slab is carved or a thread ends.
std::mutex gMutex;
CSlabHeader* gSlabs = nullptr;     // every slab ever carved
CFreeBlock* gAdopt[kClasses] = {}; // free lists left by ended threads

std::size_t ClassOf(std::size_t bytes) {
  return bytes == 0 ? 0 : (bytes - 1) / kGranule;
}

std::size_t BlockSize(std::size_t cls) {
  return (cls + 1) * kGranule;
}

void* HeapAllocate(std::size_t bytes) {
  void* block = std::malloc(bytes == 0 ? 1 : bytes);
  if (!block) throw std::bad_alloc();
  return block;
}

// Hands the thread's free lists, with the rest of its bump regions, to the
// shared lists when the thread ends. Each list moves whole, without a walk.
struct CThreadExit {
  ~CThreadExit() {
    CThreadPool& pool = tPool;
    std::lock_guard<std::mutex> lock(gMutex);
    for (std::size_t c = 0; c < kClasses; c++) {
      std::size_t size = BlockSize(c);
      while (pool.limit[c] - pool.cursor[c] >= static_cast<std::ptrdiff_t>(size)) {
        CFreeBlock* b = reinterpret_cast<CFreeBlock*>(pool.cursor[c]);
        pool.cursor[c] += size;
        b->next = pool.head[c];
        pool.head[c] = b;
      }
      if (CFreeBlock* first = pool.head[c]) {
        first->nextList = gAdopt[c];
        gAdopt[c] = first;
        pool.head[c] = nullptr;
      }
    }
  }
};

void InstallThreadExit(CThreadPool& pool) {
  if (pool.exitHandled) return;
  pool.exitHandled = true;
  static thread_local CThreadExit handler;
  (void)handler;
}

// Takes one free list left by an ended thread; true when there was one.
bool AdoptFreeBlocks(CThreadPool& pool, std::size_t cls) {
  std::lock_guard<std::mutex> lock(gMutex);
  CFreeBlock* first = gAdopt[cls];
  if (!first) return false;
  gAdopt[cls] = first->nextList;
  pool.head[cls] = first;
  return true;
}

// A new slab for the class becomes its bump region.
void CarveSlab(CThreadPool& pool, std::size_t cls) {
  std::size_t size = pool.nextSlab[cls] ? pool.nextSlab[cls] : kFirstSlab;
  pool.nextSlab[cls] = std::min(2 * size, kLargestSlab);
  std::size_t alignment = size == kLargestSlab ? kLargestSlab : 4096;
  void* memory = nullptr;
  if (posix_memalign(&memory, alignment, size) != 0) throw std::bad_alloc();
#ifdef MADV_HUGEPAGE
  if (size == kLargestSlab) madvise(memory, size, MADV_HUGEPAGE);
#endif
  CSlabHeader* slab = static_cast<CSlabHeader*>(memory);
  {
    std::lock_guard<std::mutex> lock(gMutex);
    slab->next = gSlabs;
    gSlabs = slab;
  }
  pool.cursor[cls] = static_cast<char*>(memory) + sizeof(CSlabHeader);
  pool.limit[cls] = static_cast<char*>(memory) + size;
  pool.slabBytes += size;
}

// Slow path of Allocate: the free list and the bump region are empty.
void* AllocateSlow(CThreadPool& pool, std::size_t cls) {
  InstallThreadExit(pool);
  if (AdoptFreeBlocks(pool, cls)) {
    CFreeBlock* b = pool.head[cls];
    pool.head[cls] = b->next;
    return b;
  }
  CarveSlab(pool, cls);
  void* block = pool.cursor[cls];
  pool.cursor[cls] += BlockSize(cls);
  return block;
}

} // namespace

bool Bypassed() {
  return ORVEX_POOL_BYPASSED != 0;
}

void* Allocate(std::size_t bytes) {
  if (ORVEX_POOL_BYPASSED || bytes > kLargestPooledBlock) return HeapAllocate(bytes);
  std::size_t cls = ClassOf(bytes);
  CThreadPool& pool = tPool;

  // a freed block first, then the bump region, then a new slab
  if (CFreeBlock* b = pool.head[cls]) {
    pool.head[cls] = b->next;
    return b;
  }
  std::size_t size = BlockSize(cls);
  if (static_cast<std::size_t>(pool.limit[cls] - pool.cursor[cls]) >= size) {
    void* block = pool.cursor[cls];
    pool.cursor[cls] += size;
    return block;
  }
  return AllocateSlow(pool, cls);
}

void Free(void* block, std::size_t bytes) noexcept {
  if (!block) return;
  if (ORVEX_POOL_BYPASSED || bytes > kLargestPooledBlock) {
    std::free(block);
    return;
  }
  std::size_t cls = ClassOf(bytes);
  CThreadPool& pool = tPool;
  CFreeBlock* b = static_cast<CFreeBlock*>(block);
  b->next = pool.head[cls];
  pool.head[cls] = b;
}

void* Resize(void* block, std::size_t oldBytes, std::size_t newBytes) {
  if (!block) return Allocate(newBytes);
  bool oldPooled = !ORVEX_POOL_BYPASSED && oldBytes <= kLargestPooledBlock;
  bool newPooled = !ORVEX_POOL_BYPASSED && newBytes <= kLargestPooledBlock;

  // both on the heap: the heap's own resize
  if (!oldPooled && !newPooled) {
    void* moved = std::realloc(block, newBytes == 0 ? 1 : newBytes);
    if (!moved) throw std::bad_alloc();
    return moved;
  }
  // same size class: nothing to move
  if (oldPooled && newPooled && ClassOf(oldBytes) == ClassOf(newBytes)) return block;

  // across classes or between the pool and the heap: copy
  void* moved = Allocate(newBytes);
  std::memcpy(moved, block, std::min(oldBytes, newBytes));
  Free(block, oldBytes);
  return moved;
}

CPoolStats ThreadStats() {
  CPoolStats stats;
  const CThreadPool& pool = tPool;
  stats.slabBytes = pool.slabBytes;
  for (std::size_t c = 0; c < kClasses; c++)
    for (const CFreeBlock* b = pool.head[c]; b; b = b->next) stats.freeBlocks++;
  return stats;
}

} // namespace blockpool
