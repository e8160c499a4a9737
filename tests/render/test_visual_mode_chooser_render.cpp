// The visual-mode chooser drawn offscreen: it ignores the view's model
// transform and leaves the matrices and polygon mode of what follows it
// as they were.

#include <gtest/gtest.h>

#include <array>

#include "app/OrvexDoc.h"
#include "app/RenderViewState.h"
#include "geometry/Mesh3d.h"
#include "geometry/VisualModeChooser3d.h"
#include "tests/render/RenderTestSupport.h"
#include "tests/support/TestMeshes.h"

using namespace rendertest;

namespace {

CVisualModeChooser3d* NewChooser() {
  std::array<int, CVisualModeChooser3d::kNbRandom> numbers{};
  for (int i = 0; i < CVisualModeChooser3d::kNbRandom; i++) numbers[i] = (i * 7919) % 32768;
  return new CVisualModeChooser3d(45.0, double(kWidth) / kHeight, numbers);
}

bool SameRegion(const CRgbImage& a, const CRgbImage& b, int x0, int x1) {
  for (int y = 0; y < kHeight; y++)
    for (int x = x0; x < x1; x++)
      for (int c = 0; c < 3; c++)
        if (a.Pixel(x, y)[c] != b.Pixel(x, y)[c]) return false;
  return true;
}

} // namespace

TEST(VisualModeChooserRender, DrawsItsGridWhateverTheModelTransform) {
  COrvexDoc doc;
  doc.m_SceneGraph.Add(NewChooser());
  orvex::CRenderViewState view;
  CRgbImage plain = Render(doc, view);
  EXPECT_GT(CountNot(plain, 0, 0, 0), 200);
  EXPECT_GE(CountColors(plain), 5); // four sphere colors and the background
  // nothing outside the grid in the middle of the picture
  for (int y = 0; y < kHeight; y++) {
    EXPECT_EQ(Luminance(plain, 2, y), 0);
    EXPECT_EQ(Luminance(plain, kWidth - 3, y), 0);
  }

  view.m_Translation = {3.0f, -2.0f, -40.0f};
  view.m_Rotation = {30.0f, 60.0f, 10.0f};
  view.m_Scale = {0.2f, 3.0f, 1.0f};
  CRgbImage moved = Render(doc, view);
  EXPECT_TRUE(SameRegion(plain, moved, 0, kWidth));
}

TEST(VisualModeChooserRender, LeavesTheFollowingObjectsAlone) {
  // a wireframe sphere at the left edge, away from the grid
  orvex::CRenderViewState view;
  view.m_Translation = {-2.0f, 0.0f, -5.0f};
  view.m_Scale = {0.5f, 0.5f, 0.5f};

  auto alone = SphereDocument();
  RunCommand(*alone, "Mode/Line");
  CRgbImage expected = Render(*alone, view);
  ASSERT_GT(CountNot(expected, 0, 0, 0), 50);

  COrvexDoc withChooser;
  withChooser.m_SceneGraph.Add(NewChooser());
  CMesh3d* sphere = testmeshes::MakeIcoSphere(3);
  sphere->SetFaceColors(CColor(100, 100, 100));
  sphere->SetVertexColors(CColor(100, 100, 100));
  withChooser.m_SceneGraph.Add(sphere);
  RunCommand(withChooser, "Mode/Line");
  CRgbImage actual = Render(withChooser, view);
  EXPECT_TRUE(SameRegion(expected, actual, 0, kWidth / 4));
}
