// The first mesh as a vector picture: edges once each, faces from the
// farthest to the nearest in the colours their marks select, upright in
// view pixels; the face marks seen from a camera; the texture-request map;
// and each mode of the picture dialog.

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <vector>

#include "geometry/Mesh3d.h"
#include "processing/FaceMarking.h"
#include "processing/MetafileExport.h"
#include "processing/VectorDrawing.h"
#include "tests/processing/SubdivisionChecks.h"
#include "tests/support/TestMeshes.h"

using subdivisionchecks::MeshPtr;

namespace {

constexpr int kSize = 200;
const CVector3d kCamera(0.0, 0.0, 5.0);

// A view 5 units in front of the origin, 45 degrees, square viewport.
CVectorView FrontView() {
  CVectorView view{}; // all zero
  const double f = 1.0 / std::tan(45.0 * M_PI / 360.0), near = 0.1, far = 1000.0;
  view.modelView[0] = view.modelView[5] = view.modelView[10] = view.modelView[15] = 1.0;
  view.modelView[14] = -5.0;
  view.projection[0] = view.projection[5] = f;
  view.projection[10] = (far + near) / (near - far);
  view.projection[11] = -1.0;
  view.projection[14] = 2.0 * far * near / (near - far);
  view.viewport[2] = view.viewport[3] = kSize;
  return view;
}

MeshPtr Sphere() {
  MeshPtr mesh(testmeshes::MakeIcoSphere(2));
  mesh->Rebuild();
  return mesh;
}

// Two triangles facing the camera: face 0 near (z = 1), face 1 far (z = -1).
MeshPtr NearAndFar() {
  MeshPtr mesh(testmeshes::MakeMesh({-1, -1, 1, 1, -1, 1, 0, 1, 1, -1, -1, -1, 1, -1, -1, 0, 1, -1},
                                    {0, 1, 2, 3, 4, 5}));
  mesh->Rebuild();
  return mesh;
}

uint32_t Rgb(const CColor& c) {
  return uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | c.b;
}

std::set<uint32_t> Fills(const CVectorPicture& picture) {
  std::set<uint32_t> fills;
  for (const auto& p : picture.Primitives())
    if (p.kind == CVectorPicture::Kind::Polygon) fills.insert(Rgb(p.fill));
  return fills;
}

TEST(VectorDrawing, EveryEdgeOnceInsideTheViewport) {
  MeshPtr sphere = Sphere();
  CVectorPicture picture(kSize, kSize);
  EXPECT_EQ(DrawEdgesGdi(*sphere, FrontView(), CColor(0, 0, 0), picture), 480); // 320 * 3 / 2
  std::set<std::pair<std::pair<double, double>, std::pair<double, double>>> seen;
  for (const auto& p : picture.Primitives()) {
    const CVectorPoint* e = picture.Points(p);
    auto a = std::make_pair(e[0].x, e[0].y), b = std::make_pair(e[1].x, e[1].y);
    EXPECT_TRUE(seen.insert(a < b ? std::make_pair(a, b) : std::make_pair(b, a)).second);
  }
  // only the edges of the faces flagged 7: none
  const int seven = 7;
  CVectorPicture none(kSize, kSize);
  EXPECT_EQ(DrawEdgesGdi(*sphere, FrontView(), CColor(0, 0, 0), none, &seven), 0);
  // a view whose viewport holds only part of the sphere drops edges
  CVectorView zoomed = FrontView();
  zoomed.modelView[14] = -1.5;
  CVectorPicture part(kSize, kSize);
  EXPECT_LT(DrawEdgesGdi(*sphere, zoomed, CColor(0, 0, 0), part), 480);
}

TEST(VectorDrawing, FacesFarthestFirstUprightAndFilledByTheirMarks) {
  MeshPtr mesh = NearAndFar();
  CFaceColors colors;
  colors.face = CColor(255, 255, 255);
  colors.frontSilhouette = CColor(255, 0, 0);
  colors.frontSilhouetteKey = -3;
  colors.backSilhouette = CColor(0, 0, 255);
  colors.backSilhouetteKey = -2;
  CColorRamp ramp;
  ramp.SetRainbow();
  const struct {
    const char* name;
    int nearFlag, farFlag;
    bool ramp;
    std::vector<CColor> fills; // in drawing order
  } cases[] = {
      {"plain", 0, 0, false, {colors.face, colors.face}},
      {"silhouette keys", -3, -2, false, {colors.backSilhouette, colors.frontSilhouette}},
      {"ramp indices",
       10,
       200,
       true,
       {CColor(ramp.Red(200), ramp.Green(200), ramp.Blue(200)),
        CColor(ramp.Red(10), ramp.Green(10), ramp.Blue(10))}},
      {"ramp off: face colour", 10, 200, false, {colors.face, colors.face}},
      {"back key left out", -1, 0, false, {colors.face}},
  };
  for (const auto& c : cases) {
    mesh->GetFace(0)->m_Flag = c.nearFlag;
    mesh->GetFace(1)->m_Flag = c.farFlag;
    colors.ramp = c.ramp ? &ramp : nullptr;
    CVectorPicture picture(kSize, kSize);
    ASSERT_EQ(DrawFacesGdi(*mesh, FrontView(), colors, picture), int(c.fills.size())) << c.name;
    for (size_t i = 0; i < c.fills.size(); i++) {
      const auto& p = picture.Primitives()[i];
      EXPECT_EQ(Rgb(p.fill), Rgb(c.fills[i])) << c.name << " " << i;
      EXPECT_TRUE(p.outlined);
    }
    // the apex (y = 1) lies above the base: upright in pixels
    const CVectorPoint* last = picture.Points(picture.Primitives().back());
    EXPECT_LT(last[2].y, last[0].y) << c.name;
    EXPECT_NEAR(last[0].x + last[1].x, kSize, 1e-6) << c.name;
  }
}

TEST(FaceMarking, BackSilhouetteAndDepthMarksSeenFromTheCamera) {
  MeshPtr sphere = Sphere();
  sphere->SetFlagOnFaces(0);
  const int back = MarkBackFaces(sphere.get(), kCamera, -1);
  EXPECT_GT(back, 320 / 3);
  EXPECT_LT(back, 320 * 2 / 3);
  EXPECT_EQ(sphere->NbFaceWithFlag(-1), back);

  sphere->SetFlagOnFaces(5);
  const int silhouette = MarkSilhouetteFaces(sphere.get(), kCamera, -3, -2);
  EXPECT_GT(silhouette, 0);
  EXPECT_EQ(sphere->NbFaceWithFlag(-3) + sphere->NbFaceWithFlag(-2), silhouette);
  EXPECT_GT(sphere->NbFaceWithFlag(-3), 0);
  EXPECT_GT(sphere->NbFaceWithFlag(-2), 0);
  EXPECT_EQ(sphere->NbFaceWithFlag(5), 320 - silhouette); // the others keep their flags
  for (const CFace3d* f : sphere->m_ArrayFace)
    if (f->m_Flag < 0) {
      double z = 0;
      for (int k = 0; k < 3; k++) z += f->v(k)->z / 3;
      EXPECT_LT(std::fabs(z), 0.6); // around the rim seen from +z
    }

  EXPECT_EQ(MarkDepthRamp(sphere.get(), kCamera), 320);
  int nearest = 256, farthest = -1;
  double nearestZ = 0, farthestZ = 0;
  for (const CFace3d* f : sphere->m_ArrayFace) {
    const double z = f->v(0)->z + f->v(1)->z + f->v(2)->z;
    if (f->m_Flag < nearest) nearest = f->m_Flag, nearestZ = z;
    if (f->m_Flag > farthest) farthest = f->m_Flag, farthestZ = z;
  }
  EXPECT_EQ(nearest, 0);
  EXPECT_EQ(farthest, 255);
  EXPECT_GT(nearestZ, 2.5);
  EXPECT_LT(farthestZ, -2.5);
}

TEST(VectorDrawing, TextureRequestMapDrawsMarkedFacesInTextureSpaceAndALegend) {
  // 4 faces over [0, 2] x [0, 1], stretched over the texture corner by corner
  MeshPtr grid(testmeshes::MakeGrid(2, 1));
  std::vector<float> uv;
  std::vector<int> corners;
  for (const CFace3d* f : grid->m_ArrayFace)
    for (int k = 0; k < 3; k++) {
      corners.push_back(int(corners.size()));
      uv.insert(uv.end(), {float(f->v(k)->x / 2), float(f->v(k)->y)});
    }
  CColorRamp ramp;
  ramp.SetHeat();
  const CColor line(1, 2, 3), back(9, 9, 9);
  CTextureMapLayout layout;
  layout.width = 266;
  layout.height = 100;

  // without texture coordinates nothing is drawn
  CVectorPicture empty;
  EXPECT_EQ(DrawTextureMapGdi(*grid, line, back, -1, ramp, layout, empty), 0);
  EXPECT_TRUE(empty.Primitives().empty());

  grid->SetTextureCoordinates(uv.data(), int(uv.size() / 2), corners.data(), grid->NbFace());
  const int flags[] = {-1, 40, 7000, -5}; // key, ramp index, neither, neither
  for (int i = 0; i < 4; i++) grid->GetFace(i)->m_Flag = flags[i];
  int width = 0, height = 0;
  TextureMapExtent(layout, width, height);
  EXPECT_EQ(width, 20 + 256 + 10);
  EXPECT_EQ(height, 20 + 100);
  CVectorPicture picture(width, height);
  EXPECT_EQ(DrawTextureMapGdi(*grid, line, back, -1, ramp, layout, picture), 2);
  const auto& p = picture.Primitives();
  ASSERT_EQ(p.size(), 1u + 2u + 256u); // clearing, faces, legend
  EXPECT_EQ(Rgb(p[0].fill), 0u);
  EXPECT_EQ(Rgb(p[1].fill), Rgb(back));
  EXPECT_EQ(Rgb(p[2].fill), Rgb(CColor(ramp.Red(40), ramp.Green(40), ramp.Blue(40))));
  EXPECT_EQ(Rgb(p[1].outline), Rgb(line));
  for (int k = 0; k < 3; k++) {
    const CVectorPoint& q = picture.Points(p[1])[k];
    EXPECT_GE(q.x, 20);
    EXPECT_LE(q.x, 20 + 256);
    EXPECT_GE(q.y, 20);
    EXPECT_LE(q.y, 120);
  }
  EXPECT_EQ(picture.Points(p[3])[0].x, 20 + 256); // the legend's first band
  EXPECT_EQ(picture.Points(p.back())[2].y, 120);
}

TEST(MetafileExport, EachModePreparesItsMarksAndFills) {
  CMetafileParameters parameters;
  parameters.ramp.SetRainbow();
  const uint32_t face = Rgb(parameters.face), front = Rgb(parameters.frontSilhouette),
                 backSilhouette = Rgb(parameters.backSilhouette);
  const struct {
    MetafileMode mode;
    bool backMarked, silhouettes, ramp;
  } cases[] = {
      {MetafileMode::Faces, true, false, false},
      {MetafileMode::Silhouette, false, true, false},
      {MetafileMode::RampZ, false, false, true},
      {MetafileMode::BackFacing, true, false, false},
      {MetafileMode::BackFacingSilhouette, true, true, false},
      {MetafileMode::BackFacingRamp, true, false, true},
      {MetafileMode::BackFacingSilhouetteRamp, true, true, true},
      {MetafileMode::SilhouetteRamp, false, true, true},
  };
  for (const auto& c : cases) {
    const char* name = kMetafileModeNames[int(c.mode)];
    MeshPtr sphere = Sphere();
    sphere->SetFlagOnFaces(77);
    PrepareMetafileMarks(*sphere, c.mode, kCamera);
    EXPECT_EQ(sphere->NbFaceWithFlag(77), 0) << name; // cleared first
    EXPECT_EQ(sphere->NbFaceWithFlag(kBackFaceKey) > 0, c.backMarked) << name;
    EXPECT_EQ(sphere->NbFaceWithFlag(kFrontSilhouetteKey) > 0, c.silhouettes) << name;
    parameters.mode = c.mode;
    CVectorPicture picture;
    const int drawn = MetafileRun(*sphere, FrontView(), parameters, nullptr, picture);
    EXPECT_EQ(picture.Width(), kSize);
    const std::set<uint32_t> fills = Fills(picture);
    EXPECT_EQ(drawn, int(picture.Primitives().size())) << name;
    EXPECT_EQ(fills.count(front) > 0, c.silhouettes) << name;
    if (c.silhouettes && !c.backMarked) {
      EXPECT_GT(fills.count(backSilhouette), 0u) << name;
    }
    // the ramp gives many colours; without it only the plain face colour
    if (c.ramp) {
      EXPECT_GT(fills.size(), 10u) << name;
    } else {
      EXPECT_GT(fills.count(face), 0u) << name;
    }
    // back faces are left out: fewer faces than the sphere has
    if (c.backMarked) {
      EXPECT_LE(drawn, 320 - sphere->NbFaceWithFlag(kBackFaceKey)) << name;
    }
  }

  MeshPtr sphere = Sphere();
  CVectorPicture picture;
  parameters.mode = MetafileMode::Line;
  PrepareMetafileMarks(*sphere, parameters.mode, kCamera);
  EXPECT_EQ(MetafileRun(*sphere, FrontView(), parameters, nullptr, picture), 480);
  parameters.mode = MetafileMode::TextureRequestMap;
  EXPECT_EQ(MetafileRun(*sphere, FrontView(), parameters, nullptr, picture), -1);
}

TEST(MetafileExport, MenuVariants) {
  MeshPtr sphere = Sphere();
  CVectorPicture lines, front, faces;
  EXPECT_EQ(MetafileExport(*sphere, FrontView(), MetafileVariant::Lines, kCamera, lines), 480);
  const int frontLines =
      MetafileExport(*sphere, FrontView(), MetafileVariant::FrontFaceLines, kCamera, front);
  // only the edges of the faces seen from the camera
  EXPECT_GT(frontLines, 100);
  EXPECT_LT(frontLines, 400);
  EXPECT_EQ(Rgb(front.Primitives()[0].fill), Rgb(CColor(1, 0, 0)));
  sphere->SetFlagOnFaces(-2);
  EXPECT_EQ(MetafileExport(*sphere, FrontView(), MetafileVariant::Faces, kCamera, faces), 320);
  EXPECT_EQ(Fills(faces), std::set<uint32_t>{0xFFFFFFu}); // marks cleared first
}

} // namespace
