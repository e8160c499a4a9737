#include <gtest/gtest.h>

#include <regex>

#include "geometry/Random15.h"
#include "geometry/SceneGraph3d.h"
#include "processing/SubdivisionCommands.h"
#include "processing/SubdivisionMemory.h"
#include "tests/processing/SubdivisionChecks.h"
#include "tests/support/TestMeshes.h"

namespace {

CMesh3d* MeshAt(const CSceneGraph3d& scene, int i) {
  return static_cast<CMesh3d*>(scene.GetAt(i));
}

} // namespace

TEST(Random15, ReferenceSequence) {
  CRandom15 random;
  EXPECT_EQ(random.Next(), 16838);
  EXPECT_EQ(random.Next(), 5758);
  EXPECT_EQ(random.Next(), 10113);
  random.Seed(1);
  EXPECT_EQ(random.Next(), 16838);
}

TEST(SubdivisionCommands, LoopStdSumsEveryTriangleMesh) {
  CSceneGraph3d scene;
  scene.Add(testmeshes::MakeIcoSphere(1));  // 80 faces
  scene.Add(new CObject3d);                 // not a mesh: left alone
  scene.Add(testmeshes::MakeGrid(2, 2));    // 8 faces
  MeshAt(scene, 0)->GetFace(3)->m_Flag = 5; // stale flags are cleared first
  CSubdivisionOutcome outcome = CommandLoopStd(&scene);
  EXPECT_EQ(outcome.changed, 1);
  EXPECT_TRUE(outcome.message.empty());
  EXPECT_TRUE(std::regex_match(outcome.status,
                               std::regex(R"(Loop done, 88 -> 352 faces, [0-9.e+-]+ s\.\.\.)")))
      << outcome.status;
  EXPECT_EQ(MeshAt(scene, 0)->NbFace(), 320);
  EXPECT_EQ(MeshAt(scene, 2)->NbFace(), 32);

  // an empty scene still reports
  CSceneGraph3d empty;
  EXPECT_TRUE(std::regex_match(CommandLoopStd(&empty).status,
                               std::regex(R"(Loop done, 0 -> 0 faces, [0-9.e+-]+ s\.\.\.)")));
}

TEST(SubdivisionCommands, LoopMultipleInPlaceAndDuplicated) {
  // in place, the views told after each step
  CSceneGraph3d scene;
  scene.Add(testmeshes::MakeIcoSphere(0)); // 20 faces
  CMultipleSmoothParams params;
  EXPECT_EQ(params.Iterations, 1);
  EXPECT_EQ(params.MoveBoundaries, 1);
  EXPECT_EQ(params.DuplicateInSceneGraph, 0);
  params.Iterations = 2;
  int steps = 0;
  EXPECT_EQ(CommandLoopMultiple(&scene, params, [&](int) { steps++; }).changed, 1);
  EXPECT_EQ(steps, 2);
  EXPECT_EQ(MeshAt(scene, 0)->NbFace(), 320);

  // duplicated: each level copies the one before, whatever follows object 0
  CSceneGraph3d levels;
  levels.Add(testmeshes::MakeIcoSphere(0));
  levels.Add(testmeshes::MakeGrid(1, 1)); // another mesh at index 1
  params.Iterations = 3;
  params.DuplicateInSceneGraph = 1;
  EXPECT_EQ(CommandLoopMultiple(&levels, params).changed, 1);
  ASSERT_EQ(levels.NbObject(), 5);
  EXPECT_EQ(MeshAt(levels, 0)->NbFace(), 20);
  EXPECT_EQ(MeshAt(levels, 2)->NbFace(), 80);
  EXPECT_EQ(MeshAt(levels, 3)->NbFace(), 320);
  EXPECT_EQ(MeshAt(levels, 4)->NbFace(), 1280);
  EXPECT_EQ(testmeshes::CountBoundaryEdges(MeshAt(levels, 4)), 0);

  // first object not a triangle mesh: nothing
  CSceneGraph3d other;
  other.Add(new CObject3d);
  other.Add(testmeshes::MakeIcoSphere(0));
  EXPECT_EQ(CommandLoopMultiple(&other, params).changed, 0);
  EXPECT_EQ(other.NbObject(), 2);
}

