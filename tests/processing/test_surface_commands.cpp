// The smoothing, colouring and clean-up commands on scenes: what they
// change, what they report, and the copies they add.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "geometry/Mesh3d.h"
#include "geometry/QuadMesh.h"
#include "geometry/SceneGraph3d.h"
#include "processing/QuadShapes.h"
#include "processing/Smoothing.h"
#include "processing/SurfaceCleanup.h"
#include "processing/SurfaceCommands.h"
#include "tests/support/TestMeshes.h"

using namespace testmeshes;

namespace {

CMesh3d* MeshAt(const CSceneGraph3d& scene, int i) {
  return static_cast<CMesh3d*>(scene.GetAt(i));
}

bool SamePositions(const CMesh3d& a, const CMesh3d& b) {
  if (a.NbVertex() != b.NbVertex()) return false;
  for (int i = 0; i < a.NbVertex(); i++) {
    const CVertex3d* v = a.GetVertex(i);
    const CVertex3d* w = b.GetVertex(i);
    if (v->x != w->x || v->y != w->y || v->z != w->z) return false;
  }
  return true;
}

} // namespace

TEST(SurfaceCommands, DuplicatingMultipleSmoothAddsOneSmoothedLevelPerIteration) {
  CSceneGraph3d scene;
  scene.Add(MakeGridWithHoles(6, 5, 2));
  scene.Add(MakeIcoSphere(1)); // object 1 is not a level
  CMultipleSmoothParams params;
  params.Iterations = 3;
  params.DuplicateInSceneGraph = 1;
  params.MoveBoundaries = 0;
  CSubdivisionOutcome outcome = CommandMultipleSmooth(&scene, params);
  EXPECT_EQ(outcome.changed, 1);
  ASSERT_EQ(scene.NbObject(), 5);

  // level k is the first mesh smoothed k times
  std::unique_ptr<CMesh3d> reference(MakeGridWithHoles(6, 5, 2));
  EXPECT_TRUE(SamePositions(*MeshAt(scene, 0), *reference));
  for (int level = 2; level < 5; level++) {
    Smooth(reference.get(), 0);
    EXPECT_TRUE(SamePositions(*MeshAt(scene, level), *reference)) << level;
  }
}

TEST(SurfaceCommands, MultipleSmoothInPlaceFollowsEveryStep) {
  CSceneGraph3d scene;
  scene.Add(MakeTorus(8, 6));
  CMultipleSmoothParams params;
  params.Iterations = 4;
  int steps = 0;
  CommandMultipleSmooth(&scene, params, [&steps](int) { steps++; });
  EXPECT_EQ(steps, 4);
  EXPECT_EQ(scene.NbObject(), 1);
  std::unique_ptr<CMesh3d> reference(MakeTorus(8, 6));
  for (int k = 0; k < 4; k++) Smooth(reference.get(), 1);
  EXPECT_TRUE(SamePositions(*MeshAt(scene, 0), *reference));
}

TEST(SurfaceCommands, MultiplePackAddsOneNamedCopyPerFrequency) {
  CSceneGraph3d scene;
  scene.Add(MakeGrid(8, 8)); // 81 vertices
  CSubdivisionOutcome outcome = CommandMultiplePack(&scene);
  EXPECT_EQ(outcome.changed, 1);
  ASSERT_EQ(scene.NbObject(), 16);
  for (int f = 2; f <= 16; f++) {
    const CMesh3d* copy = MeshAt(scene, f - 1);
    EXPECT_EQ(copy->m_Name, "freq : " + std::to_string(f));
    EXPECT_EQ(copy->NbVertex(), (81 + f - 1) / f);
    EXPECT_EQ(copy->NbFace(), 128);
  }
  EXPECT_EQ(MeshAt(scene, 0)->NbVertex(), 81);
}

TEST(SurfaceCommands, ImproveCompacityReportsEachPassAndTheTotal) {
  // a grid whose squares are split along alternating diagonals, stretched
  CSceneGraph3d scene;
  CMesh3d* mesh = MakeGrid(6, 6);
  for (CVertex3d* v : mesh->m_ArrayVertex) v->x += 0.7 * v->y;
  scene.Add(mesh);
  std::vector<std::string> passes;
  CSubdivisionOutcome outcome =
      CommandImproveCompacity(&scene, [&passes](const std::string& s) { passes.push_back(s); });
  ASSERT_FALSE(passes.empty());
  EXPECT_EQ(passes[0].rfind("Improve compacity...", 0), 0u);
  EXPECT_NE(outcome.status.find("Improve compacity done ("), std::string::npos);
  EXPECT_EQ(SwapForCompacity(MeshAt(scene, 0)), 0);

  // nothing to improve: 0 reported
  CSceneGraph3d sphere;
  sphere.Add(MakeIcoSphere(2));
  EXPECT_EQ(CommandImproveCompacity(&sphere).status, "Improve compacity done (0 edges swapped).");
}

