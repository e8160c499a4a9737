// Storage of mesh elements and arrays: deletion in any order, growth and
// shrinking, and meshes built on one thread and freed on another (the worker
// thread and script modules do this). The cross-thread tests also run under
// ThreadSanitizer.

#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <queue>
#include <random>
#include <set>
#include <thread>
#include <vector>

#include "geometry/Face3d.h"
#include "geometry/Mesh3d.h"
#include "geometry/Vertex3d.h"
#include "tests/support/TestMeshes.h"

TEST(ElementStorage, ElementsDeletedInAnyOrderLeaveTheOthersIntact) {
  std::mt19937 random(12345);
  std::vector<std::unique_ptr<CVertex3d>> vertices;
  std::vector<std::unique_ptr<CFace3d>> faces;
  auto addVertex = [&](int i) {
    vertices.emplace_back(new CVertex3d(i, -i, 2.0 * i));
    // a few list entries so the vertex owns array blocks too
    for (int k = 0; k < i % 9; k++)
      vertices.back()->m_ArrayVertexNeighbor.Add(vertices.back().get());
  };
  for (int i = 0; i < 3000; i++) {
    addVertex(i);
    faces.emplace_back(new CFace3d(vertices.back().get(), nullptr, nullptr));
    faces.back()->m_Tag = i;
  }

  // delete two thirds in random order, then refill: the survivors must be untouched
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

TEST(ElementStorage, ArraysGrowAndShrinkKeepingTheirItems) {
  std::vector<int> storage(400);
  CArray3d<int> a;
  for (int i = 0; i < 400; i++) a.Add(&storage[i]);
  for (int i = 0; i < 400; i++) ASSERT_EQ(a[i], &storage[i]);
  a.Truncate(10);
  a.FreeExtra();
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

TEST(ElementStorage, ElementsMayBeDeletedByAnotherThread) {
  std::vector<CFace3d*> faces;
  std::thread maker([&] {
    for (int i = 0; i < 1000; i++) faces.push_back(new CFace3d());
  });
  maker.join();
  for (CFace3d* f : faces) delete f;
  std::vector<CFace3d*> again;
  for (int i = 0; i < 1000; i++) again.push_back(new CFace3d());
  for (CFace3d* f : again) delete f;
}

namespace {

// Meshes handed from a producer thread to a consumer thread; null ends it.
class CMeshQueue {
public:
  void Push(CMesh3d* mesh) {
    {
      std::lock_guard<std::mutex> lock(m_Mutex);
      m_Meshes.push(mesh);
    }
    m_Ready.notify_one();
  }
  CMesh3d* Pop() {
    std::unique_lock<std::mutex> lock(m_Mutex);
    m_Ready.wait(lock, [this] { return !m_Meshes.empty(); });
    CMesh3d* mesh = m_Meshes.front();
    m_Meshes.pop();
    return mesh;
  }

private:
  std::mutex m_Mutex;
  std::condition_variable m_Ready;
  std::queue<CMesh3d*> m_Meshes;
};

// Number of (face, corner) links that the corner's face list confirms.
int ConfirmedCorners(const CMesh3d& mesh) {
  int confirmed = 0;
  for (const CFace3d* f : mesh.m_ArrayFace)
    for (int k = 0; k < 3; k++) confirmed += f->v(k)->HasFace(f);
  return confirmed;
}

} // namespace

// Both threads allocate while the other frees: a producer builds meshes
// (elements and adjacency lists) and edits them, the consumer checks and
// frees them, for several rounds; each round also runs the other way round.
TEST(ElementStorage, MeshesBuiltOnOneThreadAreFreedOnAnother) {
  const int kRounds = 4, kMeshesPerRound = 6;
  for (int round = 0; round < kRounds; round++) {
    CMeshQueue queue;
    bool producerOnMain = round % 2 == 1;
    auto produce = [&queue, round] {
      for (int i = 0; i < kMeshesPerRound; i++) {
        CMesh3d* mesh = i % 2 ? testmeshes::MakeTorus(12 + i, 10 + round)
                              : testmeshes::MakeGrid(10 + round, 8 + i);
        mesh->DeleteFacesWithVertex(mesh->GetVertex(0)); // frees on this thread too
        mesh->RemoveUnusedVertices();
        mesh->Rebuild();
        queue.Push(mesh);
      }
      queue.Push(nullptr);
    };
    int checked = 0;
    auto consume = [&queue, &checked] {
      while (CMesh3d* mesh = queue.Pop()) {
        EXPECT_EQ(ConfirmedCorners(*mesh), 3 * mesh->NbFace());
        CMesh3d copy;
        copy.Copy(mesh); // allocates here while the producer allocates there
        delete mesh;
        copy.Rebuild();
        EXPECT_EQ(ConfirmedCorners(copy), 3 * copy.NbFace());
        checked++;
      }
    };
    if (producerOnMain) {
      std::thread consumer(consume);
      produce();
      consumer.join();
    } else {
      std::thread producer(produce);
      consume();
      producer.join();
    }
    EXPECT_EQ(checked, kMeshesPerRound);
  }
}
