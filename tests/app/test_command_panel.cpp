// The command panel without a toolkit: its colour fields, the material
// presets, the slider handling and the controls that add, hide and remove
// scene objects, run through the dispatcher as a window runs them.

#include <gtest/gtest.h>

#include <string>

#include "app/MaterialPresets.h"
#include "app/PanelObjects.h"
#include "app/UndoHistory.h"
#include "geometry/Camera3d.h"
#include "geometry/Mesh3d.h"
#include "geometry/QuadMesh.h"
#include "geometry/VectorSet3d.h"
#include "tests/support/PanelHarness.h"
#include "tests/support/TestMeshes.h"

using namespace orvex;
using namespace testmeshes;

namespace {

using R = CommandResult;

int CountSets(const COrvexDoc* doc, const std::string& name) {
  int count = 0;
  const CSceneGraph3d& scene = doc->m_SceneGraph;
  for (int i = 0; i < scene.NbObject(); i++) {
    CObject3d* object = scene.GetAt(i);
    if (object->GetType() == TYPE_VECTORSET3D && static_cast<CVectorSet3d*>(object)->m_Name == name)
      count++;
  }
  return count;
}

void ExpectColor(const float* rgba, float r, float g, float b, const std::string& what) {
  EXPECT_FLOAT_EQ(rgba[0], r) << what;
  EXPECT_FLOAT_EQ(rgba[1], g) << what;
  EXPECT_FLOAT_EQ(rgba[2], b) << what;
  EXPECT_FLOAT_EQ(rgba[3], 1.0f) << what;
}

// The LOD slider waits for Init; the offset edits show their value as "%g".
TEST(CommandPanelState, LodSliderWaitsForInitAndValuesShowShort) {
  CCommandPanelState panel;
  EXPECT_FALSE(panel.IsEnabled(PanelSlider::Lod));
  EXPECT_EQ(panel.ValueText(PanelSlider::FillOffset), "-5");
}

TEST(CommandPanelState, ColorsReadAndWriteAsHashRrggbb) {
  struct Row {
    const char* text;
    bool ok;
    PanelColor color;
  } rows[] = {{"#FF0000", true, 0x0000FF}, {"#00ff80", true, 0x80FF00}, {"#C8C8C8", true, 0xC8C8C8},
              {"FF0000", false, 0},        {"#FF00", false, 0},         {"#GG0000", false, 0}};
  for (const Row& row : rows) {
    PanelColor color = 0;
    EXPECT_EQ(ParsePanelColor(row.text, color), row.ok) << row.text;
    if (row.ok) {
      EXPECT_EQ(color, row.color) << row.text;
    }
  }
  EXPECT_EQ(PanelColorText(0x0000FF), "#FF0000");
}

TEST(MaterialPresetTable, NineteenRowsSortedWithBrassAsCorrected) {
  ASSERT_EQ(MaterialPresets().size(), 19u);
  const CMaterialPreset* brass = FindMaterialPreset("Brass");
  ASSERT_NE(brass, nullptr);
  EXPECT_FLOAT_EQ(brass->diffuse[1], 0.268627f);
  EXPECT_FLOAT_EQ(brass->specular[1], 0.741176f);
  EXPECT_EQ(FindMaterialPreset("brass"), nullptr);

  // the list is sorted and its first entry selected, not applied
  CPanelHarness h({MakeIcoSphere(1)});
  const std::vector<std::string>& list = h.Panel().m_Presets;
  ASSERT_EQ(list.size(), 19u);
  EXPECT_EQ(list.front(), "Black plastic");
  EXPECT_TRUE(std::is_sorted(list.begin(), list.end()));
  EXPECT_EQ(h.Panel().m_PresetSelection, 0);
  CMaterial untouched;
  EXPECT_FLOAT_EQ(h.Mesh(0)->m_Material.m_Diffuse[0], untouched.m_Diffuse[0]);
}

TEST(MaterialPresetCommands, ListAndMenuGiveTheSameMaterial) {
  for (const char* name : {"Brass", "Pewter", "Light blue"}) {
    CPanelHarness list({MakeIcoSphere(1)});
    CPanelHarness menu({MakeIcoSphere(1)});
    ASSERT_EQ(list.Run("Panel/Materials/Predefined", {{"Name", name}}), R::Done);
    ASSERT_EQ(menu.Run(std::string("Mode/Material/") + name), R::Done);
    const CMaterial& a = list.Mesh(0)->m_Material;
    const CMaterial& b = menu.Mesh(0)->m_Material;
    for (int k = 0; k < 4; k++) {
      EXPECT_EQ(a.m_Ambient[k], b.m_Ambient[k]) << name;
      EXPECT_EQ(a.m_Diffuse[k], b.m_Diffuse[k]) << name;
      EXPECT_EQ(a.m_Specular[k], b.m_Specular[k]) << name;
    }
    EXPECT_EQ(a.m_Shininess, b.m_Shininess) << name;
    // the menu leaves the panel as it was
    EXPECT_EQ(menu.Panel().m_MaterialDiffuse, 0xC8C8C8u) << name;
    EXPECT_EQ(menu.Panel().Position(PanelSlider::Shininess), 100) << name;
  }
}

TEST(MaterialPresetCommands, PresetSetsMeshesQuadsSwatchesAndShininessSlider) {
  CPanelHarness h({MakeIcoSphere(1), MakeQuadGrid(3, 3), MakeGrid(3, 3)});
  ASSERT_EQ(h.Run("Panel/Materials/Predefined", {{"Name", "Light blue"}}), R::Done);
  ExpectColor(h.Mesh(0)->m_Material.m_Diffuse, 0.0f, 0.5f, 1.0f, "sphere");
  ExpectColor(h.Mesh(2)->m_Material.m_Specular, 0.75f, 0.75f, 0.75f, "grid");
  auto* quad = static_cast<CQuadMesh*>(h.doc->m_SceneGraph.GetAt(1));
  ExpectColor(quad->m_Material.m_Ambient, 0.0f, 0.5f, 0.75f, "quad");
  // swatches: components times 255, truncated; slider: shininess truncated
  EXPECT_EQ(h.Panel().m_MaterialAmbient, PanelRgb(0, 127, 191));
  EXPECT_EQ(h.Panel().m_MaterialDiffuse, PanelRgb(0, 127, 255));
  EXPECT_EQ(h.Panel().m_MaterialSpecular, PanelRgb(191, 191, 191));
  EXPECT_EQ(h.Panel().Position(PanelSlider::Shininess), 64);
  EXPECT_EQ(h.Panel().m_Presets[h.Panel().m_PresetSelection], "Light blue");

  ASSERT_EQ(h.Run("Panel/Materials/Predefined", {{"Name", "Pewter"}}), R::Done);
  EXPECT_EQ(h.Panel().Position(PanelSlider::Shininess), 9);
  EXPECT_EQ(h.Panel().m_MaterialDiffuse, PanelRgb(109, 119, 137));
}

TEST(MaterialSwatches, EachSwatchSetsItsOwnColourEmissionIncluded) {
  struct Row {
    const char* command;
    const float* (*read)(const CMaterial&);
  } rows[] = {
      {"Panel/Materials/Ambient", [](const CMaterial& m) -> const float* { return m.m_Ambient; }},
      {"Panel/Materials/Diffuse", [](const CMaterial& m) -> const float* { return m.m_Diffuse; }},
      {"Panel/Materials/Specular", [](const CMaterial& m) -> const float* { return m.m_Specular; }},
      {"Panel/Materials/Emission", [](const CMaterial& m) -> const float* { return m.m_Emission; }},
  };
  for (const Row& row : rows) {
    CPanelHarness h({MakeIcoSphere(1)});
    const CMaterial before = h.Mesh(0)->m_Material;
    ASSERT_EQ(h.Run(row.command, {{"Color", "#FF8000"}}), R::Done) << row.command;
    const CMaterial& after = h.Mesh(0)->m_Material;
    ExpectColor(row.read(after), 1.0f, 128 / 255.0f, 0.0f, row.command);
    // the other colours stay
    for (const Row& other : rows) {
      if (other.read == row.read) continue;
      for (int k = 0; k < 4; k++) {
        EXPECT_EQ(other.read(after)[k], other.read(before)[k]) << row.command;
      }
    }
  }
  CPanelHarness h({MakeIcoSphere(1)});
  EXPECT_EQ(h.Run("Panel/Materials/Diffuse", {{"Color", "red"}}), R::Failed);
}

TEST(PanelSliders, FirstMoveOfAnySliderSendsEverySlider) {
  const char* sliders[] = {"Panel/Scaling/X", "Panel/Animation/Speed", "Panel/Options/Line width",
                           "Panel/Highlighting/Size", "Panel/Camera/Opening"};
  for (const char* slider : sliders) {
    CPanelHarness h({MakeIcoSphere(1), MakeQuadGrid(2, 2), MakeTorus(8, 6)});
    const int position = SliderLayout(PanelSlider::ScaleX).initial;
    ASSERT_EQ(h.Move(slider, slider == std::string("Panel/Scaling/X") ? position : 10), R::Done);
    EXPECT_FLOAT_EQ(h.doc->m_FillOffset, -5.0f) << slider;
    EXPECT_FLOAT_EQ(h.doc->m_OverlayLineOffset, -1.0f) << slider;
    EXPECT_FLOAT_EQ(h.Panel().m_SharpOffset, -1.0f) << slider;
    EXPECT_FLOAT_EQ(h.Mesh(0)->m_Material.m_Shininess, 100.0f) << slider;
    EXPECT_FLOAT_EQ(h.Mesh(2)->m_Material.m_Shininess, 100.0f) << slider;
    EXPECT_FLOAT_EQ(static_cast<CQuadMesh*>(h.doc->m_SceneGraph.GetAt(1))->m_Material.m_Shininess,
                    100.0f)
        << slider;
  }
}

TEST(PanelSliders, EachSliderSetsItsValue) {
  CPanelHarness h({MakeIcoSphere(1)});
  ASSERT_EQ(h.Move("Panel/Highlighting/Size", 100), R::Done);
  EXPECT_FLOAT_EQ(h.doc->m_HighlightSize, 1.0f);
  ASSERT_EQ(h.Move("Panel/Options/Line width", 40), R::Done);
  EXPECT_FLOAT_EQ(h.doc->m_LineWidth, 10.0f);
  ASSERT_EQ(h.Move("Panel/Options/Perspective", 60), R::Done);
  EXPECT_DOUBLE_EQ(h.View().m_FieldOfView, 60.0);
  ASSERT_EQ(h.Move("Panel/Polygon offset/Fill", 40), R::Done);
  EXPECT_FLOAT_EQ(h.doc->m_FillOffset, 2.0f);
  ASSERT_EQ(h.Move("Panel/Scaling/Z", 50), R::Done);
  EXPECT_FLOAT_EQ(h.View().m_Scale[2], 0.5f);
}

TEST(PanelSliders, LinkMakesYAndZFollowX) {
  CPanelHarness h({MakeIcoSphere(1)});
  ASSERT_EQ(h.Move("Panel/Scaling/X", 150), R::Done);
  ASSERT_EQ(h.Move("Panel/Scaling/Y", 30), R::Done);
  EXPECT_FLOAT_EQ(h.View().m_Scale[1], 0.3f);
  ASSERT_EQ(h.Run("Panel/Scaling/Link"), R::Done);
  EXPECT_EQ(h.Panel().Position(PanelSlider::ScaleY), 150);
  EXPECT_EQ(h.Panel().Position(PanelSlider::ScaleZ), 150);
  EXPECT_FLOAT_EQ(h.View().m_Scale[1], 1.5f);
  EXPECT_FLOAT_EQ(h.View().m_Scale[2], 1.5f);
  EXPECT_FALSE(h.Panel().IsEnabled(PanelSlider::ScaleY));
  ASSERT_EQ(h.Move("Panel/Scaling/X", 80), R::Done);
  EXPECT_FLOAT_EQ(h.View().m_Scale[2], 0.8f);
  ASSERT_EQ(h.Run("Panel/Scaling/Link"), R::Done);
  EXPECT_TRUE(h.Panel().IsEnabled(PanelSlider::ScaleZ));
}

TEST(PanelHelperObjects, NormalsTwiceRemoveOnlyTheirOwnSets) {
  CPanelHarness h({MakeIcoSphere(1), MakeTorus(8, 6)});
  auto* other = new CVectorSet3d;
  other->Add(CVector3d(0, 0, 0), CVector3d(1, 0, 0));
  h.doc->m_SceneGraph.Add(other);
  ASSERT_EQ(h.Run("Panel/Sharp edges/Show", {{"Threshold", "0.2"}}), R::Done);
  const int sharp = CountSets(h.doc, kSharpEdgeSetName);
  EXPECT_EQ(sharp, 2);

  ASSERT_EQ(h.Run("Panel/Normals/Show"), R::Done);
  ASSERT_EQ(CountSets(h.doc, kNormalSetName), 2);
  const auto* normals = static_cast<CVectorSet3d*>(h.doc->m_SceneGraph.GetAt(5));
  EXPECT_EQ(normals->NbVector(), h.Mesh(0)->NbFace());
  EXPECT_FLOAT_EQ(normals->m_LengthFactor, 0.1f);
  EXPECT_EQ(normals->m_Color, CColor(255, 0, 0));
  // the scale slider reaches normal sets only
  ASSERT_EQ(h.Move("Panel/Normals/Scale", 50), R::Done);
  EXPECT_FLOAT_EQ(normals->m_LengthFactor, 0.5f);
  EXPECT_FLOAT_EQ(static_cast<CVectorSet3d*>(h.doc->m_SceneGraph.GetAt(3))->m_LengthFactor, 1.0f);

  ASSERT_EQ(h.Run("Panel/Normals/Show"), R::Done);
  EXPECT_EQ(CountSets(h.doc, kNormalSetName), 0);
  EXPECT_EQ(CountSets(h.doc, kSharpEdgeSetName), sharp);
  EXPECT_EQ(CountSets(h.doc, "VectorSet"), 1);
  EXPECT_EQ(h.doc->m_SceneGraph.NbObject(), 5);

  CPanelHarness empty;
  EXPECT_EQ(empty.Run("Panel/Normals/Show"), R::NothingDone);
  EXPECT_EQ(empty.Run("Panel/Sharp edges/Show"), R::NothingDone);
}

TEST(PanelHelperObjects, LevelsOfDetailNeedTwoObjects) {
  CPanelHarness one({MakeIcoSphere(1)});
  EXPECT_EQ(one.Run("Panel/LOD/Init"), R::NothingDone);
  EXPECT_EQ(one.Panel().m_LodMode, 0);

  CPanelHarness h({MakeIcoSphere(0), MakeIcoSphere(1), MakeIcoSphere(2)});
  h.Mesh(2)->m_Name = "fine";
  ASSERT_EQ(h.Run("Panel/LOD/Init"), R::Done);
  EXPECT_TRUE(h.Panel().IsEnabled(PanelSlider::Lod));
  EXPECT_EQ(h.Panel().m_LodMax, 2);
  const int shownAtInit[] = {1, 0, 0};
  for (int i = 0; i < 3; i++) EXPECT_EQ(h.Mesh(i)->m_Show, shownAtInit[i]) << i;
  EXPECT_EQ(h.Panel().m_LodFaces, 20);

  ASSERT_EQ(h.Move("Panel/LOD/Level", 2), R::Done);
  const int shownAtTwo[] = {0, 0, 1};
  for (int i = 0; i < 3; i++) EXPECT_EQ(h.Mesh(i)->m_Show, shownAtTwo[i]) << i;
  EXPECT_EQ(h.Panel().m_LodName, "fine");
  EXPECT_EQ(h.Panel().m_LodFaces, h.Mesh(2)->NbFace());
  // beyond the last object the slider stops there
  ASSERT_EQ(h.Move("Panel/LOD/Level", 7), R::Done);
  EXPECT_EQ(h.Panel().Position(PanelSlider::Lod), 2);

  ASSERT_EQ(h.Run("Panel/LOD/Restore"), R::Done);
  for (int i = 0; i < 3; i++) EXPECT_EQ(h.Mesh(i)->m_Show, 1) << i;
  EXPECT_EQ(h.Panel().m_LodMode, 0);
}

TEST(PanelHelperObjects, ObjectSwitchesNeedTheirObject) {
  CPanelHarness h({MakeIcoSphere(1)});
  EXPECT_EQ(h.Run("Panel/LOD/1"), R::NothingDone);
  EXPECT_EQ(h.Panel().m_bObject1, 1);
  ASSERT_EQ(h.Run("Panel/LOD/0"), R::Done);
  EXPECT_EQ(h.Mesh(0)->m_Show, 0);
  ASSERT_EQ(h.Run("Panel/LOD/0"), R::Done);
  EXPECT_EQ(h.Mesh(0)->m_Show, 1);
  CPanelHarness empty;
  EXPECT_EQ(empty.Run("Panel/LOD/0"), R::NothingDone);
}

TEST(PanelCamera, ForgetsACameraTheSceneLost) {
  CPanelHarness h({MakeIcoSphere(1)});
  for (const char* command : {"Panel/Camera/Remove", "Panel/Camera/Init", "Panel/Camera/Move"})
    EXPECT_EQ(h.Run(command), R::NothingDone) << command;
  ASSERT_EQ(h.Run("Panel/Camera/Add"), R::Done);
  ASSERT_EQ(h.doc->m_SceneGraph.NbObject(), 2);
  auto* camera = static_cast<CCamera3d*>(h.doc->m_SceneGraph.GetAt(1));
  EXPECT_EQ(camera->m_Color, CColor(255, 255, 0));
  EXPECT_FLOAT_EQ(camera->m_Opening, 1.5f);
  EXPECT_EQ(h.Run("Panel/Camera/Add"), R::NothingDone);
  ASSERT_EQ(h.Move("Panel/Camera/Opening", 40), R::Done);
  EXPECT_FLOAT_EQ(camera->m_Opening, 4.0f);

  // the scene loses the camera behind the panel's back
  ASSERT_EQ(h.Run("Scene/Keep first object only"), R::Done);
  ASSERT_EQ(h.doc->m_SceneGraph.NbObject(), 1);
  EXPECT_EQ(h.Run("Panel/Camera/Remove"), R::NothingDone);
  EXPECT_EQ(h.Move("Panel/Camera/Opening", 50), R::Done);
  EXPECT_EQ(h.Run("Panel/Camera/Init"), R::NothingDone);
  EXPECT_EQ(h.Run("Panel/Camera/Color", {{"Color", "#00FF00"}}), R::Done);
  EXPECT_EQ(h.Panel().m_pCamera, nullptr);
  // and can add a new one
  ASSERT_EQ(h.Run("Panel/Camera/Add"), R::Done);
  EXPECT_EQ(static_cast<CCamera3d*>(h.doc->m_SceneGraph.GetAt(1))->m_Color, CColor(0, 255, 0));
  ASSERT_EQ(h.Run("Panel/Camera/Move"), R::Done);
  EXPECT_EQ(h.View().m_bCameraMode, 1);
  ASSERT_EQ(h.Run("Panel/Camera/Remove"), R::Done);
  EXPECT_EQ(h.doc->m_SceneGraph.NbObject(), 1);
}

TEST(PanelSwitches, SwitchesLandInTheDisplayState) {
  CPanelHarness h({MakeIcoSphere(1)});
  const COrvexDisplayState& d = h.doc->m_Display;
  const std::vector<std::pair<std::string, std::string>> blue = {{"Color", "#0000FF"}};
  struct Row {
    const char* command;
    std::function<bool()> holds;
    std::vector<std::pair<std::string, std::string>> sets = {};
  } rows[] = {
      {"Panel/Options/Culling", [&] { return d.m_bCulling == 1; }},
      {"Panel/Options/Antialiasing",
       [&] { return d.m_bAntialiasing == 1 && h.doc->m_LineWidth == 1.5f; }},
      {"Panel/Options/Lighting", [&] { return h.doc->m_bLighting == 0; }},
      {"Panel/Options/Gouraud",
       [&] { return d.m_bSmoothShading == 1 && h.Mesh(0)->m_NormalBinding == 0; }},
      {"Panel/Options/Vertex",
       [&] { return d.m_PolygonMode == COrvexDisplayState::Point && d.m_PanelVertex == 1; }},
      {"Panel/Options/Wireframe", [&] { return d.m_PolygonMode == COrvexDisplayState::Line; }},
      {"Panel/Options/Face",
       [&] { return d.m_PolygonMode == COrvexDisplayState::Fill && d.m_PanelFace == 1; }},
      {"Panel/Options/Add wireframe", [&] { return h.doc->m_bWireframeOverlay == 1; }},
      {"Panel/Options/Global color", [&] { return h.doc->m_bGlobalColorOverlay == 1; }},
      {"Panel/Textures/View", [&] { return d.m_bTexture2DOff == 1; }},
      {"Panel/Lights/Diffuse",
       [&] { return d.m_Lights[0].m_Diffuse[0] == 0.0f && d.m_Lights[0].m_Diffuse[2] == 1.0f; },
       blue},
      {"Panel/Options/Background", [&] { return h.View().m_ClearColor[2] == 1.0f; }, blue},
  };
  for (const Row& row : rows) {
    ASSERT_EQ(h.Run(row.command, row.sets), R::Done) << row.command;
    EXPECT_TRUE(row.holds()) << row.command;
  }
  ASSERT_EQ(
      h.Run("Panel/Lights/Update",
            {{"Index", "3"}, {"Position (x y z w)", "1 2 3 1"}, {"Direction (x y z)", "0 -1 0"}}),
      R::Done);
  EXPECT_EQ(d.m_Lights[3].m_bEnabled, 1);
  EXPECT_FLOAT_EQ(d.m_Lights[3].m_Position[2], 3.0f);
  EXPECT_FLOAT_EQ(d.m_Lights[3].m_Direction[1], -1.0f);
  EXPECT_EQ(h.Run("Panel/Lights/Update", {{"Position (x y z w)", "1 2"}}), R::Failed);
  ASSERT_EQ(h.Run("Panel/Animation/Rotation", {{"Steps (x,y,z)", "1 0 2"}}), R::Done);
  EXPECT_FLOAT_EQ(h.View().m_SpinStep[2], 2.0f);
  EXPECT_EQ(h.Panel().m_bRotation, 1);
}

TEST(PanelSwitches, SurfaceColourDrawsEveryMeshInIt) {
  CPanelHarness h({MakeIcoSphere(1), MakeTorus(6, 4)});
  ASSERT_EQ(h.Run("Panel/Options/Surface", {{"Color", "#102030"}}), R::Done);
  for (int i = 0; i < 2; i++) {
    EXPECT_EQ(h.Mesh(i)->m_Color, CColor(0x10, 0x20, 0x30)) << i;
    EXPECT_EQ(h.Mesh(i)->m_UseMeshColor, 1) << i;
  }
}

// Material commands record only the materials, so that undo is small and
// brings them back, and rebuild no mesh; a shading change does.
TEST(MaterialChanges, RecordOnlyTheMaterialsAndRebuildNothing) {
  struct Row {
    const char* command;
    std::vector<std::pair<std::string, std::string>> sets;
  } rows[] = {{"Mode/Material/Pewter", {}},
              {"Mode/Material/Brass", {}},
              {"Panel/Materials/Predefined", {{"Name", "Ruby"}}},
              {"Panel/Materials/Diffuse", {}},
              {"Panel/Materials/Emission", {{"Color", "#404040"}}}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.command);
    CPanelHarness h({MakeIcoSphere(4)});
    const CMaterial before = h.Mesh(0)->m_Material;
    const unsigned revision = h.Mesh(0)->m_Revision;
    ASSERT_EQ(h.Run(row.command, row.sets), R::Done);
    EXPECT_EQ(h.Mesh(0)->m_Revision, revision);
    EXPECT_EQ(h.doc->UndoHistory().NbUndo(), 1u);
    // a few hundred bytes, not a record per vertex of 5,120 faces
    EXPECT_LT(h.doc->UndoHistory().Bytes(), 4096u);
    ASSERT_EQ(h.Run("Edit/Undo"), R::Done);
    const CMaterial& after = h.Mesh(0)->m_Material;
    for (int k = 0; k < 4; k++) {
      EXPECT_EQ(after.m_Diffuse[k], before.m_Diffuse[k]);
      EXPECT_EQ(after.m_Emission[k], before.m_Emission[k]);
    }
    EXPECT_EQ(after.m_Shininess, before.m_Shininess);
  }
  CPanelHarness h({MakeIcoSphere(2)});
  const unsigned revision = h.Mesh(0)->m_Revision;
  ASSERT_EQ(h.Move("Panel/Materials/Shininess", 20), R::Done);
  EXPECT_EQ(h.Mesh(0)->m_Revision, revision);
  ASSERT_EQ(h.Run("Mode/Flat"), R::Done);
  EXPECT_NE(h.Mesh(0)->m_Revision, revision);
}

} // namespace
