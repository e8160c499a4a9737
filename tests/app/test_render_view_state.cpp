// The render view's state without a window: mouse navigation, the bulk
// changes of the model transform, the software matrices, the view commands
// through the dispatcher and the projection service.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "app/CommandRegistry.h"
#include "app/Dispatcher.h"
#include "app/DocumentHost.h"
#include "app/OrvexDoc.h"
#include "app/RenderViewState.h"
#include "app/ViewProjection.h"
#include "geometry/Camera3d.h"
#include "geometry/Mesh3d.h"
#include "geometry/VisualModeChooser3d.h"
#include "tests/app/RecordingUserInterface.h"
#include "tests/support/BatchProcess.h"

using namespace orvex;
namespace fs = std::filesystem;

namespace {

const std::string kSamples = ORVEX_SAMPLES_DIR;
constexpr float kRotationSpeed = 1.0f / 3.0f;

void ExpectVector(const std::array<float, 3>& actual, float x, float y, float z) {
  EXPECT_FLOAT_EQ(actual[0], x);
  EXPECT_FLOAT_EQ(actual[1], y);
  EXPECT_FLOAT_EQ(actual[2], z);
}

// A mouse move as the window handles it: the view's own change, or the
// camera drag the window runs as a command. True when anything changed.
bool Drag(CRenderViewState& view, int x, int y, CSceneGraph3d& scene) {
  DragOutcome outcome = view.MouseMove(x, y);
  if (outcome == DragOutcome::CameraDrag) return view.ApplyCameraDrag(scene);
  return outcome == DragOutcome::Repaint;
}

// Drags with both buttons from (100, 100) to (90, 80): dx 10, dy 20.
CRenderViewState DragBoth(int horizontalAboutY) {
  CRenderViewState view;
  CSceneGraph3d scene;
  view.m_bHorizontalAboutY = horizontalAboutY;
  view.ButtonDown(MouseButton::Left, 100, 100);
  view.ButtonDown(MouseButton::Right, 100, 100);
  EXPECT_TRUE(Drag(view, 90, 80, scene));
  return view;
}

} // namespace

TEST(RenderViewNavigation, BothButtonsRotate) {
  CRenderViewState aboutY = DragBoth(1);
  ExpectVector(aboutY.m_Rotation, -20.0f * kRotationSpeed, -10.0f * kRotationSpeed, 0.0f);
  EXPECT_EQ(aboutY.m_LeftDownPos[0], 90);
  EXPECT_EQ(aboutY.m_RightDownPos[1], 80);

  CRenderViewState aboutZ = DragBoth(0);
  ExpectVector(aboutZ.m_Rotation, -20.0f * kRotationSpeed, 0.0f, -10.0f * kRotationSpeed);
  ExpectVector(aboutZ.m_Translation, 0.0f, 0.0f, -5.0f);
}

TEST(RenderViewNavigation, LeftPansRightDollies) {
  CRenderViewState view;
  CSceneGraph3d scene;
  view.ButtonDown(MouseButton::Left, 50, 50);
  EXPECT_TRUE(Drag(view, 40, 60, scene)); // dx 10, dy -10
  ExpectVector(view.m_Translation, -0.2f, -0.2f, -5.0f);
  // the last point follows the pointer: the same point again moves nothing
  Drag(view, 40, 60, scene);
  ExpectVector(view.m_Translation, -0.2f, -0.2f, -5.0f);
  view.ButtonUp(MouseButton::Left);

  view.ButtonDown(MouseButton::Right, 0, 0);
  Drag(view, 7, -10, scene); // dy 10, dx ignored
  ExpectVector(view.m_Translation, -0.2f, -0.2f, -4.8f);
  ExpectVector(view.m_Rotation, 0.0f, 0.0f, 0.0f);
  view.ButtonUp(MouseButton::Right);

  EXPECT_FALSE(Drag(view, 500, 500, scene));
  ExpectVector(view.m_Translation, -0.2f, -0.2f, -4.8f);
}

