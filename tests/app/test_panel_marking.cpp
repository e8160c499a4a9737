// The command panel's controls that mark faces from its camera ("Forward",
// "Silhouette", "Camera view", "Twice"), its "Metafile" of the object the
// LOD slider selects and the texture "Edit..." of the first object, run
// through the dispatcher as a window runs them.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/PanelActions.h"
#include "app/commands/Handlers.h"
#include "geometry/Camera3d.h"
#include "geometry/Mesh3d.h"
#include "io/Texture.h"
#include "processing/FaceColoring.h"
#include "processing/Silhouette.h"
#include "tests/support/PanelHarness.h"
#include "tests/support/TestFolder.h"
#include "tests/support/TestMeshes.h"

using namespace orvex;
using namespace testmeshes;
namespace fs = std::filesystem;

namespace {

using R = CommandResult;

int FacesSeenFrom(const CMesh3d* mesh, const CVector3d& eye) {
  int count = 0;
  for (const CFace3d* f : mesh->m_ArrayFace) count += FacesCamera(f, eye) ? 1 : 0;
  return count;
}

// A sphere and a torus with the panel's camera, placed off the axis so
// that both show a silhouette.
struct CMarkedScene : CPanelHarness {
  CMarkedScene() : CPanelHarness({MakeIcoSphere(2), MakeTorus(16, 8)}) {
    EXPECT_EQ(Run("Panel/Camera/Add"), R::Done);
    Camera()->m_Position = CVector3d(1.0, 2.0, 4.0);
  }
  CCamera3d* Camera() { return static_cast<CCamera3d*>(doc->m_SceneGraph.GetAt(2)); }
  CVector3d Eye() { return Camera()->m_Position; }
};

TEST(PanelCameraMarks, DoNothingWithoutTheirCamera) {
  for (const char* command : {"Panel/Camera/Forward", "Panel/Camera/Silhouette",
                              "Panel/Camera/Camera view", "Panel/Camera/Twice"}) {
    SCOPED_TRACE(command);
    CPanelHarness h({MakeIcoSphere(1)});
    EXPECT_EQ(h.Run(command), R::NothingDone);
    // a camera the scene lost is no camera either
    ASSERT_EQ(h.Run("Panel/Camera/Add"), R::Done);
    ASSERT_EQ(h.Run("Scene/Keep first object only"), R::Done);
    EXPECT_EQ(h.Run(command), R::NothingDone);
    EXPECT_EQ(h.Panel().m_pCamera, nullptr);
    EXPECT_EQ(h.Mesh(0)->NbFace(), 80);
    EXPECT_EQ(h.Mesh(0)->NbFaceWithFlag(0), 80);
  }
  // a camera without a mesh has nothing to mark
  CPanelHarness empty;
  ASSERT_EQ(empty.Run("Panel/Camera/Add"), R::Done);
  EXPECT_EQ(empty.Run("Panel/Camera/Twice"), R::NothingDone);
}

TEST(PanelCameraMarks, ColourSilhouetteAndSeenFacesFromACleanSlate) {
  struct Case {
    const char* command;
    bool silhouette, seen;
  } cases[] = {
      {"Panel/Camera/Silhouette", true, false},
      {"Panel/Camera/Camera view", false, true},
      {"Panel/Camera/Twice", true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command);
    CMarkedScene h;
    for (int i : {0, 1}) h.Mesh(i)->SetFlagOnFaces(7); // stale marks
    ASSERT_EQ(h.Run(c.command), R::Done);
    for (int i : {0, 1}) {
      const CMesh3d* mesh = h.Mesh(i);
      const int seen = FacesSeenFrom(mesh, h.Eye());
      ASSERT_GT(seen, 0);
      ASSERT_LT(seen, mesh->NbFace());
      EXPECT_EQ(mesh->NbFaceWithFlag(7), 0);
      EXPECT_EQ(mesh->NbFaceWithFlag(2), c.seen ? seen : 0);
      EXPECT_EQ(mesh->NbFaceWithFlag(1) > 0, c.silhouette);
      for (const CFace3d* f : mesh->m_ArrayFace) {
        // seen faces are marked after the silhouette: a silhouette face
        // left with 1 faces away
        if (c.seen && f->m_Flag == 1) {
          EXPECT_FALSE(FacesCamera(f, h.Eye()));
        }
        EXPECT_EQ(f->m_Color, kFlagPalette[f->m_Flag]);
      }
    }
    EXPECT_EQ(h.doc->m_SceneGraph.NbObject(), 3);
  }
}

TEST(PanelCameraForward, RefinesTheFacesItsChecksMark) {
  struct Case {
    const char *camera, *silhouette;
    bool grows;
  } cases[] = {
      {"on", "on", true},
      {"on", "off", true},
      {"off", "on", true},
      {"off", "off", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.camera) + " " + c.silhouette);
    CMarkedScene h;
    const int before = h.Mesh(0)->NbFace();
    ASSERT_EQ(h.Run("Panel/Camera/Forward", {{"Camera", c.camera}, {"Silhouette", c.silhouette}}),
              R::Done);
    EXPECT_EQ(h.Panel().m_bCameraMarking, std::string(c.camera) == "on");
    EXPECT_EQ(h.Panel().m_bSilhouetteMarking, std::string(c.silhouette) == "on");
    for (int i : {0, 1}) {
      CMesh3d* mesh = h.Mesh(i);
      EXPECT_EQ(mesh->NbFace() > (i ? 16 * 8 * 2 : before), c.grows);
      for (const CFace3d* f : mesh->m_ArrayFace) ASSERT_FALSE(f->HasNullVertex());
    }
  }
  // seen faces and silhouette together refine more than either alone
  CMarkedScene both, seen;
  both.Run("Panel/Camera/Forward");
  seen.Run("Panel/Camera/Forward", {{"Silhouette", "off"}});
  EXPECT_GT(both.Mesh(0)->NbFace(), seen.Mesh(0)->NbFace());
}

