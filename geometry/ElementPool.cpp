// Fixed-size block pool with chunks mapped from the system (ElementPool.h):
// a bump pointer fills a fresh chunk, freed blocks go to their chunk's own
// free list, and a chunk whose last block is freed joins the kept empty
// chunks, or is unmapped when enough are kept.

#include "geometry/ElementPool.h"

#include <sys/mman.h>

#include <cstdint>
#include <new>
#include <thread>

#include "geometry/Face3d.h"
#include "geometry/HugePages.h"
#include "geometry/Vertex3d.h"

#ifdef ORVEX_POOL_ASAN
#include <sanitizer/asan_interface.h>
#define POOL_POISON(p, n) ASAN_POISON_MEMORY_REGION((p), (n))
#define POOL_UNPOISON(p, n) ASAN_UNPOISON_MEMORY_REGION((p), (n))
#else
#define POOL_POISON(p, n) ((void)(p), (void)(n))
#define POOL_UNPOISON(p, n) ((void)(p), (void)(n))
#endif

struct CElementPool::Chunk {
  CElementPool* pool;
  Chunk* prev; // in the pool's list of roomy chunks
  Chunk* next;
  void* freeList;     // freed blocks, each holding the next one
  std::size_t bumped; // blocks handed out from the bump area so far
  std::size_t live;   // blocks in use
  bool roomy;         // linked in the pool's roomy list
};

namespace {

constexpr std::size_t kAlign = 16;

std::size_t RoundUp(std::size_t n, std::size_t to) {
  return (n + to - 1) / to * to;
}

// kChunkBytes of fresh memory aligned to kChunkBytes, populated; null when
// the system has none.
void* MapAlignedChunk() {
  const std::size_t size = CElementPool::kChunkBytes;
  void* raw = mmap(nullptr, 2 * size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) return nullptr;
  // trim the mapping to the aligned chunk inside it
  const auto start = reinterpret_cast<std::uintptr_t>(raw);
  const std::uintptr_t aligned = (start + size - 1) & ~(std::uintptr_t(size) - 1);
  if (aligned > start) munmap(raw, aligned - start);
  const std::uintptr_t end = start + 2 * size;
  if (end > aligned + size) munmap(reinterpret_cast<void*>(aligned + size), end - aligned - size);
  void* chunk = reinterpret_cast<void*>(aligned);
  // a chunk is one huge page where the system grants them on request: one
  // fault (or one populate step) and one TLB entry instead of 512
  AdviseHugePages(chunk, size);
#ifdef MADV_POPULATE_WRITE
  // one call populates the pages that the bump pointer would otherwise
  // fault in one by one (an older kernel refuses it: faults then)
  madvise(chunk, size, MADV_POPULATE_WRITE);
#endif
  return chunk;
}

} // namespace

CElementPool::CElementPool(std::size_t blockSize, std::size_t keptEmptyChunks)
    : m_BlockSize(RoundUp(blockSize < sizeof(void*) ? sizeof(void*) : blockSize, alignof(void*))),
      m_KeptEmpty(keptEmptyChunks) {
  m_FirstOffset = RoundUp(sizeof(Chunk), kAlign);
  m_BlocksPerChunk = (kChunkBytes - m_FirstOffset) / m_BlockSize;
}

CElementPool::~CElementPool() {
  ReleaseEmptyChunks();
}

void CElementPool::Lock() const {
  // test and test-and-set, yielding while another thread holds it
  for (int spins = 0; m_Lock.test_and_set(std::memory_order_acquire); spins++)
    if (spins > 64) std::this_thread::yield();
}

void CElementPool::Unlock() const {
  m_Lock.clear(std::memory_order_release);
}

void CElementPool::LinkRoomy(Chunk* chunk) {
  chunk->prev = nullptr;
  chunk->next = m_pRoomy;
  if (m_pRoomy) m_pRoomy->prev = chunk;
  m_pRoomy = chunk;
  chunk->roomy = true;
}