TEST(SurfaceCommands, RemoveHoleTwiceFillsOnce) {
  CSceneGraph3d scene;
  scene.Add(MakeGridWithHoles(6, 6, 2));
  CommandRemoveHole(&scene);
  int faces = MeshAt(scene, 0)->NbFace(), vertices = MeshAt(scene, 0)->NbVertex();
  EXPECT_EQ(CountBoundaryEdges(MeshAt(scene, 0)), 0);
  CommandRemoveHole(&scene);
  EXPECT_EQ(MeshAt(scene, 0)->NbFace(), faces);
  EXPECT_EQ(MeshAt(scene, 0)->NbVertex(), vertices);
}

TEST(SurfaceCommands, RemoveFacesByNeighbourCountAndDuplicates) {
  struct Case {
    const char* name;
    CSubdivisionOutcome (*run)(CSceneGraph3d*);
    int facesLeft;
  };
  // a 2 x 1 grid: its 4 faces have 1, 2, 2, 1 neighbours
  const Case cases[] = {
      {"no neighbor", [](CSceneGraph3d* s) { return CommandRemoveFacesWithNeighbors(s, 0); }, 4},
      {"1 neighbor", [](CSceneGraph3d* s) { return CommandRemoveFacesWithNeighbors(s, 1); }, 2},
      {"2 neighbors", [](CSceneGraph3d* s) { return CommandRemoveFacesWithNeighbors(s, 2); }, 2},
      {"duplicate", CommandRemoveDuplicateFaces, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CSceneGraph3d scene;
    scene.Add(MakeGrid(2, 1));
    EXPECT_EQ(c.run(&scene).changed, 1);
    EXPECT_EQ(MeshAt(scene, 0)->NbFace(), c.facesLeft);
  }
  // a face listed twice and a degenerate one go
  CSceneGraph3d scene;
  CMesh3d* mesh = MakeGrid(2, 1);
  AddFace(*mesh, mesh->GetVertex(0), mesh->GetVertex(1), mesh->GetVertex(4));
  AddFace(*mesh, mesh->GetVertex(0), mesh->GetVertex(0), mesh->GetVertex(4));
  scene.Add(mesh);
  CommandRemoveDuplicateFaces(&scene);
  EXPECT_EQ(MeshAt(scene, 0)->NbFace(), 4);
}

TEST(SurfaceCommands, ReportsAndScenesWithoutAMesh) {
  CSceneGraph3d scene;
  scene.Add(MakeMesh({0, 0, 0, 1, 0, 0, 0.5, 0.8660254037844386, 0}, {0, 1, 2}));
  EXPECT_EQ(CommandMeanCompacity(&scene).status.rfind("Mean compacity: 0.6046", 0), 0u);
  EXPECT_EQ(CommandMeanCompacity(&scene).changed, 0);

  // commands on the first object do nothing when it is not a mesh
  CSceneGraph3d other;
  other.Add(new CObject3d);
  other.Add(MakeGrid(2, 2));
  EXPECT_EQ(CommandMeanCompacity(&other).status, "");
  EXPECT_EQ(CommandRemoveHole(&other).changed, 0);
  EXPECT_EQ(CommandSpring(&other).changed, 0);
  EXPECT_EQ(CommandPackVertices(&other, 4).changed, 0);
  EXPECT_EQ(CommandMultiplePack(&other).changed, 0);
  EXPECT_EQ(CommandImproveCompacity(&other).changed, 0);
  EXPECT_EQ(other.NbObject(), 2);
  // commands on every mesh still reach the second object
  EXPECT_EQ(CommandSmooth(&other).changed, 1);
  EXPECT_EQ(CommandColorByMeasure(&other, CMeasure::Height).changed, 1);
  EXPECT_EQ(MeshAt(other, 1)->m_ColorBinding, 0);
  EXPECT_EQ(CommandColorByMeasure(&other, CMeasure::Compacity).changed, 1);
  EXPECT_EQ(MeshAt(other, 1)->m_ColorBinding, 1);

  // a quad mesh is smoothed by its own rule beside the triangle meshes
  CSceneGraph3d quads;
  quads.Add(MakeQuadBox());
  const float before = static_cast<CQuadMesh*>(quads.GetAt(0))->m_Vertices[0].x;
  EXPECT_EQ(CommandSmooth(&quads).changed, 1);
  EXPECT_NE(static_cast<CQuadMesh*>(quads.GetAt(0))->m_Vertices[0].x, before);
}

TEST(SurfaceCommands, PackVerticesFrequencyBelowTwoDoesNothing) {
  for (int f : {1, 0, -1}) {
    CSceneGraph3d scene;
    scene.Add(MakeGrid(3, 3));
    EXPECT_EQ(CommandPackVertices(&scene, f).changed, 0);
    EXPECT_EQ(MeshAt(scene, 0)->NbVertex(), 16);
  }
  CSceneGraph3d scene;
  scene.Add(MakeGrid(3, 3));
  EXPECT_EQ(CommandPackVertices(&scene, 4).changed, 1);
  EXPECT_EQ(MeshAt(scene, 0)->NbVertex(), 4);
}
