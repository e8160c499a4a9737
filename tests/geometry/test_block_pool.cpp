// Block pool behind mesh elements and short arrays: reuse of freed blocks,
// deletion in any order, resizing across size classes and the heap, and
// blocks that cross threads.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <set>
#include <thread>
#include <vector>

#include "geometry/BlockPool.h"
#include "geometry/Face3d.h"
#include "geometry/Vertex3d.h"

namespace {

// Fills a block with a pattern derived from seed.
void Stamp(void* block, std::size_t bytes, unsigned seed) {
  auto* p = static_cast<unsigned char*>(block);
  for (std::size_t i = 0; i < bytes; i++) p[i] = static_cast<unsigned char>(seed + 7 * i);
}

bool HasStamp(const void* block, std::size_t bytes, unsigned seed) {
  const auto* p = static_cast<const unsigned char*>(block);
  for (std::size_t i = 0; i < bytes; i++)
    if (p[i] != static_cast<unsigned char>(seed + 7 * i)) return false;
  return true;
}

} // namespace

TEST(BlockPool, FreedElementsAreReusedBeforeNewSlabs) {
  if (blockpool::Bypassed()) GTEST_SKIP() << "pool bypassed in sanitized builds";
  std::vector<CVertex3d*> first;
  for (int i = 0; i < 500; i++) first.push_back(new CVertex3d(i, 0, 0));
  std::set<CVertex3d*> addresses(first.begin(), first.end());
  for (CVertex3d* v : first) delete v;
  std::size_t slabs = blockpool::ThreadStats().slabBytes;

  std::vector<CVertex3d*> second;
  for (int i = 0; i < 500; i++) second.push_back(new CVertex3d(0, i, 0));
  for (CVertex3d* v : second) EXPECT_EQ(addresses.count(v), 1u);
  EXPECT_EQ(blockpool::ThreadStats().slabBytes, slabs);
  for (CVertex3d* v : second) delete v;
}

TEST(BlockPool, ElementsDeletedInAnyOrderLeaveTheOthersIntact) {
  std::mt19937 random(12345);
  std::vector<std::unique_ptr<CVertex3d>> vertices;
  std::vector<std::unique_ptr<CFace3d>> faces;
  auto addVertex = [&](int i) {
    vertices.emplace_back(new CVertex3d(i, -i, 2.0 * i));
    // a few list entries so the vertex owns pooled array blocks too
    for (int k = 0; k < i % 9; k++)
      vertices.back()->m_ArrayVertexNeighbor.Add(vertices.back().get());
  };
  for (int i = 0; i < 3000; i++) {
    addVertex(i);
    faces.emplace_back(new CFace3d(vertices.back().get(), nullptr, nullptr));
    faces.back()->m_Tag = i;
  }

  // delete two thirds in random order, then refill: freed blocks get reused
  for (int round = 0; round < 3; round++) {
    std::shuffle(vertices.begin(), vertices.end(), random);
    std::shuffle(faces.begin(), faces.end(), random);
    vertices.resize(vertices.size() / 3);
    faces.resize(faces.size() / 3);
    for (int i = 0; i < 2000; i++) {
      addVertex(10000 * (round + 1) + i);
      faces.emplace_back(new CFace3d(nullptr, nullptr, nullptr));
      faces.back()->m_Tag = 10000 * (round + 1) + i;
    }
  }

  std::set<const void*> live;
  for (const auto& v : vertices) {
    live.insert(v.get());
    int i = static_cast<int>(v->x);
    EXPECT_EQ(v->y, -i);
    EXPECT_EQ(v->z, 2.0 * i);
    ASSERT_EQ(v->NbNeighbor(), i % 9);
    for (CVertex3d* n : v->m_ArrayVertexNeighbor) EXPECT_EQ(n, v.get());
  }
  for (const auto& f : faces) live.insert(f.get());
  EXPECT_EQ(live.size(), vertices.size() + faces.size());
  std::set<int> tags;
  for (const auto& f : faces) tags.insert(f->m_Tag);
  EXPECT_EQ(tags.size(), faces.size());
}

