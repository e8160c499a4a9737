// The render view's paint step drawn offscreen: lighting, shading and
// polygon modes, highlights, the clear color and the cached mesh lists.

#include <gtest/gtest.h>

#include <cmath>

#include "app/CommandRegistry.h"
#include "app/Dispatcher.h"
#include "app/offscreen/OffscreenContext.h"
#include "app/offscreen/Snapshot.h"
#include "geometry/Mesh3d.h"
#include "tests/app/RecordingUserInterface.h"
#include "tests/render/RenderTestSupport.h"
#include "tests/support/TestMeshes.h"

using namespace rendertest;

namespace {

constexpr int kCenterX = kWidth / 2;
constexpr int kCenterY = kHeight / 2;

// Radius in pixels of the unit sphere seen by a default view (5 units
// away, 45 degrees of field of view).
double SphereRadiusInPixels() {
  const double halfAngle = 22.5 * M_PI / 180.0;
  return (kHeight / 2.0) * (1.0 / std::sqrt(24.0)) / std::tan(halfAngle);
}

void ShiftMesh(CMesh3d& mesh, double dx) {
  for (int i = 0; i < mesh.NbVertex(); i++) mesh.GetVertex(i)->x += dx;
}

} // namespace

TEST(RenderView, ClearColorFillsAnEmptyScene) {
  COrvexDoc doc;
  orvex::CRenderViewState view;
  view.m_ClearColor = {0.2f, 0.4f, 0.6f};
  CRgbImage image = Render(doc, view);
  ASSERT_EQ(image.m_Width, kWidth);
  ASSERT_EQ(image.m_Height, kHeight);
  for (int y = 0; y < kHeight; y += 7)
    for (int x = 0; x < kWidth; x += 5) {
      const unsigned char* p = image.Pixel(x, y);
      EXPECT_NEAR(p[0], 51, 1);
      EXPECT_NEAR(p[1], 102, 1);
      EXPECT_NEAR(p[2], 153, 1);
    }
}

TEST(RenderView, LitSphereIsBrightestWhereItFacesTheLight) {
  auto doc = SphereDocument();
  RunCommand(*doc, "Mode/Gouraud");
  CRgbImage image = Render(*doc);
  const double radius = SphereRadiusInPixels();
  const int center = Luminance(image, kCenterX, kCenterY);
  const int nearRim = Luminance(image, kCenterX + int(radius * 0.9), kCenterY);
  const int nearTop = Luminance(image, kCenterX, kCenterY - int(radius * 0.9));
  EXPECT_GT(nearRim, 0);
  EXPECT_GT(center, nearRim + 20);
  EXPECT_NEAR(nearRim, nearTop, 8); // the light comes from the viewer
  // outside the sphere: the black background, in every corner too
  EXPECT_EQ(Luminance(image, kCenterX + int(radius * 1.15), kCenterY), 0);
  for (int corner = 0; corner < 4; corner++)
    EXPECT_EQ(Luminance(image, corner % 2 ? kWidth - 1 : 0, corner / 2 ? kHeight - 1 : 0), 0);
  // the sphere is round and in the middle
  EXPECT_NEAR(MeanLitX(image), kCenterX, 1.0);

  // without lighting every face shows its own gray
  RunCommand(*doc, "Mode/Light");
  CRgbImage unlit = Render(*doc);
  EXPECT_EQ(Luminance(unlit, kCenterX, kCenterY), 100);
  EXPECT_EQ(Luminance(unlit, kCenterX + int(radius * 0.9), kCenterY), 100);
}

TEST(RenderView, FlatAndGouraudShadingDiffer) {
  auto doc = SphereDocument(2);
  RunCommand(*doc, "Mode/Flat");
  CRgbImage flat = Render(*doc);
  RunCommand(*doc, "Mode/Gouraud");
  CRgbImage smooth = Render(*doc);
  // the same silhouette, but one color per face against a gradient
  EXPECT_EQ(CountNot(flat, 0, 0, 0), CountNot(smooth, 0, 0, 0));
  EXPECT_NE(flat.m_Pixels, smooth.m_Pixels);
  EXPECT_LT(CountColors(flat), 200); // at most the faces in sight, 320 in all
  EXPECT_GT(CountColors(smooth), 2 * CountColors(flat));
}

