// The element pools: exact-size blocks in chunks given back when empty,
// allocation and freeing from any thread (also under ThreadSanitizer), and
// the mesh paths that free elements singly, in bulk, through clones and
// across threads leaving no block behind.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <new>
#include <random>
#include <set>
#include <thread>
#include <vector>

#include "geometry/ElementPool.h"
#include "geometry/Face3d.h"
#include "geometry/Mesh3d.h"
#include "geometry/SceneGraph3d.h"
#include "geometry/Vertex3d.h"
#include "tests/support/SceneFingerprint.h"
#include "tests/support/TestMeshes.h"

using namespace testmeshes;

namespace {

// Blocks that fill about two and a half chunks of a pool.
std::vector<void*> FillPool(CElementPool& pool) {
  const std::size_t n = 5 * CElementPool::kChunkBytes / pool.BlockSize() / 2;
  std::vector<void*> blocks;
  for (std::size_t i = 0; i < n; i++) blocks.push_back(pool.Allocate());
  return blocks;
}

// Live vertices and faces of the element pools.
struct LiveElements {
  std::size_t vertices = VertexPool().LiveBlocks();
  std::size_t faces = FacePool().LiveBlocks();
  std::size_t sideBlocks = VertexExtraPool().LiveBlocks() + FaceExtraPool().LiveBlocks();
  std::size_t undoStacks = HistoryPool().LiveBlocks();
  bool operator==(const LiveElements& o) const {
    return vertices == o.vertices && faces == o.faces && sideBlocks == o.sideBlocks &&
           undoStacks == o.undoStacks;
  }
};

} // namespace

TEST(ElementPool, BlocksAreDistinctAlignedAndChunksGoBackWhenEmpty) {
  struct Case {
    std::size_t size;
    std::size_t expectedBlock;
  };
  const Case cases[] = {{1, sizeof(void*)},
                        {24, 24},
                        {sizeof(CFace3d), sizeof(CFace3d)},
                        {sizeof(CVertex3d), sizeof(CVertex3d)},
                        {100, 104}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.size);
    CElementPool pool(c.size);
    EXPECT_EQ(pool.BlockSize(), c.expectedBlock);
    std::vector<void*> blocks = FillPool(pool);
    EXPECT_EQ(pool.LiveBlocks(), blocks.size());
    EXPECT_EQ(pool.ChunkCount(), 3u);
    std::set<std::uintptr_t> seen;
    for (void* b : blocks) {
      const auto address = reinterpret_cast<std::uintptr_t>(b);
      EXPECT_EQ(address % alignof(void*), 0u);
      seen.insert(address);
    }
    EXPECT_EQ(seen.size(), blocks.size());
    // no two blocks overlap
    std::vector<std::uintptr_t> sorted(seen.begin(), seen.end());
    for (std::size_t i = 1; i < sorted.size(); i++)
      ASSERT_GE(sorted[i] - sorted[i - 1], pool.BlockSize());

    // freed in a scattered order: every chunk empties and is kept, until
    // the empty chunks are released
    std::shuffle(blocks.begin(), blocks.end(), std::mt19937(7));
    for (void* b : blocks) pool.Free(b);
    EXPECT_EQ(pool.LiveBlocks(), 0u);
    EXPECT_EQ(pool.ChunkCount(), 3u);
    pool.ReleaseEmptyChunks();
    EXPECT_EQ(pool.ChunkCount(), 0u);
  }
}

TEST(ElementPool, EmptyChunksAreKeptUpToTheBoundAndReused) {
  struct Case {
    std::size_t kept;
    std::size_t chunksAfterFree;
  };
  const Case cases[] = {{0, 0}, {1, 1}, {2, 2}, {8, 3}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kept);
    CElementPool pool(sizeof(CVertex3d), c.kept);
    std::vector<void*> blocks = FillPool(pool);
    for (void* b : blocks) pool.Free(b);
    EXPECT_EQ(pool.ChunkCount(), c.chunksAfterFree);
    // refilled: the kept chunks serve first, only the rest is mapped
    blocks = FillPool(pool);
    EXPECT_EQ(pool.ChunkCount(), 3u);
    for (void* b : blocks) pool.Free(b);
  }
}

