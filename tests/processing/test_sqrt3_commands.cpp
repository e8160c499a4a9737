// The V3 commands on a scene: the silhouette refinement's stages and
// status texts, and the steps every mesh takes.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "geometry/Mesh3d.h"
#include "geometry/SceneGraph3d.h"
#include "processing/Sqrt3Commands.h"
#include "processing/Sqrt3Subdivision.h"
#include "tests/support/TestMeshes.h"

namespace {

struct Recorder {
  std::vector<std::string> texts;
  int redraws = 0, projections = 0;
  CSqrt3Hooks Hooks() {
    CSqrt3Hooks hooks;
    hooks.status = [this](const std::string& text) { texts.push_back(text); };
    hooks.redraw = [this] { redraws++; };
    hooks.project = [this] { projections++; };
    return hooks;
  }
};

} // namespace

TEST(V3Commands, SilhouetteRefinementShowsEveryStage) {
  CSceneGraph3d scene;
  scene.Add(testmeshes::MakeIcoSphere(1));
  const CVector3d camera(0.0, 0.0, 5.0);
  // a first run leaves steps for the second to undo
  Recorder first;
  CommandV3SilhouetteRefine(&scene, camera, 2, 2, true, first.Hooks());
  Recorder second;
  CSubdivisionOutcome outcome =
      CommandV3SilhouetteRefine(&scene, camera, 2, 2, true, second.Hooks());
  EXPECT_EQ(outcome.changed, 1);
  const char* expected[] = {"Undo action...",
                            "Undo action...step 0",
                            "Rebuild adjacency...",
                            "Refine front faces...(step 0)",
                            "Refine front faces...(step 1)",
                            "Refine silhouette faces...(step 0)",
                            "Refine silhouette faces...(step 1)",
                            "Process normals...",
                            "Color faces...",
                            "Adaptive refinement done (80 to "};
  size_t at = 0;
  for (const char* text : expected) {
    while (at < second.texts.size() && second.texts[at].rfind(text, 0) != 0) at++;
    EXPECT_LT(at, second.texts.size()) << "missing or out of order: " << text;
  }
  // four passes, each projecting once, and the final colouring
  EXPECT_EQ(second.projections, 5);
  EXPECT_GT(second.redraws, 8);

  // the same passes without messages show nothing and end alike
  const int faces = static_cast<CMesh3d*>(scene.GetAt(0))->NbFace();
  Recorder quiet;
  CommandV3SilhouetteRefine(&scene, camera, 2, 2, false, quiet.Hooks());
  EXPECT_TRUE(quiet.texts.empty());
  EXPECT_EQ(static_cast<CMesh3d*>(scene.GetAt(0))->NbFace(), faces);
}

TEST(V3Commands, StepsOfEveryMeshAndTheirUndo) {
  CSceneGraph3d scene;
  scene.Add(testmeshes::MakeIcoSphere(0));
  scene.Add(testmeshes::MakeTorus(6, 4));
  Recorder recorder;
  CSubdivisionOutcome outcome = CommandV3FlipEdges(&scene, recorder.Hooks());
  EXPECT_EQ(outcome.status.rfind("V3 done (", 0), 0u) << outcome.status;
  EXPECT_EQ(static_cast<CMesh3d*>(scene.GetAt(0))->NbFace(), 60);
  EXPECT_EQ(static_cast<CMesh3d*>(scene.GetAt(1))->NbFace(), 144);
  // undo acts on the first object only
  EXPECT_EQ(CommandV3RecursiveUndo(&scene).changed, 1);
  EXPECT_EQ(static_cast<CMesh3d*>(scene.GetAt(0))->NbFace(), 20);
  EXPECT_EQ(static_cast<CMesh3d*>(scene.GetAt(1))->NbFace(), 144);
  // nothing left to undo: nothing done
  EXPECT_EQ(CommandV3RecursiveUndo(&scene).changed, 0);
  EXPECT_EQ(CommandV3Undo(&scene).changed, 0);
}