TEST(RenderViewNavigation, ReleasingEitherButtonEndsBothDrags) {
  CRenderViewState view;
  CSceneGraph3d scene;
  view.ButtonDown(MouseButton::Left, 10, 10);
  view.ButtonDown(MouseButton::Right, 10, 10);
  EXPECT_FALSE(view.ButtonUp(MouseButton::Right));
  EXPECT_EQ(view.m_bLeftButtonDown, 0);
  EXPECT_EQ(view.m_bRightButtonDown, 0);
  EXPECT_FALSE(Drag(view, 0, 0, scene));
  ExpectVector(view.m_Translation, 0.0f, 0.0f, -5.0f);

  // only the left release asks for the silhouette, and only when set
  EXPECT_FALSE(view.ButtonUp(MouseButton::Left));
  view.m_bAlwaysColorSilhouette = 1;
  EXPECT_TRUE(view.ButtonUp(MouseButton::Left));
  EXPECT_FALSE(view.ButtonUp(MouseButton::Right));
}

TEST(RenderViewNavigation, CameraModeMovesTheFirstCameraOnly) {
  CSceneGraph3d scene;
  CRenderViewState view;
  view.m_bCameraMode = 1;

  // no camera: the drag is ignored altogether
  view.ButtonDown(MouseButton::Left, 100, 100);
  EXPECT_FALSE(Drag(view, 90, 100, scene));
  EXPECT_EQ(view.m_LeftDownPos[0], 100);
  ExpectVector(view.m_Translation, 0.0f, 0.0f, -5.0f);

  auto* camera = new CCamera3d;
  auto* second = new CCamera3d;
  scene.Add(new CMesh3d);
  scene.Add(camera);
  scene.Add(second);

  // pan: (0.02 * 10) * 0.1 along the camera's right axis (+x)
  EXPECT_TRUE(Drag(view, 90, 100, scene));
  EXPECT_NEAR(camera->m_Position.x, 0.02, 1e-7);
  EXPECT_NEAR(camera->m_Position.z, 5.0, 1e-12);
  EXPECT_FLOAT_EQ(view.m_CameraDeltas[2], 0.2f);
  EXPECT_FLOAT_EQ(view.m_CameraDeltas[3], 0.0f);
  // a one-button camera drag keeps its press point
  EXPECT_EQ(view.m_LeftDownPos[0], 100);
  Drag(view, 90, 100, scene);
  EXPECT_NEAR(camera->m_Position.x, 0.04, 1e-7);
  ExpectVector(view.m_Translation, 0.0f, 0.0f, -5.0f);
  EXPECT_NEAR(second->m_Position.x, 0.0, 1e-12);
  view.ButtonUp(MouseButton::Left);

  // dolly: (10 * 0.02) * 0.1 backwards, against the viewing direction
  view.ButtonDown(MouseButton::Right, 0, 0);
  Drag(view, 0, -10, scene);
  EXPECT_NEAR(camera->m_Position.z, 5.02, 1e-7);
  EXPECT_FLOAT_EQ(view.m_CameraDeltas[4], 0.2f);
  view.ButtonUp(MouseButton::Right);

  // both: yaw and pitch in degrees, the camera turned by 1/60 of them
  CCamera3d expected = *camera;
  view.ButtonDown(MouseButton::Left, 30, 30);
  view.ButtonDown(MouseButton::Right, 30, 30);
  Drag(view, 0, 15, scene); // dx 30, dy 15
  float yaw = 30.0f * kRotationSpeed, pitch = 15.0f * kRotationSpeed;
  EXPECT_FLOAT_EQ(view.m_CameraDeltas[0], yaw);
  EXPECT_FLOAT_EQ(view.m_CameraDeltas[1], pitch);
  expected.Rotate1(yaw * 0.016666668f);
  expected.Rotate2(pitch * 0.016666668f);
  EXPECT_NEAR(camera->m_Direction.x, expected.m_Direction.x, 1e-12);
  EXPECT_NEAR(camera->m_Direction.y, expected.m_Direction.y, 1e-12);
  EXPECT_NEAR(camera->m_Direction.z, expected.m_Direction.z, 1e-12);
  // a turn of about 10 degrees: 10 / 60 radians
  EXPECT_NEAR(std::acos(-camera->m_Direction.z), 0.1863, 1e-3);
  EXPECT_EQ(view.m_LeftDownPos[0], 0);
  EXPECT_EQ(view.m_RightDownPos[1], 15);
  ExpectVector(view.m_Rotation, 0.0f, 0.0f, 0.0f);
}