TEST(ElementPool, FreedBlocksAreReusedBeforeANewChunkIsMapped) {
  CElementPool pool(sizeof(CFace3d));
  std::vector<void*> blocks = FillPool(pool);
  const std::size_t chunks = pool.ChunkCount();
  // every other block freed, then as many taken again
  for (std::size_t i = 1; i < blocks.size(); i += 2) pool.Free(blocks[i]);
  for (std::size_t i = 1; i < blocks.size(); i += 2) blocks[i] = pool.Allocate();
  // (under AddressSanitizer freed blocks wait for their chunk to empty)
  if (CElementPool::kReusesFreedBlocks) {
    EXPECT_EQ(pool.ChunkCount(), chunks);
  }
  for (void* b : blocks) pool.Free(b);
  EXPECT_EQ(pool.LiveBlocks(), 0u);
}

TEST(ElementPool, TwoThreadsAllocatingAndFreeingEachOthersBlocks) {
  CElementPool pool(sizeof(CVertex3d));
  constexpr int kRounds = 20;
  constexpr int kBlocks = 20000;
  std::vector<void*> made[2];
  auto work = [&](int self) {
    for (int round = 0; round < kRounds; round++) {
      std::vector<void*> mine;
      for (int i = 0; i < kBlocks; i++) {
        void* b = pool.Allocate();
        static_cast<char*>(b)[0] = static_cast<char>(i);
        mine.push_back(b);
      }
      // free the half of the blocks that sit at odd places, keep the rest
      for (std::size_t i = 0; i < mine.size(); i += 2) pool.Free(mine[i]);
      for (std::size_t i = 1; i < mine.size(); i += 2) made[self].push_back(mine[i]);
    }
  };
  std::thread a(work, 0), b(work, 1);
  a.join();
  b.join();
  // each thread frees what the other one made
  auto freeAll = [&](int maker) {
    for (void* p : made[maker]) pool.Free(p);
  };
  std::thread freeA(freeAll, 1), freeB(freeAll, 0);
  freeA.join();
  freeB.join();
  EXPECT_EQ(pool.LiveBlocks(), 0u);
  // what both threads freed is kept for reuse, no more than they held at once
  const std::size_t perChunk = CElementPool::kChunkBytes / pool.BlockSize();
  if (CElementPool::kReusesFreedBlocks) {
    EXPECT_LE(pool.ChunkCount(), (kRounds * kBlocks + 2 * kBlocks) / perChunk + 4);
  }
  pool.ReleaseEmptyChunks();
  EXPECT_EQ(pool.ChunkCount(), 0u);
}