TEST(BlockPool, ResizeKeepsContentsAcrossClassesAndTheHeap) {
  // sizes inside one class, across classes, onto the heap and back
  const std::size_t sizes[] = {24, 32, 40, 200, 256, 300, 1000, 64, 8, 512, 16};
  void* block = blockpool::Allocate(20);
  Stamp(block, 20, 3);
  std::size_t bytes = 20;
  for (std::size_t next : sizes) {
    std::size_t kept = std::min(bytes, next);
    void* moved = blockpool::Resize(block, bytes, next);
    ASSERT_NE(moved, nullptr);
    EXPECT_TRUE(HasStamp(moved, kept, 3)) << bytes << " -> " << next;
    Stamp(moved, next, 3);
    block = moved;
    bytes = next;
  }
  blockpool::Free(block, bytes);

  // a size change inside one class keeps the block in place
  if (!blockpool::Bypassed()) {
    void* p = blockpool::Allocate(33);
    EXPECT_EQ(blockpool::Resize(p, 33, 48), p);
    blockpool::Free(p, 48);
  }
}

TEST(BlockPool, ZeroByteBlocksAreDistinctAndNullFreeIsHarmless) {
  void* a = blockpool::Allocate(0);
  void* b = blockpool::Allocate(0);
  EXPECT_NE(a, nullptr);
  EXPECT_NE(a, b);
  blockpool::Free(a, 0);
  blockpool::Free(b, 0);
  blockpool::Free(nullptr, 64);
  void* c = blockpool::Resize(nullptr, 0, 40);
  Stamp(c, 40, 9);
  EXPECT_TRUE(HasStamp(c, 40, 9));
  blockpool::Free(c, 40);
}

TEST(BlockPool, ArraysGrowAndShrinkThroughThePoolKeepingTheirItems) {
  std::vector<int> storage(400);
  CArray3d<int> a;
  for (int i = 0; i < 400; i++) a.Add(&storage[i]); // pool classes, then the heap
  for (int i = 0; i < 400; i++) ASSERT_EQ(a[i], &storage[i]);
  a.Truncate(10);
  a.FreeExtra(); // back into a pool class
  EXPECT_EQ(a.GetCapacity(), 10);
  for (int i = 0; i < 10; i++) EXPECT_EQ(a[i], &storage[i]);
  CArray3d<int> b(std::move(a));
  b.InsertAt(3, &storage[399]);
  EXPECT_EQ(b[3], &storage[399]);
  EXPECT_EQ(b[10], &storage[9]);
  a = std::move(b);
  EXPECT_EQ(a.GetSize(), 11);
  a.RemoveAll();
  EXPECT_EQ(a.GetData(), nullptr);
}

TEST(BlockPool, ElementsMayBeDeletedByAnotherThread) {
  std::vector<CFace3d*> faces;
  std::thread maker([&] {
    for (int i = 0; i < 1000; i++) faces.push_back(new CFace3d());
  });
  maker.join();
  for (CFace3d* f : faces) delete f;

  // the blocks are now on this thread's free lists and serve it
  if (blockpool::Bypassed()) return;
  std::size_t slabs = blockpool::ThreadStats().slabBytes;
  std::vector<CFace3d*> again;
  for (int i = 0; i < 1000; i++) again.push_back(new CFace3d());
  EXPECT_EQ(blockpool::ThreadStats().slabBytes, slabs);
  for (CFace3d* f : again) delete f;
}

TEST(BlockPool, BlocksLeftByAnEndedThreadServeOtherThreads) {
  if (blockpool::Bypassed()) GTEST_SKIP() << "pool bypassed in sanitized builds";
  std::thread([] {
    std::vector<CVertex3d*> vertices;
    for (int i = 0; i < 100; i++) vertices.push_back(new CVertex3d());
    for (CVertex3d* v : vertices) delete v;
  }).join();

  // a fresh thread takes them over instead of carving a slab of its own
  std::size_t carved = 1;
  std::thread([&] {
    CVertex3d* v = new CVertex3d(1, 2, 3);
    carved = blockpool::ThreadStats().slabBytes;
    delete v;
  }).join();
  EXPECT_EQ(carved, 0u);
}
