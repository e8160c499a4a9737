#pragma once

#include <atomic>
#include <cstddef>

#if defined(__SANITIZE_ADDRESS__)
#define ORVEX_POOL_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ORVEX_POOL_ASAN 1
#endif
#endif

// Fixed-size blocks for one element class (vertices, faces), carved from
// chunks that are mapped from the system. A chunk whose last block is freed
// is kept for the next mesh, up to a bound (a mesh freed and another one
// built, on whatever threads, reuses the same pages, so resident memory
// stays flat and the pages are not cleared and faulted in again); beyond
// the bound, and for all of them on ReleaseEmptyChunks (ReleaseFreedMemory
// calls it), empty chunks go back to the system. Any thread may allocate or free (a short lock
// guards the pool); a block freed on another thread than the one that made it is reused like any
// other. Compared with the general heap a block costs its exact size (no per-block header or
// rounding), the chunks are populated in one system call instead of one page fault per page, and
// freeing a whole mesh touches no neighbouring heap bookkeeping.
//
// Chunks are kChunkBytes long and aligned to it, so that a block finds its
// chunk by masking its address. Under AddressSanitizer free blocks stay
// poisoned and a freed block is not handed out again while its chunk
// lives, so that a use after free of an element is reported.
class CElementPool {
public:
  static constexpr std::size_t kChunkBytes = std::size_t(1) << 21;
  // Empty chunks kept by default: room for the elements of a mesh of about
  // a million faces.
  static constexpr std::size_t kKeptEmptyChunks = 64;
#ifdef ORVEX_POOL_ASAN
  static constexpr bool kReusesFreedBlocks = false;
#else
  static constexpr bool kReusesFreedBlocks = true;
#endif

  explicit CElementPool(std::size_t blockSize, std::size_t keptEmptyChunks = kKeptEmptyChunks);
  CElementPool(const CElementPool&) = delete;
  CElementPool& operator=(const CElementPool&) = delete;
  // Unmaps the empty chunks; chunks still holding blocks are left to the
  // system (the element pools are never destroyed).
  ~CElementPool();

  std::size_t BlockSize() const {
    return m_BlockSize;
  }
  // A block of BlockSize() bytes; throws std::bad_alloc when the system
  // has no memory left.
  void* Allocate();
  // n blocks at once, under one lock, for builders that make many elements
  // in a row (readers): out receives them. Construct each with
  // ::new (block) Element(...); they are deleted like any other element.
  void AllocateMany(std::size_t n, void** out);
  // Gives back a block that Allocate returned (null is ignored).
  void Free(void* block);
  // Gives every empty chunk back to the system.
  void ReleaseEmptyChunks();

  // While a stash lives, Allocate on the thread that made it takes this
  // pool's blocks from it; the stash fills itself kStashBlocks at a time
  // under one lock and gives back what it did not hand out when it ends.
  // For steps that make millions of elements one by one (subdivisions):
  // one lock per batch instead of one per element. The blocks come in the
  // order single allocations would have taken them, unless blocks of the
  // pool are freed meanwhile (those wait for the next batch).
  static constexpr std::size_t kStashBlocks = 256;
  class CStash {
  public:
    explicit CStash(CElementPool& pool);
    ~CStash();
    CStash(const CStash&) = delete;
    CStash& operator=(const CStash&) = delete;

  private:
    friend class CElementPool;
    CElementPool& m_Pool;
    void* m_Blocks[kStashBlocks];
    std::size_t m_Next = 0;  // next block to hand out
    std::size_t m_Count = 0; // blocks held
    CStash* m_pOuter;        // the thread's previous stash
  };

  // Figures for tests and benchmarks.
  std::size_t ChunkCount() const;
  std::size_t LiveBlocks() const;

private:
  struct Chunk;

  void Lock() const;
  void Unlock() const;
  Chunk* NewChunk();
  // One block; the caller holds the lock. Null when no chunk can be mapped.
  void* TakeBlock();
  void Release(Chunk* chunk);
  void LinkRoomy(Chunk* chunk);
  void UnlinkRoomy(Chunk* chunk);

  const std::size_t m_BlockSize;
  std::size_t m_BlocksPerChunk = 0;
  std::size_t m_FirstOffset = 0; // offset of the first block in a chunk
  Chunk* m_pRoomy = nullptr;     // chunks with a free block, most recent first
  Chunk* m_pEmpty = nullptr;     // empty chunks kept for the next allocations
  std::size_t m_Empty = 0;       // how many
  const std::size_t m_KeptEmpty; // at most this many
  std::size_t m_Chunks = 0;      // mapped chunks, the empty ones included
  std::size_t m_Live = 0;        // blocks handed out and not freed
  mutable std::atomic_flag m_Lock = ATOMIC_FLAG_INIT;
};

// The pools of the mesh elements (CVertex3d::operator new, CFace3d's).
CElementPool& VertexPool();
CElementPool& FacePool();
// The pools of the elements' side blocks and undo stacks, which keep fewer
// empty chunks: most meshes never use them.
CElementPool& VertexExtraPool();
CElementPool& FaceExtraPool();
CElementPool& HistoryPool();
// Gives the empty chunks of every pool back to the system.
void ReleaseElementPools();

// Stashes of every element pool (elements, side blocks, undo stacks) for
// the current thread, for the length of a step that makes many elements.
class CElementStashes {
public:
  CElementStashes();

private:
  CElementPool::CStash m_Vertices, m_Faces, m_VertexExtras, m_FaceExtras, m_Histories;
};