TEST(ElementPool, EveryMeshRemovalPathGivesItsElementsBack) {
  struct Case {
    const char* name;
    void (*remove)(CMesh3d&);
  };
  const Case cases[] = {
      {"vertices deleted one by one, then the faces",
       [](CMesh3d& m) {
         while (m.NbVertex() > 0) m.DeleteVertexAt(m.NbVertex() - 1);
         while (m.NbFace() > 0) m.RemoveFace(m.GetFace(m.NbFace() - 1));
       }},
      {"faces removed one by one, then unused vertices",
       [](CMesh3d& m) {
         while (m.NbFace() > 0) m.RemoveFace(m.GetFace(0));
         m.RemoveUnusedVertices();
       }},
      {"faces flagged and deleted in bulk",
       [](CMesh3d& m) {
         for (CFace3d* f : m.m_ArrayFace) f->m_Flag = 3;
         m.DeleteFacesWithFlag(3);
         m.RemoveUnusedVertices();
       }},
      {"whole contents", [](CMesh3d& m) { m.DeleteContents(); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const LiveElements before;
    {
      std::unique_ptr<CMesh3d> mesh(MakeTorus(30, 20));
      // side blocks and undo stacks on every element, from their own pools
      for (CVertex3d* v : mesh->m_ArrayVertex) {
        v->SetTagA(1);
        v->PushPosition();
      }
      for (CFace3d* f : mesh->m_ArrayFace) f->PushCreated();
      const LiveElements loaded;
      EXPECT_EQ(loaded.sideBlocks - before.sideBlocks, size_t(mesh->NbVertex() + mesh->NbFace()));
      EXPECT_EQ(loaded.undoStacks - before.undoStacks, size_t(mesh->NbVertex() + mesh->NbFace()));
      c.remove(*mesh);
      EXPECT_EQ(mesh->NbFace(), 0);
      EXPECT_EQ(mesh->NbVertex(), 0);
    }
    EXPECT_TRUE(LiveElements() == before);
  }
}

TEST(ElementPool, ACloneOutlivesItsSourceFreedOnAnotherThread) {
  const LiveElements before;
  auto source = std::make_unique<CSceneGraph3d>();
  source->Add(MakeGridWithHoles(40, 30, 3));
  const SceneFingerprint expected = FingerprintScene(*source);
  std::unique_ptr<CSceneGraph3d> clone(source->Clone());
  ASSERT_NE(clone, nullptr);
  std::thread([s = source.release()] { delete s; }).join();
  // the source's blocks are free and may be reused: the clone must not care
  std::unique_ptr<CMesh3d> filler(MakeTorus(40, 30));
  // the same digests, object by object (the objects themselves are others)
  SceneFingerprint now = FingerprintScene(*clone);
  ASSERT_EQ(now.objects.size(), expected.objects.size());
  for (size_t i = 0; i < now.objects.size(); i++)
    now.objects[i].identity = expected.objects[i].identity;
  EXPECT_EQ(now.Differences(expected), 0u) << AspectNames(now.Differences(expected));
  filler.reset();
  clone.reset();
  EXPECT_TRUE(LiveElements() == before);
}

TEST(ElementPool, ElementsMadeInBulkAreDeletedOneByOneOrWithTheirMesh) {
  const LiveElements before;
  struct Case {
    const char* name;
    bool viaMesh; // handed to a mesh that frees them, else deleted here
  };
  for (const Case c : {Case{"deleted one by one", false}, Case{"freed with the mesh", true}}) {
    SCOPED_TRACE(c.name);
    constexpr std::size_t kCount = 20000; // more than a chunk of either kind
    std::vector<void*> vertexBlocks(kCount), faceBlocks(kCount);
    VertexPool().AllocateMany(kCount, vertexBlocks.data());
    FacePool().AllocateMany(kCount, faceBlocks.data());
    EXPECT_EQ(std::set<void*>(vertexBlocks.begin(), vertexBlocks.end()).size(), kCount);
    auto mesh = std::make_unique<CMesh3d>();
    std::vector<CVertex3d*> vertices;
    std::vector<CFace3d*> faces;
    for (std::size_t i = 0; i < kCount; i++) {
      vertices.push_back(::new (vertexBlocks[i]) CVertex3d(double(i), 0.0, 0.0));
      faces.push_back(::new (faceBlocks[i]) CFace3d(vertices[i], vertices[i], vertices[i]));
    }
    if (c.viaMesh) {
      for (CVertex3d* v : vertices) mesh->AddVertex(v);
      for (CFace3d* f : faces) mesh->AddFace(f);
      mesh.reset();
    } else {
      for (CFace3d* f : faces) delete f;
      for (CVertex3d* v : vertices) delete v;
    }
    EXPECT_TRUE(LiveElements() == before);
  }
}

TEST(ElementPool, StashesHandOutSingleAllocationsInOrderAndGiveBackTheRest) {
  // the same sequence of blocks with and without a stash, from equal pools
  CElementPool plain(48), stashed(48), other(48);
  const std::size_t n = CElementPool::kStashBlocks + 7;
  std::vector<std::uintptr_t> expected, got;
  for (std::size_t i = 0; i < n; i++) {
    void* block = plain.Allocate();
    expected.push_back(reinterpret_cast<std::uintptr_t>(block) % CElementPool::kChunkBytes);
  }
  void* foreign = nullptr;
  {
    const CElementPool::CStash stash(stashed);
    for (std::size_t i = 0; i < n; i++)
      got.push_back(reinterpret_cast<std::uintptr_t>(stashed.Allocate()) %
                    CElementPool::kChunkBytes);
    // another pool, and the same pool on another thread, are not stashed
    other.Allocate();
    EXPECT_EQ(other.LiveBlocks(), 1u);
    std::thread([&] { foreign = stashed.Allocate(); }).join();
    EXPECT_EQ(stashed.LiveBlocks(), 2 * CElementPool::kStashBlocks + 1);
  }
  EXPECT_EQ(got, expected);
  // what the stash did not hand out went back
  EXPECT_EQ(stashed.LiveBlocks(), n + 1);
  stashed.Free(foreign);
  EXPECT_EQ(stashed.LiveBlocks(), n);
}
