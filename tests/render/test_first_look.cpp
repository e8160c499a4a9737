// The first look of an opened document: the view frames the scene whatever
// its units and transforms, and a mesh without colours shows its shape.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>

#include "geometry/Mesh3d.h"
#include "geometry/PolygonMesh.h"
#include "geometry/QuadMesh.h"
#include "io/ReadPng.h"
#include "tests/render/RenderTestSupport.h"
#include "tests/support/BatchProcess.h"
#include "tests/support/TestFolder.h"
#include "tests/support/TestMeshes.h"

using namespace rendertest;

namespace {

// Moves and scales the mesh's vertices: p * scale + offset.
CMesh3d* Placed(CMesh3d* mesh, double scale, double dx, double dy, double dz) {
  for (int i = 0; i < mesh->NbVertex(); i++) {
    CVertex3d* v = mesh->GetVertex(i);
    v->x = v->x * scale + dx;
    v->y = v->y * scale + dy;
    v->z = v->z * scale + dz;
  }
  return mesh;
}

// The picture a view framed on the document's scene takes.
CRgbImage FramedPicture(const COrvexDoc& doc) {
  orvex::CRenderViewState view;
  view.FrameScene(doc.m_SceneGraph);
  return Render(doc, view);
}

} // namespace

TEST(FirstLook, AnyUnitsAndPlaceFillTheViewAlike) {
  const int reference =
      CountNot(FramedPicture(*DocumentWith(testmeshes::MakeIcoSphere(3))), 0, 0, 0);
  EXPECT_GT(reference, kWidth * kHeight / 8); // a sizeable share of the picture
  EXPECT_LT(reference, kWidth * kHeight * 3 / 4);

  struct Case {
    const char* name;
    CMesh3d* mesh;
  };
  CMesh3d* transformed = testmeshes::MakeIcoSphere(3);
  transformed->m_Transform.m_Scale = CVector3d(1e-3, 1e-3, 1e-3);
  transformed->m_Transform.m_Translation = CVector3d(40.0, -3.0, 7.0);
  transformed->m_Transform.m_RotationAxis = CVector3d(0.0, 0.0, 1.0);
  transformed->m_Transform.SetValueRotation(30.0f);
  const Case cases[] = {
      {"0.2 wide at y = 2", Placed(testmeshes::MakeIcoSphere(3), 0.1, 0.0, 2.0, 0.0)},
      {"kilometres", Placed(testmeshes::MakeIcoSphere(3), 1000.0, -5e3, 0.0, 2e4)},
      {"placed by its transform", transformed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto doc = DocumentWith(c.mesh);
    const CRgbImage image = FramedPicture(*doc);
    EXPECT_NEAR(CountNot(image, 0, 0, 0), reference, reference / 50);
    EXPECT_NEAR(MeanLitX(image), kWidth / 2.0, 1.5);
  }

  // unframed, the small mesh is a speck off the middle
  auto speck = DocumentWith(Placed(testmeshes::MakeIcoSphere(3), 0.1, 0.0, 2.0, 0.0));
  EXPECT_LT(CountNot(Render(*speck), 0, 0, 0), reference / 20);
}

TEST(FirstLook, ResetReturnsToTheFramedViewAndPresetsKeepTheirValues) {
  auto doc = DocumentWith(Placed(testmeshes::MakeIcoSphere(2), 0.1, 0.0, 2.0, 0.0));
  orvex::CRenderViewState view;
  view.FrameScene(doc->m_SceneGraph);
  const auto scale = view.m_Scale;
  const auto translation = view.m_Translation;
  // the box of half-diagonal 0.1 * sqrt(3) shown with 1.9
  EXPECT_NEAR(scale[0], 1.9f / (0.1f * std::sqrt(3.0f)), 0.01f);
  EXPECT_NEAR(translation[1], -2.0f * scale[1], 1e-3f);
  EXPECT_FLOAT_EQ(translation[2], -5.0f);

  view.m_Rotation = {10.0f, 20.0f, 30.0f};
  view.m_Translation = {1.0f, 1.0f, 1.0f};
  view.m_Scale = {2.0f, 2.0f, 2.0f};
  view.Reset();
  EXPECT_EQ(view.m_Translation, translation);
  EXPECT_EQ(view.m_Scale, scale);
  EXPECT_EQ(view.m_Rotation, (std::array<float, 3>{0.0f, 0.0f, 30.0f}));

  view.ApplyPreset();
  EXPECT_EQ(view.m_Scale, (std::array<float, 3>{0.78f, 1.0f, 0.52f}));
  EXPECT_EQ(view.m_Translation, (std::array<float, 3>{-7.82f, -8.62f, -29.5f}));
  orvex::CViewingState slot;
  view.Pop(slot);
  EXPECT_EQ(view.m_Scale, (std::array<float, 3>{0.0f, 0.0f, 0.0f}));

  // an empty scene keeps the defaults
  orvex::CRenderViewState empty;
  empty.FrameScene(COrvexDoc().m_SceneGraph);
  EXPECT_EQ(empty.m_Translation, (std::array<float, 3>{0.0f, 0.0f, -5.0f}));
  EXPECT_EQ(empty.m_Scale, (std::array<float, 3>{1.0f, 1.0f, 1.0f}));
}

// A plain white mesh is lit through its material: shading shows; a
// coloured mesh keeps its colour.
TEST(FirstLook, APlainMeshShowsItsShapeAndAColouredOneItsColour) {
  auto plain = std::make_unique<COrvexDoc>();
  plain->m_SceneGraph.Add(testmeshes::MakeIcoSphere(3));
  RunCommand(*plain, "Mode/Gouraud");
  const CRgbImage shaded = FramedPicture(*plain);
  EXPECT_GT(CountColors(shaded), 40);
  const int center = Luminance(shaded, kWidth / 2, kHeight / 2);
  EXPECT_LT(center, 250); // not saturated white
  EXPECT_GT(center, Luminance(shaded, kWidth / 2 + kHeight / 3, kHeight / 2) + 10);

  // a saved scene's black diffuse colour does not darken a plain mesh
  auto saved = std::make_unique<COrvexDoc>();
  CMesh3d* black = testmeshes::MakeIcoSphere(3);
  black->m_Material.SetDiffuse(0.0f, 0.0f, 0.0f);
  saved->m_SceneGraph.Add(black);
  EXPECT_GT(Luminance(FramedPicture(*saved), kWidth / 2, kHeight / 2), 200);

  auto red = std::make_unique<COrvexDoc>();
  CMesh3d* sphere = testmeshes::MakeIcoSphere(3);
  sphere->SetFaceColors(CColor(200, 0, 0));
  red->m_SceneGraph.Add(sphere);
  const CRgbImage colored = FramedPicture(*red);
  const unsigned char* p = colored.Pixel(kWidth / 2, kHeight / 2);
  EXPECT_GT(p[0], 100);
  EXPECT_LT(p[1], p[0] / 2);
}

// orvexbox-batch --snapshot frames the scene as the window does.
TEST(FirstLook, BatchSnapshotFramesASmallOffCentreMesh) {
  const std::filesystem::path dir = testsupport::FreshTestFolder("orvex_first_look_");
  const std::string input = (dir / "small.off").string();
  {
    std::ofstream off(input);
    CMesh3d* mesh = Placed(testmeshes::MakeIcoSphere(2), 0.1, 0.3, 2.0, -1.0);
    off << "OFF\n" << mesh->NbVertex() << " " << mesh->NbFace() << " 0\n";
    for (int i = 0; i < mesh->NbVertex(); i++)
      off << mesh->GetVertex(i)->x << " " << mesh->GetVertex(i)->y << " " << mesh->GetVertex(i)->z
          << "\n";
    for (int i = 0; i < mesh->NbFace(); i++) {
      off << 3;
      for (int k = 0; k < 3; k++)
        for (int j = 0; j < mesh->NbVertex(); j++)
          if (mesh->GetFace(i)->v(k) == mesh->GetVertex(j)) off << " " << j;
      off << "\n";
    }
    delete mesh;
  }
  const batchprocess::Outcome run = batchprocess::Run(
      ORVEX_BATCH,
      {input, "--snapshot", (dir / "small.png").string(), "--snapshot-size", "160x120"}, dir);
  ASSERT_EQ(run.status, 0) << run.err;
  CRgbImage picture;
  std::string error;
  ASSERT_TRUE(ReadPng((dir / "small.png").string(), picture, error)) << error;
  EXPECT_GT(CountNot(picture, 0, 0, 0), kWidth * kHeight / 8);
  EXPECT_GT(CountColors(picture), 20);
}

// Quad and polygon meshes are framed as triangle meshes are.
TEST(FirstLook, QuadAndPolygonMeshesAreFramedToo) {
  const std::vector<float> square = {0.0f, 2.0f, 0.0f, 0.2f, 2.0f, 0.0f,
                                     0.2f, 2.2f, 0.0f, 0.0f, 2.2f, 0.0f};
  CObject3d* meshes[] = {MakePolygonMesh(square, {4}, {0, 1, 2, 3}),
                         MakeQuadMesh(square, {0, 1, 2, 3})};
  for (CObject3d* mesh : meshes) {
    ASSERT_NE(mesh, nullptr);
    CSceneGraph3d scene;
    scene.Add(mesh);
    orvex::CRenderViewState view;
    view.FrameScene(scene);
    // the centre (0.1, 2.1, 0) lands where the view looks
    EXPECT_GT(view.m_Scale[0], 5.0f);
    EXPECT_NEAR(view.m_Translation[0], -0.1f * view.m_Scale[0], 1e-3f);
    EXPECT_NEAR(view.m_Translation[1], -2.1f * view.m_Scale[1], 1e-3f);
  }
}
