// Storage of mesh elements and arrays: deletion in any order, growth and
// shrinking, and meshes built on one thread and freed on another (the worker
// thread and script modules do this). The cross-thread tests also run under
// ThreadSanitizer.

#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <functional>
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

// The rarely used fields live in a side block that appears with the first
// value differing from the default; defaults written in bulk allocate
// nothing, and every value reads back through its accessor.
TEST(ElementStorage, RareFieldsAllocateTheirBlockOnlyWhenUsed) {
  struct Case {
    const char* name;
    std::function<void(CVertex3d&)> write;
    std::function<bool(const CVertex3d&)> readsBack;
    bool allocates;
  };
  CVertex3d other;
  const std::vector<Case> cases = {
      {"tag A zero", [](CVertex3d& v) { v.SetTagA(0); },
       [](const CVertex3d& v) { return v.GetTagA() == 0; }, false},
      {"tag B", [](CVertex3d& v) { v.SetTagB(5); },
       [](const CVertex3d& v) { return v.GetTagB() == 5; }, true},
      {"tag D", [](CVertex3d& v) { v.SetTagD(-2); },
       [](const CVertex3d& v) { return v.GetTagD() == -2; }, true},
      {"counter zero", [](CVertex3d& v) { v.SetCounter(0); },
       [](const CVertex3d& v) { return v.GetCounter() == 0; }, false},
      {"target null", [](CVertex3d& v) { v.SetTarget(nullptr); },
       [](const CVertex3d& v) { return !v.GetTarget(); }, false},
      {"target", [&other](CVertex3d& v) { v.SetTarget(&other); },
       [&other](const CVertex3d& v) { return v.GetTarget() == &other; }, true},
      {"saved origin", [](CVertex3d& v) { v.SetSavedPosition(0, 0, 0); },
       [](const CVertex3d& v) { return v.SavedPosition().Length() == 0; }, false},
      {"saved position", [](CVertex3d& v) { v.SavePosition(); },
       [](const CVertex3d& v) { return v.SavedPosition().x == 1.5; }, true},
      {"history", [](CVertex3d& v) { v.PushPosition(); },
       [](const CVertex3d& v) { return v.GetHistory() != nullptr; }, true},
  };
  for (const Case& c : cases) {
    CVertex3d v(1.5, 2, 3);
    c.write(v);
    EXPECT_EQ(v.HasExtra(), c.allocates) << c.name;
    EXPECT_TRUE(c.readsBack(v)) << c.name;
  }
  // faces: tag and auxiliary vector
  CFace3d f;
  f.SetTag(0);
  f.SetAux(CVector3d());
  EXPECT_FALSE(f.HasExtra());
  f.SetAux(CVector3d(1, 2, 3));
  f.SetTag(4);
  EXPECT_TRUE(f.HasExtra());
  EXPECT_EQ(f.GetTag(), 4);
  EXPECT_EQ(f.GetAux().z, 3.0);
  // swapping positions with the saved ones gives the vertex its block
  CVertex3d w(1, 2, 3);
  w.SwapSavedPosition();
  EXPECT_EQ(w.x, 0.0);
  EXPECT_EQ(w.SavedPosition().z, 3.0);
}

// A mesh of valence-six vertices keeps every neighbour list inside its
// vertex and gives no vertex or face a side block.
TEST(ElementStorage, ClosedValenceSixMeshNeedsNoBlocks) {
  std::unique_ptr<CMesh3d> torus(testmeshes::MakeTorus(16, 12));
  torus->Rebuild();
  for (const CVertex3d* v : torus->m_ArrayVertex) {
    ASSERT_EQ(v->NbNeighbor(), 6);
    EXPECT_EQ(v->m_ArrayVertexNeighbor.GetCapacity(), CVertex3d::kInlineNeighbors);
    EXPECT_EQ(v->m_ArrayFaceNeighbor.GetCapacity(), CVertex3d::kInlineNeighbors);
    EXPECT_FALSE(v->HasExtra());
  }
  for (const CFace3d* f : torus->m_ArrayFace) EXPECT_FALSE(f->HasExtra());
}