TEST(RenderViewState, ResetSpeedsAndSpin) {
  CRenderViewState view = DragBoth(0);
  view.m_Scale = {2.0f, 3.0f, 4.0f};
  view.m_Translation = {1.0f, 2.0f, 3.0f};
  view.IncreaseRotationSpeed();
  view.DecreaseTranslationSpeed();
  view.Reset();
  ExpectVector(view.m_Rotation, 0.0f, 0.0f, -10.0f * kRotationSpeed);
  // back to the framed view (unframed: the defaults)
  ExpectVector(view.m_Translation, 0.0f, 0.0f, -5.0f);
  ExpectVector(view.m_Scale, 1.0f, 1.0f, 1.0f);
  EXPECT_FLOAT_EQ(view.m_RotationSpeed, kRotationSpeed * 1.5f);
  EXPECT_FLOAT_EQ(view.m_TranslationSpeed, 0.02f * 0.6666667f);

  view.DecreaseRotationSpeed();
  view.IncreaseTranslationSpeed();
  EXPECT_NEAR(view.m_RotationSpeed, kRotationSpeed, 1e-7);
  EXPECT_NEAR(view.m_TranslationSpeed, 0.02f, 1e-8);

  CRenderViewState spin;
  spin.SpinTick();
  spin.SpinTick();
  ExpectVector(spin.m_Rotation, 0.0f, 10.0f, 0.0f);
}

TEST(RenderViewState, PushAndPop) {
  CViewingState slot;
  CRenderViewState view;
  // Pop before any Push: the zero slot, the model shrinks to nothing until
  // Reset brings back the framed view
  view.Pop(slot);
  ExpectVector(view.m_Scale, 0.0f, 0.0f, 0.0f);
  ExpectVector(view.m_Translation, 0.0f, 0.0f, 0.0f);
  view.Reset();
  ExpectVector(view.m_Scale, 1.0f, 1.0f, 1.0f);

  CRenderViewState shown;
  shown.ApplyPreset();
  shown.Push(slot);
  shown.Reset();
  shown.Pop(slot);
  ExpectVector(shown.m_Scale, 0.78f, 1.0f, 0.52f);
  ExpectVector(shown.m_Translation, -7.82f, -8.62f, -29.5f);
  ExpectVector(shown.m_Rotation, 8.33f, 19.0f, 0.0f);
  view.Pop(slot);
  ExpectVector(view.m_Scale, 0.78f, 1.0f, 0.52f);
}

TEST(RenderViewState, ComputeMatricesByHand) {
  CRenderViewState view;
  view.m_Width = 200;
  view.m_Height = 100;
  CViewMatrices m = view.ComputeMatrices();
  for (int i = 0; i < 12; i++) EXPECT_DOUBLE_EQ(m.m_ModelView[i], i % 5 == 0 ? 1.0 : 0.0) << i;
  EXPECT_DOUBLE_EQ(m.m_ModelView[14], -5.0);
  const double f = 1.0 / std::tan(22.5 * M_PI / 180.0);
  EXPECT_NEAR(m.m_Projection[0], f / 2.0, 1e-12);
  EXPECT_NEAR(m.m_Projection[5], f, 1e-12);
  EXPECT_DOUBLE_EQ(m.m_Projection[11], -1.0);
  EXPECT_NEAR(m.m_Projection[10], -1000.1 / 999.9, 1e-12);
  EXPECT_NEAR(m.m_Projection[14], -200.0 / 999.9, 1e-12);
  EXPECT_EQ(m.m_Viewport[2], 200);
  EXPECT_EQ(m.m_Viewport[3], 100);

  // translate, rotate 90 about X, scale 2: (0, 1, 0) -> (0, 0, 2) + (1, 2, 3)
  view.m_Translation = {1.0f, 2.0f, 3.0f};
  view.m_Rotation = {90.0f, 0.0f, 0.0f};
  view.m_Scale = {2.0f, 2.0f, 2.0f};
  m = view.ComputeMatrices();
  const double* mv = m.m_ModelView;
  EXPECT_NEAR(mv[4] + mv[12], 1.0, 1e-6);
  EXPECT_NEAR(mv[5] + mv[13], 2.0, 1e-6);
  EXPECT_NEAR(mv[6] + mv[14], 5.0, 1e-6);

  // a zero-height client area takes the width as aspect
  view.m_Height = 0;
  EXPECT_DOUBLE_EQ(CRenderViewState::Aspect(200, 0), 200.0);
  EXPECT_NEAR(view.ComputeMatrices().m_Projection[0], f / 200.0, 1e-12);
}