TEST(RenderView, LineModeShowsTheEdgesOverTheBackground) {
  auto doc = SphereDocument(2);
  const int filled = CountNot(Render(*doc), 0, 0, 0);
  RunCommand(*doc, "Mode/Line");
  CRgbImage lines = Render(*doc);
  const int drawn = CountNot(lines, 0, 0, 0);
  EXPECT_GT(drawn, filled / 10);
  EXPECT_LT(drawn, filled * 3 / 4);
  RunCommand(*doc, "Mode/Flat"); // back to filled polygons
  EXPECT_EQ(CountNot(Render(*doc), 0, 0, 0), filled);
}

TEST(RenderView, HighlightedFaceIsRed) {
  // one large triangle facing the viewer: face 0
  auto doc = DocumentWith(testmeshes::MakeMesh({-1.5, -1, 0, 1.5, -1, 0, 0, 1.5, 0}, {0, 1, 2}));
  CRgbImage plain = Render(*doc);
  const unsigned char* before = plain.Pixel(kCenterX, kCenterY);
  EXPECT_EQ(before[0], before[1]); // gray

  RunCommand(*doc, "Mode/Highlight/Face");
  CRgbImage highlighted = Render(*doc);
  const unsigned char* after = highlighted.Pixel(kCenterX, kCenterY);
  EXPECT_EQ(after[0], 255);
  EXPECT_EQ(after[1], 0);
  EXPECT_EQ(after[2], 0);

  RunCommand(*doc, "Mode/Highlight/Face"); // off again
  EXPECT_EQ(Render(*doc).m_Pixels, plain.m_Pixels);
}

TEST(RenderView, MeshIsDrawnFromItsListUntilModified) {
  auto doc = SphereDocument();
  auto* mesh = static_cast<CMesh3d*>(doc->m_SceneGraph.GetAt(0));
  CRgbImage first = Render(*doc);
  EXPECT_TRUE(mesh->m_DisplayListMode);
  EXPECT_NE(mesh->m_GlList.List(), 0u);

  // positions changed behind the mesh's back: the cached list still draws
  // the old ones, so nothing is sent vertex by vertex on a repaint
  ShiftMesh(*mesh, 1.0);
  EXPECT_EQ(Render(*doc).m_Pixels, first.m_Pixels);

  mesh->SetModified();
  CRgbImage moved = Render(*doc);
  EXPECT_GT(MeanLitX(moved), MeanLitX(first) + 10.0);
}

TEST(RenderView, CommandsRebuildTheListsOfTheMeshesTheyChange) {
  auto doc = SphereDocument();
  CRgbImage before = Render(*doc);

  // a command that moves the mesh without marking it modified, and shows
  // its progress halfway as the visual debugging of the coders does
  CRgbImage halfway;
  orvex::CCommandRegistry registry;
  orvex::CommandInfo info;
  info.name = "Shift right";
  info.handler = [&](orvex::CCommandContext& context) {
    auto* mesh = static_cast<CMesh3d*>(context.doc->m_SceneGraph.GetAt(0));
    ShiftMesh(*mesh, 0.5);
    EXPECT_EQ(mesh->m_DisplayListMode, 0); // drawn as it is now, by anyone
    halfway = Render(*context.doc);
    ShiftMesh(*mesh, 0.5);
    return orvex::CommandResult::Done;
  };
  const int id = registry.Add(info);
  CRecordingUserInterface ui;
  orvex::CCommandDispatcher dispatcher(registry, ui);
  ASSERT_EQ(dispatcher.Run(id, doc.get()).result, orvex::CommandResult::Done);
  EXPECT_EQ(static_cast<CMesh3d*>(doc->m_SceneGraph.GetAt(0))->m_DisplayListMode, 1);

  CRgbImage after = Render(*doc);
  const double x0 = MeanLitX(before), x1 = MeanLitX(halfway), x2 = MeanLitX(after);
  EXPECT_GT(x1, x0 + 5.0);
  EXPECT_GT(x2, x1 + 5.0);
  EXPECT_FALSE(doc->IsCommandRunning());
}

