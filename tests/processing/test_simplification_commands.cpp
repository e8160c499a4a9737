// The simplification commands on scenes: their edge cases, the surfaces
// they leave (no repeated face, no edge of three faces), the coarse series
// and the intermediate file of edge-based simplification read back.

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <memory>
#include <set>
#include <string>

#include "geometry/Mesh3d.h"
#include "geometry/SceneGraph3d.h"
#include "io/ReadVrml.h"
#include "processing/SimplificationCommands.h"
#include "tests/support/MeshChecks.h"
#include "tests/support/SimplificationReference.h"
#include "tests/support/TestFolder.h"
#include "tests/support/TestMeshes.h"

namespace ref = simplificationreference;

namespace {

// A scene holding the mesh as its first object.
std::unique_ptr<CSceneGraph3d> SceneOf(CMesh3d* mesh) {
  auto scene = std::make_unique<CSceneGraph3d>();
  scene->Add(mesh);
  return scene;
}

CMesh3d* First(CSceneGraph3d& scene) {
  return static_cast<CMesh3d*>(scene.GetAt(0));
}

// No two faces with the same three corners.
int RepeatedFaces(const CMesh3d& mesh) {
  std::set<std::set<const CVertex3d*>> seen;
  int repeated = 0;
  for (const CFace3d* f : mesh.m_ArrayFace)
    if (!seen.insert({f->v(0), f->v(1), f->v(2)}).second) repeated++;
  return repeated;
}

CEdgeBasedParams Quiet() {
  CEdgeBasedParams p;
  p.Update = 0;
  return p;
}

} // namespace

TEST(SimplificationCommands, RandomIndexStaysBelowTheCount) {
  struct Case {
    int r, n, index;
  };
  const Case cases[] = {{0, 10, 0},     {32767, 1, 0},
                        {32767, 10, 9}, {32767, 1 << 20, (1 << 20) - 1},
                        {16384, 2, 1},  {3277, 10, 1}};
  for (const Case& c : cases) EXPECT_EQ(RandomIndex(c.r, c.n), c.index) << c.r << " " << c.n;
}

TEST(SimplificationCommands, RandomCollapseWithNothingToCollapseChangesNothing) {
  // empty, a lone vertex, and a tetrahedron whose every collapse is refused
  // (each corner keeps only three faces)
  for (const char* name : {"empty", "lone vertex", "tetrahedron"}) {
    SCOPED_TRACE(name);
    auto* mesh = new CMesh3d;
    if (std::string(name) == "lone vertex") testmeshes::AddVertex(*mesh, 0, 0, 0);
    if (std::string(name) == "tetrahedron") mesh->MakeTetrahedron(), mesh->Rebuild();
    auto scene = SceneOf(mesh);
    const ref::CMeshDigest before = ref::Digest(*mesh);
    CRandom15 random;
    for (int i = 0; i < 20; i++)
      EXPECT_EQ(CommandRandomEdgeCollapse(scene.get(), random).changed, 0);
    EXPECT_TRUE(ref::Digest(*mesh) == before);
  }
}

TEST(SimplificationCommands, IndependentCollapsesRemoveTwoFacesEach) {
  const std::function<CMesh3d*()> meshes[] = {
      [] { return testmeshes::MakeIcoSphere(3); },
      [] { return testmeshes::MakeTorus(20, 12); },
      [] { return ref::MakeNoisyGridWithHoles(16, 12, 4, 0.2, 3); },
  };
  for (auto& make : meshes) {
    std::unique_ptr<CMesh3d> mesh(make());
    int faces = mesh->NbFace(), vertices = mesh->NbVertex();
    int collapsed = IndependentEdgeCollapses(mesh.get());
    EXPECT_GT(collapsed, 0);
    EXPECT_EQ(faces - mesh->NbFace(), 2 * collapsed);
    EXPECT_EQ(vertices - mesh->NbVertex(), collapsed);
    EXPECT_EQ(mesh->NbFaceWithFlag(1), 0);
    EXPECT_LE(meshchecks::MaxFacesOnAnEdge(*mesh), 2);
  }
}