namespace {

// A host that remembers the view timers it was asked to start.
class CTimerHost : public CDocumentHost {
public:
  using CDocumentHost::CDocumentHost;
  std::vector<std::pair<int, int>> timers;
  void StartViewTimer(COrvexDoc*, int timer, int periodMs) override {
    timers.emplace_back(timer, periodMs);
  }
};

class ViewCommandTest : public ::testing::Test {
protected:
  void SetUp() override { m_OldDir = fs::current_path(); }
  void TearDown() override { fs::current_path(m_OldDir); }

  CommandResult Run(COrvexDoc* doc, const char* command) {
    const CommandInfo* info = ApplicationRegistry().Find(command);
    EXPECT_NE(info, nullptr) << command;
    return info ? m_Dispatcher.Run(*info, doc).result : CommandResult::Unavailable;
  }
  COrvexDoc* OpenIcosahedron() {
    COrvexDoc* doc = m_Host.OpenDocumentFile(kSamples + "/icosahedron.smf");
    EXPECT_NE(doc, nullptr) << m_Host.GetLastError();
    return doc;
  }

  fs::path m_OldDir;
  CRecordingUserInterface m_UI;
  CTimerHost m_Host{m_UI};
  CCommandDispatcher m_Dispatcher{ApplicationRegistry(), m_UI, &m_Host};
};

} // namespace

TEST_F(ViewCommandTest, CommandsActOnTheActiveView) {
  COrvexDoc* doc = m_Host.NewDocument();
  CRenderViewState* view = m_Host.ActiveViewState(doc);
  ASSERT_NE(view, nullptr);
  view->m_Rotation = {1.0f, 2.0f, 3.0f};

  EXPECT_EQ(Run(doc, "Geometry/Reset"), CommandResult::Done);
  ExpectVector(view->m_Rotation, 0.0f, 0.0f, 3.0f);
  Run(doc, "Geometry/Speed/Rotation/Increase");
  Run(doc, "Geometry/Speed/Translation/Decrease");
  EXPECT_FLOAT_EQ(view->m_RotationSpeed, kRotationSpeed * 1.5f);
  EXPECT_FLOAT_EQ(view->m_TranslationSpeed, 0.02f * 0.6666667f);

  int redraws = m_UI.redraws;
  EXPECT_EQ(Run(doc, "Geometry/Swap rotation axes"), CommandResult::Done);
  EXPECT_EQ(view->m_bHorizontalAboutY, 0);
  EXPECT_EQ(m_UI.redraws, redraws + 1); // repainted at once, not twice

  view->ApplyPreset();
  Run(doc, "Debug/Viewing/Push");
  view->Reset();
  Run(doc, "Debug/Viewing/Pop");
  ExpectVector(view->m_Translation, -7.82f, -8.62f, -29.5f);
  ExpectVector(m_Host.ViewingSlot().m_Scale, 0.78f, 1.0f, 0.52f);

  Run(doc, "Algorithms/Color mesh/Always color silhouette");
  EXPECT_EQ(view->m_bAlwaysColorSilhouette, 1);

  EXPECT_EQ(Run(doc, "Debug/Advanced/Multi refinement 1->3"), CommandResult::Done);
  EXPECT_EQ(m_Host.timers, (std::vector<std::pair<int, int>>{{2, 4000}, {1, 10}}));
  ExpectVector(view->m_SpinStep, 0.0f, 2.0f, 0.0f);

  // the bitmap export reads the view's pixels: no GL context here
  EXPECT_EQ(Run(doc, "File/Export/bmp"), CommandResult::Failed);

  // without a host there is no view to act on
  CCommandDispatcher alone(ApplicationRegistry(), m_UI);
  EXPECT_EQ(alone.Run(*ApplicationRegistry().Find("Geometry/Reset"), doc).result,
            CommandResult::Unavailable);
}