TEST(RenderView, EachContextDrawsWithListsOfItsOwn) {
  auto doc = SphereDocument();
  orvex::COffscreenContext other;
  CRgbImage first = Render(*doc);
  CRgbImage second = Render(other, *doc);
  CRgbImage third = Render(*doc);
  EXPECT_GT(CountNot(first, 0, 0, 0), 1000);
  EXPECT_EQ(second.m_Pixels, first.m_Pixels);
  EXPECT_EQ(third.m_Pixels, first.m_Pixels);
}

TEST(RenderView, ImpossibleSizesAreRefusedWithAMessage) {
  auto doc = SphereDocument(1);
  CRgbImage image;
  std::string error;
  EXPECT_FALSE(orvex::RenderSnapshot(SharedContext(), *doc, {}, 0, 10, image, error));
  EXPECT_NE(error.find("cannot be rendered"), std::string::npos) << error;
  EXPECT_FALSE(orvex::RenderSnapshot(SharedContext(), *doc, {}, 10, 1 << 20, image, error));
  // and the context still works afterwards
  EXPECT_GT(CountNot(Render(*doc), 0, 0, 0), 100);
}

TEST(RenderView, GlobalColorOverlayDrawsEdgesWithoutRebuildingLists) {
  auto doc = SphereDocument(2);
  auto* mesh = static_cast<CMesh3d*>(doc->m_SceneGraph.GetAt(0));
  mesh->m_Color = CColor(0, 255, 0);
  const int plainGreen = CountNot(Render(*doc), 0, 255, 0);
  const unsigned revision = mesh->m_Revision;
  const unsigned list = mesh->m_GlList.List();
  doc->m_bWireframeOverlay = 1;
  doc->m_bGlobalColorOverlay = 1;
  CRgbImage overlaid = Render(*doc);
  const int green = kWidth * kHeight - CountNot(overlaid, 0, 255, 0);
  EXPECT_EQ(plainGreen, kWidth * kHeight); // no green before
  EXPECT_GT(green, 200);
  // the shaded mesh keeps its list and its own colors
  EXPECT_EQ(mesh->m_Revision, revision);
  EXPECT_EQ(mesh->m_GlList.List(), list);
  EXPECT_EQ(mesh->m_UseMeshColor, 0);
  EXPECT_EQ(Render(*doc).m_Pixels, overlaid.m_Pixels);
}

// The indexed vertex-array path draws exactly the picture of the
// face-by-face path, whatever the colour source; meshes it cannot take
// (per-face colours, face normals) fall back to the face-by-face path.
TEST(RenderView, IndexedDrawingGivesTheFaceByFacePicture) {
  struct Case {
    const char* name;
    void (*setUp)(CMesh3d&);
  };
  const Case cases[] = {
      {"one colour, vertex normals", [](CMesh3d& m) { m.SetNormalBinding(0); }},
      {"vertex colours",
       [](CMesh3d& m) {
         m.SetNormalBinding(0);
         m.SetColorBinding(0);
         for (int i = 0; i < m.NbVertex(); i++)
           m.GetVertex(i)->m_Color.Set(static_cast<unsigned char>(40 + 5 * (i % 40)), 90, 160);
       }},
      {"face colours",
       [](CMesh3d& m) {
         m.SetNormalBinding(0);
         for (int i = 0; i < m.NbFace(); i++)
           m.GetFace(i)->m_Color.Set(static_cast<unsigned char>(60 + 3 * (i % 60)), 120, 90);
       }},
      {"mesh colour", [](CMesh3d& m) {
         m.SetNormalBinding(0);
         m.m_UseMeshColor = 1;
         m.SetColor(30, 160, 60);
       }}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto doc = SphereDocument(3);
    RunCommand(*doc, "Mode/Gouraud");
    c.setUp(*static_cast<CMesh3d*>(doc->m_SceneGraph.GetAt(0)));
    doc->m_SceneGraph.SetModifiedAll();
    CRgbImage indexed = Render(*doc);
    orvex::CRenderViewState faceByFaceView;
    faceByFaceView.m_DrawOptions.m_IndexedDrawing = false;
    doc->m_SceneGraph.SetModifiedAll();
    CRgbImage faceByFace = Render(*doc, faceByFaceView);
    EXPECT_GT(CountNot(indexed, 0, 0, 0), 1000);
    EXPECT_EQ(indexed.m_Pixels, faceByFace.m_Pixels);
  }
}