TEST(SimplificationCommands, EdgeBasedEndsAtTheTargetOrWithoutEdges) {
  struct Case {
    const char* name;
    double alphaInit, alphaStep;
    int combination, boundaries;
    double keep;
    bool atTarget; // ends exactly at the target
    bool none;     // takes no edge at all
  };
  const Case cases[] = {
      {"alpha above 1 takes nothing", 1.5, 0.1, 1, 0, 0.5, false, true},
      {"target reached", 0.1, 0.1, 1, 1, 0.5, true, false},
      {"target reached without combination", 0.1, 0.1, 0, 0, 0.8, true, false},
      {"every edge taken", 0.1, 0.1, 0, 0, 0.0, false, false},
      {"negative step never retries", -0.5, -1.0, 1, 0, 0.0, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<CMesh3d> mesh(testmeshes::MakeGrid(12, 12));
    int before = mesh->NbVertex();
    CEdgeBasedParams p = Quiet();
    p.AlphaInit = c.alphaInit;
    p.AlphaStep = c.alphaStep;
    p.Combination = c.combination;
    p.CollapseBoundaries = c.boundaries;
    p.Final = static_cast<int>(before * c.keep);
    int collapsed = EdgeBasedSimplification(mesh.get(), p, nullptr, {});
    EXPECT_EQ(mesh->NbVertex(), before - collapsed);
    if (c.none) {
      EXPECT_EQ(collapsed, 0);
    }
    if (c.atTarget) {
      EXPECT_EQ(mesh->NbVertex(), p.Final);
    } else {
      EXPECT_GT(mesh->NbVertex(), p.Final);
    }
  }
}

TEST(SimplificationCommands, TargetsNotBelowTheSizeAreRefused) {
  auto scene = SceneOf(testmeshes::MakeIcoSphere(2));
  int faces = First(*scene)->NbFace(), vertices = First(*scene)->NbVertex();
  CFaceBasedParams face;
  face.Final = faces;
  EXPECT_EQ(CommandFaceBased(scene.get(), face, {}).message, kInvalidComplexityText);
  std::string clipboard;
  EXPECT_TRUE(CommandErrorAccumulation(scene.get(), vertices, 0, {}, clipboard).message.empty());
  EXPECT_TRUE(clipboard.empty());
  EXPECT_EQ(First(*scene)->NbFace(), faces);
  EXPECT_EQ(CommandErrorAccumulation(scene.get(), vertices / 2, 0, {}, clipboard).changed, 1);
  EXPECT_EQ(clipboard, "Accumulator\tRemoved\r\n");
  EXPECT_EQ(First(*scene)->NbVertex(), vertices / 2);
}

TEST(SimplificationCommands, NoCommandLeavesARepeatedFaceOrAThreeFaceEdge) {
  using Command = std::function<void(CSceneGraph3d*)>;
  struct Case {
    const char* name;
    Command run;
  };
  const Case commands[] = {
      {"random",
       [](CSceneGraph3d* s) {
         CRandom15 random(5);
         for (int i = 0; i < 200; i++) CommandRandomEdgeCollapse(s, random);
         First(*s)->Rebuild();
       }},
      {"independent", [](CSceneGraph3d* s) { CommandIndependentEdgeCollapse(s); }},
      {"vertex removals", [](CSceneGraph3d* s) { CommandVertexRemovals(s); }},
      {"edge-based to 10%",
       [](CSceneGraph3d* s) {
         CEdgeBasedParams p = Quiet();
         p.Combination = 0;
         p.CollapseBoundaries = 1;
         p.Final = First(*s)->NbVertex() / 10;
         CommandEdgeBased(s, p, "", {});
       }},
      {"error accumulation to 10%",
       [](CSceneGraph3d* s) {
         std::string clipboard;
         CommandErrorAccumulation(s, First(*s)->NbVertex() / 10, 1, {}, clipboard);
       }},
      // the fields: final, visual debugging, multiple face collapse, smooth
      // geomorph, stages
      {"face-based to nothing", [](CSceneGraph3d* s) { CommandFaceBased(s, {}, {}); }},
      {"multiple face collapse",
       [](CSceneGraph3d* s) {
         CommandFaceBased(s, {0, 1, 1}, {});
       }},
      {"three geomorph stages",
       [](CSceneGraph3d* s) {
         CommandFaceBased(s, {0, 0, 0, 1, 3}, {});
       }},
      {"fast face collapses", [](CSceneGraph3d* s) { CommandFastFaceCollapses(s, {}); }},
  };
  const std::function<CMesh3d*()> meshes[] = {
      [] { return ref::MakeNoisySphere(3, 0.1, 9); },
      [] { return ref::MakeNoisyGridWithHoles(20, 16, 5, 0.2, 4); },
      [] { return testmeshes::MakeTorus(24, 12); },
  };
  for (const Case& c : commands)
    for (auto& make : meshes) {
      SCOPED_TRACE(c.name);
      auto scene = SceneOf(make());
      c.run(scene.get());
      for (int i = 0; i < scene->NbObject(); i++) {
        const CMesh3d& mesh = *static_cast<CMesh3d*>(scene->GetAt(i));
        EXPECT_EQ(RepeatedFaces(mesh), 0);
        EXPECT_LE(meshchecks::MaxFacesOnAnEdge(mesh), 2);
        meshchecks::ExpectConsistentAdjacency(mesh);
      }
    }
}

TEST(SimplificationCommands, MultipleFaceCollapseSelectsFacesWithoutSharedCorners) {
  std::unique_ptr<CMesh3d> mesh(ref::MakeNoisySphere(3, 0.05, 2));
  mesh->SetFlagOnFaces(0);
  std::vector<CFace3d*> selected = SelectIndependentFaces(mesh.get(), 0);
  ASSERT_GT(selected.size(), 10u);
  std::set<const CVertex3d*> corners;
  for (const CFace3d* f : selected)
    for (int k = 0; k < 3; k++) EXPECT_TRUE(corners.insert(f->v(k)).second);

  // the geomorph collapses an appended copy and leaves the first mesh whole
  auto scene = SceneOf(ref::MakeNoisySphere(3, 0.05, 2));
  int faces = First(*scene)->NbFace();
  CommandFastFaceCollapses(scene.get(), {});
  ASSERT_EQ(scene->NbObject(), 2);
  EXPECT_EQ(First(*scene)->NbFace(), faces);
  EXPECT_EQ(static_cast<CMesh3d*>(scene->GetAt(1))->NbFace(),
            faces - 4 * static_cast<int>(selected.size()));
}

TEST(SimplificationCommands, TruncationsKeepTheFirstFaces) {
  struct Case {
    int levels;
    std::vector<int> sizes;
  };
  const Case cases[] = {{4, {750, 500, 250}}, {1, {}}, {0, {}}, {-3, {}}, {3, {666, 333}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.levels);
    // a 25 x 20 grid has 1000 faces
    auto scene = SceneOf(testmeshes::MakeGrid(25, 20));
    CommandCoarseProgressive(scene.get(), c.levels);
    ASSERT_EQ(scene->NbObject(), 1 + static_cast<int>(c.sizes.size()));
    for (size_t i = 0; i < c.sizes.size(); i++)
      EXPECT_EQ(static_cast<CMesh3d*>(scene->GetAt(static_cast<int>(i) + 1))->NbFace(), c.sizes[i]);
  }

  auto scene = SceneOf(testmeshes::MakeGrid(10, 10));
  int vertices = First(*scene)->NbVertex();
  EXPECT_EQ(CommandKeepFaces(scene.get(), -1).changed, 0);
  EXPECT_EQ(First(*scene)->NbFace(), 200);
  EXPECT_EQ(CommandKeepFaces(scene.get(), 10).changed, 1);
  EXPECT_EQ(First(*scene)->NbFace(), 10);
  EXPECT_EQ(First(*scene)->NbVertex(), vertices);
  meshchecks::ExpectConsistentAdjacency(*First(*scene));
}

TEST(SimplificationCommands, TheSavedFileReadsBack) {
  std::filesystem::path dir = testsupport::FreshTestFolder("orvex_simplification_save_");
  struct Case {
    int frequency;
    bool several; // more than one mesh written
  };
  for (const Case& c : {Case{0, false}, Case{40, true}}) {
    SCOPED_TRACE(c.frequency);
    std::string path = (dir / ("mesh" + std::to_string(c.frequency) + ".wrl")).string();
    auto scene = SceneOf(ref::MakeNoisySphere(2, 0.1, 3));
    CEdgeBasedParams p = Quiet();
    p.Final = First(*scene)->NbVertex() / 2;
    p.Save = 1;
    p.SaveFrequency = c.frequency;
    EXPECT_TRUE(CommandEdgeBased(scene.get(), p, path, {}).message.empty());

    std::ifstream in(path);
    std::string header;
    std::getline(in, header);
    EXPECT_EQ(header, "#VRML V2.0 utf8");
    CSceneGraph3d back;
    CVrmlParser parser;
    ASSERT_EQ(parser.Load(path, &back), 1) << parser.GetError();
    ASSERT_GE(back.NbObject(), 1);
    EXPECT_EQ(back.NbObject() > 1, c.several);
    CMesh3d* last = static_cast<CMesh3d*>(back.GetAt(back.NbObject() - 1));
    if (!c.several) {
      EXPECT_EQ(last->NbVertex(), First(*scene)->NbVertex());
    }
  }
}