// View commands leave the meshes' display lists alone; document commands
// and the F7 preset, which change the scene, mark them for a rebuild.
TEST_F(ViewCommandTest, OnlyCommandsThatMayChangeTheSceneInvalidateLists) {
  COrvexDoc* doc = OpenIcosahedron();
  ASSERT_NE(doc, nullptr);
  CMesh3d* mesh = doc->GetFirstMesh();
  ASSERT_NE(mesh, nullptr);
  mesh->m_Modified = 0;
  for (const char* command :
       {"Geometry/Reset", "Geometry/Speed/Rotation/Increase", "Debug/Viewing/Push"}) {
    EXPECT_EQ(Run(doc, command), CommandResult::Done) << command;
    EXPECT_EQ(mesh->m_Modified, 0) << command;
  }
  EXPECT_EQ(Run(doc, "Mode/Flat"), CommandResult::Done);
  EXPECT_EQ(mesh->m_Modified, 1);
  mesh->m_Modified = 0;
  EXPECT_EQ(Run(doc, "View preset"), CommandResult::Done);
  EXPECT_EQ(doc->GetFirstMesh()->m_Modified, 1);
}

TEST_F(ViewCommandTest, PresetSubdividesMapsAndPlacesTheView) {
  COrvexDoc* empty = m_Host.NewDocument();
  const CommandInfo* preset = ApplicationRegistry().FindByKey("F7");
  ASSERT_NE(preset, nullptr);
  EXPECT_EQ(preset->name, "View preset");
  EXPECT_FALSE(ApplicationRegistry().IsEnabled(*preset, empty));
  EXPECT_EQ(Run(empty, "View preset"), CommandResult::Unavailable);

  COrvexDoc* doc = OpenIcosahedron();
  ASSERT_NE(doc, nullptr);
  EXPECT_TRUE(ApplicationRegistry().IsEnabled(*preset, doc));
  EXPECT_EQ(m_Dispatcher.Run(*preset, doc).result, CommandResult::Done);
  CMesh3d* mesh = doc->GetFirstMesh();
  ASSERT_NE(mesh, nullptr);
  EXPECT_EQ(mesh->NbFace(), 80);
  EXPECT_EQ(mesh->NbVertex(), 42);
  for (int axis = 0; axis < 3; axis++) {
    float min = -1.0f, max = -1.0f;
    mesh->Range(axis, &min, &max);
    EXPECT_NEAR(min, 0.0f, 1e-4) << axis;
    EXPECT_NEAR(max, 20.0f, 1e-4) << axis;
  }
  CRenderViewState* view = m_Host.ActiveViewState(doc);
  ExpectVector(view->m_Scale, 0.78f, 1.0f, 0.52f);
  ExpectVector(view->m_Translation, -7.82f, -8.62f, -29.5f);
  ExpectVector(view->m_Rotation, 8.33f, 19.0f, 0.0f);
  EXPECT_TRUE(doc->IsModified());
  EXPECT_TRUE(m_UI.messages.empty());

  // a scene whose first object is not a mesh only places the view
  COrvexDoc* cameraOnly = m_Host.NewDocument();
  cameraOnly->m_SceneGraph.Add(new CCamera3d);
  EXPECT_EQ(Run(cameraOnly, "View preset"), CommandResult::Done);
  ExpectVector(m_Host.ActiveViewState(cameraOnly)->m_Scale, 0.78f, 1.0f, 0.52f);
}