void CElementPool::UnlinkRoomy(Chunk* chunk) {
  if (chunk->prev)
    chunk->prev->next = chunk->next;
  else
    m_pRoomy = chunk->next;
  if (chunk->next) chunk->next->prev = chunk->prev;
  chunk->prev = chunk->next = nullptr;
  chunk->roomy = false;
}

CElementPool::Chunk* CElementPool::NewChunk() {
  Chunk* chunk = nullptr;
  if (m_pEmpty) {
    chunk = m_pEmpty;
    m_pEmpty = chunk->next;
    m_Empty--;
  } else {
    void* memory = MapAlignedChunk();
    if (!memory) return nullptr;
    chunk = static_cast<Chunk*>(memory);
    m_Chunks++;
  }
  chunk->pool = this;
  chunk->freeList = nullptr;
  chunk->bumped = 0;
  chunk->live = 0;
  char* blocks = reinterpret_cast<char*>(chunk) + m_FirstOffset;
  POOL_POISON(blocks, m_BlocksPerChunk * m_BlockSize);
  LinkRoomy(chunk);
  return chunk;
}

// Keeps an empty chunk for the next allocations, or unmaps it when enough
// are kept.
void CElementPool::Release(Chunk* chunk) {
  if (chunk->roomy) UnlinkRoomy(chunk);
  if (m_Empty < m_KeptEmpty) {
    chunk->next = m_pEmpty;
    m_pEmpty = chunk;
    m_Empty++;
    return;
  }
  m_Chunks--;
  POOL_UNPOISON(chunk, kChunkBytes);
  munmap(chunk, kChunkBytes);
}

void CElementPool::ReleaseEmptyChunks() {
  Lock();
  Chunk* chunk = m_pEmpty;
  m_pEmpty = nullptr;
  m_Chunks -= m_Empty;
  m_Empty = 0;
  Unlock();
  while (chunk) {
    Chunk* next = chunk->next;
    POOL_UNPOISON(chunk, kChunkBytes);
    munmap(chunk, kChunkBytes);
    chunk = next;
  }
}

void* CElementPool::TakeBlock() {
  Chunk* chunk = m_pRoomy ? m_pRoomy : NewChunk();
  if (!chunk) return nullptr;
  void* block;
  // reuse a freed block first, else take the next fresh one
  if (chunk->freeList) {
    block = chunk->freeList;
    POOL_UNPOISON(block, sizeof(void*));
    chunk->freeList = *static_cast<void**>(block);
  } else {
    block = reinterpret_cast<char*>(chunk) + m_FirstOffset + chunk->bumped * m_BlockSize;
    chunk->bumped++;
  }
  chunk->live++;
  m_Live++;
  if (!chunk->freeList && chunk->bumped == m_BlocksPerChunk) UnlinkRoomy(chunk);
  POOL_UNPOISON(block, m_BlockSize);
  return block;
}

namespace {
// The current thread's stashes, innermost first.
thread_local CElementPool::CStash* t_pStashes = nullptr;
} // namespace

CElementPool::CStash::CStash(CElementPool& pool) : m_Pool(pool), m_pOuter(t_pStashes) {
  t_pStashes = this;
}

CElementPool::CStash::~CStash() {
  // unlink (stashes end in the reverse order of their making)
  for (CStash** link = &t_pStashes; *link; link = &(*link)->m_pOuter)
    if (*link == this) {
      *link = m_pOuter;
      break;
    }
  for (std::size_t i = m_Next; i < m_Count; i++) m_Pool.Free(m_Blocks[i]);
}

void* CElementPool::Allocate() {
  for (CStash* stash = t_pStashes; stash; stash = stash->m_pOuter) {
    if (&stash->m_Pool != this) continue;
    if (stash->m_Next == stash->m_Count) {
      stash->m_Next = stash->m_Count = 0;
      AllocateMany(kStashBlocks, stash->m_Blocks);
      stash->m_Count = kStashBlocks;
    }
    return stash->m_Blocks[stash->m_Next++];
  }
  Lock();
  void* block = TakeBlock();
  Unlock();
  if (!block) throw std::bad_alloc();
  return block;
}