TEST(SubdivisionCommands, TooManyIterationsAreRefused) {
  CSceneGraph3d scene;
  scene.Add(testmeshes::MakeIcoSphere(1));
  CMultipleSmoothParams params;
  params.Iterations = 30;
  CSubdivisionOutcome outcome = CommandLoopMultiple(&scene, params);
  EXPECT_EQ(outcome.changed, 0);
  EXPECT_EQ(outcome.message, "Insuffisant memory");
  EXPECT_EQ(MeshAt(scene, 0)->NbFace(), 80);
  params.Iterations = CMultipleSmoothParams::kIterationsMax;
  params.DuplicateInSceneGraph = 1;
  EXPECT_EQ(CommandLoopMultiple(&scene, params).message, "Insuffisant memory");
  EXPECT_EQ(scene.NbObject(), 1);
  params.Iterations = 0;
  EXPECT_EQ(CommandLoopMultiple(&scene, params).changed, 0);

  // the forecast itself
  CMeshCount count;
  count.faces = 1000;
  count.vertices = 500;
  EXPECT_EQ(CountAfterSplits(count, 2, 4, 0).faces, 16000);
  EXPECT_EQ(CountAfterSplits(count, 1, 6, 1).faces, 6000);
  EXPECT_GT(CountAfterSplits(count, 1, 4, 0).vertices, 500 + 1500);
  EXPECT_TRUE(MemoryAllows(MeshBytes(CountAfterSplits(count, 1, 4, 0)), 4000, 1e9));
  EXPECT_FALSE(MemoryAllows(MeshBytes(CountAfterSplits(count, 12, 4, 0)), 1.6e10, 1e15));
  EXPECT_FALSE(MemoryAllows(1e9, 1e6, 1e9));
}

TEST(SubdivisionCommands, SimpleAndFractalOnEveryMesh) {
  CSceneGraph3d scene;
  scene.Add(testmeshes::MakeIcoSphere(0));
  scene.Add(testmeshes::MakeGrid(1, 1));
  EXPECT_EQ(CommandSubdivisionSimple(&scene).changed, 1);
  EXPECT_EQ(MeshAt(scene, 0)->NbFace(), 80);
  EXPECT_EQ(MeshAt(scene, 1)->NbFace(), 8);
  EXPECT_EQ(CommandSubdivisionFractal(&scene).changed, 1);
  EXPECT_EQ(MeshAt(scene, 0)->NbFace(), 480);
  EXPECT_EQ(MeshAt(scene, 1)->NbFace(), 48);
  CSceneGraph3d empty;
  EXPECT_EQ(CommandSubdivisionSimple(&empty).changed, 0);
}

TEST(SubdivisionCommands, AdaptiveSelections) {
  // random: one draw per face, below 3276 selects; repeatable
  CSceneGraph3d a, b;
  a.Add(testmeshes::MakeTorus(16, 8));
  b.Add(testmeshes::MakeTorus(16, 8));
  CRandom15 first(3), second(3), count(3);
  int selected = 0;
  for (int i = 0; i < 256; i++) selected += count.Next() < kRandomSelectionThreshold;
  ASSERT_GT(selected, 0);
  EXPECT_EQ(CommandLoopAdaptiveRandom(&a, first).changed, 1);
  CommandLoopAdaptiveRandom(&b, second);
  EXPECT_EQ(MeshAt(a, 0)->NbFace(), MeshAt(b, 0)->NbFace());
  EXPECT_GE(MeshAt(a, 0)->NbFace(), 256 + selected);
  EXPECT_EQ(testmeshes::CountBoundaryEdges(MeshAt(a, 0)), 0);

  // curvature: only faces near the sharp corners of a tetrahedron-like tent
  CSceneGraph3d tent;
  tent.Add(testmeshes::MakeMesh({0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1},
                                {0, 2, 1, 0, 1, 3, 0, 3, 2, 1, 2, 3}));
  EXPECT_EQ(CommandLoopAdaptiveCurvature(&tent).changed, 1);
  EXPECT_GT(MeshAt(tent, 0)->NbFace(), 4);
  EXPECT_EQ(subdivisionchecks::MaxFacesOnEdge(*MeshAt(tent, 0)), 2);

  // active face: range-checked
  CSceneGraph3d scene;
  scene.Add(testmeshes::MakeIcoSphere(0));
  EXPECT_EQ(CommandLoopAdaptiveActiveFace(&scene, 20).changed, 0);
  EXPECT_EQ(CommandLoopAdaptiveActiveFace(&scene, -1).changed, 0);
  EXPECT_EQ(MeshAt(scene, 0)->NbFace(), 20);
  EXPECT_EQ(CommandLoopAdaptiveActiveFace(&scene, 0).changed, 1);
  EXPECT_EQ(MeshAt(scene, 0)->NbFace(), 26); // four, and its three neighbours two each
  EXPECT_TRUE(subdivisionchecks::ScratchCleared(*MeshAt(scene, 0)));
}