TEST_F(ViewCommandTest, VisualModeShowsAndTakesAwayTheChooser) {
  COrvexDoc* doc = OpenIcosahedron();
  ASSERT_NE(doc, nullptr);
  CMesh3d* mesh = doc->GetFirstMesh();
  mesh->m_DisplayListMode = 1;
  CRenderViewState* view = m_Host.ActiveViewState(doc);
  view->m_Width = 300;
  view->m_Height = 150;
  view->m_FieldOfView = 30.0;

  int redraws = m_UI.redraws;
  EXPECT_EQ(Run(doc, "Mode/Visual mode"), CommandResult::Done);
  EXPECT_EQ(m_UI.redraws, redraws + 30);
  ASSERT_EQ(doc->m_SceneGraph.NbObject(), 2);
  ASSERT_EQ(doc->m_SceneGraph.GetAt(1)->GetType(), 15);
  auto* chooser = static_cast<CVisualModeChooser3d*>(doc->m_SceneGraph.GetAt(1));
  EXPECT_DOUBLE_EQ(chooser->GetAspect(), 2.0);
  EXPECT_DOUBLE_EQ(chooser->GetFieldOfView(), 30.0);
  EXPECT_EQ(mesh->m_DisplayListMode, 0);
  EXPECT_NE(chooser->GetRandom()[0], chooser->GetRandom()[1]); // drawn, not constant

  // pressed again: the chooser goes, the mesh stays and draws through its
  // list again
  EXPECT_EQ(Run(doc, "Mode/Visual mode"), CommandResult::Done);
  ASSERT_EQ(doc->m_SceneGraph.NbObject(), 1);
  EXPECT_EQ(doc->m_SceneGraph.GetAt(0), mesh);
  EXPECT_EQ(mesh->m_DisplayListMode, 1);
}

TEST_F(ViewCommandTest, ProjectionServiceHandsOverTheViewMatrices) {
  COrvexDoc* doc = OpenIcosahedron();
  ASSERT_NE(doc, nullptr);
  CRenderViewState view;
  view.m_Width = 64;
  view.m_Height = 48;
  view.m_Rotation = {10.0f, 20.0f, 30.0f};

  int calls = 0;
  CObject3d* seen = nullptr;
  auto project = [&](CObject3d& object, const CViewMatrices& matrices, int flag) {
    calls++;
    seen = &object;
    EXPECT_EQ(flag, 7);
    CViewMatrices expected = view.ComputeMatrices();
    for (int i = 0; i < 16; i++) {
      EXPECT_DOUBLE_EQ(matrices.m_ModelView[i], expected.m_ModelView[i]);
      EXPECT_DOUBLE_EQ(matrices.m_Projection[i], expected.m_Projection[i]);
    }
    EXPECT_EQ(matrices.m_Viewport[2], 64);
  };
  EXPECT_EQ(ProjectWithViewMatrices(*doc, view, 1, 7, project), 0);
  EXPECT_EQ(ProjectWithViewMatrices(*doc, view, -1, 7, project), 0);
  EXPECT_EQ(calls, 0);
  EXPECT_EQ(ProjectWithViewMatrices(*doc, view, 0, 7, project), 1);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(seen, doc->m_SceneGraph.GetAt(0));
}

TEST(ViewCommandBatch, PresetRunsWithoutAWindow) {
  const fs::path dir = fs::path(::testing::TempDir()) / "orvex_view_preset";
  fs::create_directories(dir);
  batchprocess::Outcome run =
      batchprocess::Run(ORVEX_BATCH,
                        {kSamples + "/icosahedron.smf", "--run", "Geometry/Reset", "--run",
                         "View preset", "--run", "Mode/Visual mode", "--info"},
                        dir);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("0 8 42 80 "), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("\n1 15 "), std::string::npos) << run.out;
}