TEST(PanelLodMetafile, DrawsTheObjectTheLodSliderSelects) {
  const fs::path dir = testsupport::FreshTestFolder("orvex_panel_metafile_");
  CPanelHarness h({MakeIcoSphere(0), MakeIcoSphere(1), MakeIcoSphere(2)});
  ASSERT_EQ(h.Run("Panel/Camera/Add"), R::Done);
  ASSERT_EQ(h.Run("Panel/LOD/Init"), R::Done);
  uintmax_t previous = 0;
  for (int level = 0; level < 3; level++) {
    SCOPED_TRACE(level);
    ASSERT_EQ(h.Move("Panel/LOD/Level", level), R::Done);
    const fs::path file = dir / ("level" + std::to_string(level) + ".svg");
    ASSERT_EQ(h.Run("Panel/LOD/Metafile", {{"File", file.string()}}), R::Done);
    ASSERT_TRUE(fs::exists(file));
    // finer levels draw more edges
    EXPECT_GT(fs::file_size(file), previous);
    previous = fs::file_size(file);
  }
  // the camera is no mesh
  ASSERT_EQ(h.Move("Panel/LOD/Level", 3), R::Done);
  EXPECT_EQ(h.Run("Panel/LOD/Metafile", {{"File", (dir / "camera.svg").string()}}), R::Failed);
  EXPECT_FALSE(fs::exists(dir / "camera.svg"));
  ASSERT_FALSE(h.ui.messages.empty());
  EXPECT_EQ(h.ui.messages.back(), kNoMeshMessage);
}

// A small image file of the given size.
fs::path WriteImage(const fs::path& dir, const std::string& name, unsigned w, unsigned h) {
  CTexture texture;
  EXPECT_TRUE(texture.Alloc(w, h, 24));
  texture.Fill(200, 40, 10);
  const fs::path path = dir / name;
  EXPECT_TRUE(texture.WriteBmp(path.string()));
  return path;
}

TEST(PanelTextureEdit, LoadsAndShowsTheFirstObjectsTexture) {
  const fs::path dir = testsupport::FreshTestFolder("orvex_panel_texture_");
  const std::string wide = WriteImage(dir, "wide.bmp", 8, 4).string();
  const std::string tall = WriteImage(dir, "tall.bmp", 2, 6).string();
  CPanelHarness h({MakeIcoSphere(1), MakeTorus(8, 6)});
  CPanelTexture texture;
  EXPECT_EQ(h.Run("Panel/Textures/Edit..."), R::NothingDone);
  EXPECT_EQ(h.ui.statusLines.back(), "No texture");
  struct Step {
    std::string file;
    R result;
    std::string name; // the first object's texture afterwards
    int width, height, textures;
  } steps[] = {
      {wide, R::Done, wide, 8, 4, 1},
      {(dir / "missing.bmp").string(), R::Failed, wide, 8, 4, 1},
      {tall, R::Done, tall, 2, 6, 2},
      {wide, R::Done, wide, 8, 4, 2}, // shared, not read twice
      {"", R::NothingDone, wide, 8, 4, 2},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.file);
    EXPECT_EQ(h.Run("Panel/Textures/Edit...", {{"File", step.file}}), step.result);
    ASSERT_TRUE(FirstObjectTexture(*h.doc, texture));
    EXPECT_EQ(texture.name, step.name);
    EXPECT_EQ(texture.width, step.width);
    EXPECT_EQ(texture.height, step.height);
    EXPECT_EQ(h.doc->m_SceneGraph.NbTexture(), step.textures);
  }
  EXPECT_EQ(h.ui.statusLines.back(), wide + " 8 x 4");
  EXPECT_EQ(h.Mesh(1)->m_IndexTexture, -1);
  ASSERT_FALSE(h.ui.messages.empty());
  EXPECT_NE(h.ui.messages.front().find("Unable to read texture"), std::string::npos);
}

TEST(PanelTextureEdit, NeedsATriangleMeshFirst) {
  const fs::path dir = testsupport::FreshTestFolder("orvex_panel_texture_");
  const std::string file = WriteImage(dir, "small.bmp", 4, 4).string();
  for (bool camera : {false, true}) {
    SCOPED_TRACE(camera ? "a camera only" : "an empty scene");
    CPanelHarness h;
    if (camera) {
      ASSERT_EQ(h.Run("Panel/Camera/Add"), R::Done);
    }
    EXPECT_EQ(h.Run("Panel/Textures/Edit...", {{"File", file}}), R::Failed);
    EXPECT_EQ(h.doc->m_SceneGraph.NbTexture(), 0);
    CPanelTexture texture;
    EXPECT_FALSE(FirstObjectTexture(*h.doc, texture));
  }
}

} // namespace