void CElementPool::AllocateMany(std::size_t n, void** out) {
  Lock();
  for (std::size_t i = 0; i < n; i++) {
    out[i] = TakeBlock();
    if (!out[i]) {
      // give back what was taken: the caller gets all or nothing
      Unlock();
      for (std::size_t k = 0; k < i; k++) Free(out[k]);
      throw std::bad_alloc();
    }
  }
  Unlock();
}

void CElementPool::Free(void* block) {
  if (!block) return;
  auto* chunk = reinterpret_cast<Chunk*>(reinterpret_cast<std::uintptr_t>(block) &
                                         ~(std::uintptr_t(kChunkBytes) - 1));
  Lock();
  chunk->live--;
  m_Live--;
  if (chunk->live == 0) {
    // last block: the chunk goes back (or becomes the spare)
    Release(chunk);
    Unlock();
    return;
  }
#ifdef ORVEX_POOL_ASAN
  // freed blocks are never handed out again while the chunk lives, so that
  // a use after free stays detectable
  POOL_POISON(block, m_BlockSize);
#else
  *static_cast<void**>(block) = chunk->freeList;
  chunk->freeList = block;
  if (!chunk->roomy) LinkRoomy(chunk);
#endif
  Unlock();
}

std::size_t CElementPool::ChunkCount() const {
  Lock();
  const std::size_t n = m_Chunks;
  Unlock();
  return n;
}

std::size_t CElementPool::LiveBlocks() const {
  Lock();
  const std::size_t n = m_Live;
  Unlock();
  return n;
}

// Function-local statics: usable from any static initializer that makes
// elements, never destroyed before them.
CElementPool& VertexPool() {
  static CElementPool* pool = new CElementPool(sizeof(CVertex3d));
  return *pool;
}

CElementPool& FacePool() {
  static CElementPool* pool = new CElementPool(sizeof(CFace3d));
  return *pool;
}

// Empty chunks the side-block and undo-stack pools keep.
constexpr std::size_t kKeptEmptySideChunks = 16;

CElementPool& VertexExtraPool() {
  static CElementPool* pool = new CElementPool(sizeof(CVertexExtra3d), kKeptEmptySideChunks);
  return *pool;
}

CElementPool& FaceExtraPool() {
  static CElementPool* pool = new CElementPool(sizeof(CFaceExtra3d), kKeptEmptySideChunks);
  return *pool;
}

CElementPool& HistoryPool() {
  static CElementPool* pool = new CElementPool(sizeof(CHistory3d), kKeptEmptySideChunks);
  return *pool;
}

CElementStashes::CElementStashes()
    : m_Vertices(VertexPool()), m_Faces(FacePool()), m_VertexExtras(VertexExtraPool()),
      m_FaceExtras(FaceExtraPool()), m_Histories(HistoryPool()) {}

void ReleaseElementPools() {
  for (CElementPool* pool :
       {&VertexPool(), &FacePool(), &VertexExtraPool(), &FaceExtraPool(), &HistoryPool()})
    pool->ReleaseEmptyChunks();
}

// The elements' own allocation functions: blocks of their exact size from
// their pool; another size (a derived class) from the heap.
template <class Element> static void* AllocateElement(CElementPool& pool, std::size_t size) {
  return size == sizeof(Element) ? pool.Allocate() : ::operator new(size);
}

template <class Element> static void FreeElement(CElementPool& pool, void* p, std::size_t size) {
  if (size == sizeof(Element))
    pool.Free(p);
  else
    ::operator delete(p);
}

// Defines the allocation functions of a pooled class.
#define ORVEX_POOLED(Class, pool)                                                                  \
  void* Class::operator new(std::size_t size) {                                                    \
    return AllocateElement<Class>(pool(), size);                                                   \
  }                                                                                                \
  void Class::operator delete(void* p, std::size_t size) {                                         \
    FreeElement<Class>(pool(), p, size);                                                           \
  }

ORVEX_POOLED(CVertex3d, VertexPool)
ORVEX_POOLED(CFace3d, FacePool)
ORVEX_POOLED(CVertexExtra3d, VertexExtraPool)
ORVEX_POOLED(CFaceExtra3d, FaceExtraPool)
ORVEX_POOLED(CHistory3d, HistoryPool)
