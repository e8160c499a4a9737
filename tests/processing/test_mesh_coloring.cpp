// Colouring by measures through the rainbow ramp, from faces to vertices
// and by valence.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "geometry/Mesh3d.h"
#include "io/ColorRamp.h"
#include "processing/MeshColoring.h"
#include "tests/support/TestMeshes.h"

using namespace testmeshes;
using MeshPtr = std::unique_ptr<CMesh3d>;

namespace {

CColorRamp Rainbow() {
  CColorRamp ramp;
  ramp.SetRainbow();
  return ramp;
}

bool SameColor(const CColor& a, const CColor& b) {
  return a.r == b.r && a.g == b.g && a.b == b.b;
}

CColor RampAt(const CColorRamp& ramp, int i) {
  return CColor(ramp.Red(i), ramp.Green(i), ramp.Blue(i));
}

} // namespace

TEST(RampIndices, ScalesWrapsAndFallsBackOnThePreviousIndex) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    const char* name;
    std::vector<double> values;
    std::vector<char> counted, colored;
    bool raise;
    std::vector<int> expected;
  };
  const Case cases[] = {
      {"height -1 .. 1", {-1, 0, 1}, {1, 1, 1}, {1, 1, 1}, false, {0, 127, 255}},
      {"constant measure", {0.3, 0.3, 0.3}, {1, 1, 1}, {1, 1, 1}, true, {0, 0, 0}},
      {"negative minimum raised to 0", {-1, 0.5, 1}, {1, 1, 1}, {1, 1, 1}, true, {1, 127, 255}},
      // 0 lies below m = 0.5: trunc(-255) wraps to 1
      {"below the counted range wraps", {0.5, 1, 0}, {1, 1, 0}, {1, 1, 1}, true, {0, 255, 1}},
      // 2 gives 765: the previous index is kept
      {"above the ramp keeps the previous", {0.5, 1, 2}, {1, 1, 0}, {1, 1, 1}, true, {0, 255, 255}},
      {"first above the ramp takes 0", {2, 0.5, 1}, {0, 1, 1}, {1, 1, 1}, true, {0, 0, 255}},
      {"not a number keeps the previous",
       {0, 1, nan, inf},
       {1, 1, 0, 0},
       {1, 1, 1, 1},
       true,
       {0, 255, 255, 255}},
      {"huge negative wraps in range", {0, 1, -1e300}, {1, 1, 0}, {1, 1, 1}, true, {0, 255, 0}},
      {"uncoloured values", {0, 1, 0.5}, {1, 1, 1}, {1, 0, 1}, true, {0, -1, 127}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<int> index = RampIndices(c.values, c.counted, c.colored, c.raise);
    ASSERT_EQ(index.size(), c.expected.size());
    for (size_t i = 0; i < index.size(); i++) {
      // -1e300 wraps to some index; only its range is pinned
      if (c.values[i] == -1e300)
        EXPECT_TRUE(index[i] >= 0 && index[i] < 256);
      else
        EXPECT_EQ(index[i], c.expected[i]) << i;
    }
  }
}

TEST(ColorByMeasure, HeightMapsTheLowestToIndex0AndTheHighestTo255) {
  MeshPtr mesh(MakeGrid(4, 4));
  for (CVertex3d* v : mesh->m_ArrayVertex) v->y = v->y / 2.0 - 1.0;
  CColorRamp ramp = Rainbow();
  ColorByMeasure(mesh.get(), CMeasure::Height, ramp);
  int ends = 0;
  for (const CVertex3d* v : mesh->m_ArrayVertex) {
    ends += v->y == -1.0 || v->y == 1.0;
    if (v->y == -1.0) {
      EXPECT_TRUE(SameColor(v->m_Color, RampAt(ramp, 0)));
    }
    if (v->y == 1.0) {
      EXPECT_TRUE(SameColor(v->m_Color, RampAt(ramp, 255)));
    }
  }
  EXPECT_EQ(ends, 10);
}

TEST(ColorByMeasure, CurvatureLeavesBoundaryVerticesTheirColour) {
  MeshPtr mesh(MakeGridWithHoles(12, 8, 2));
  // a crease along x = 6 so that the measure is not constant
  for (CVertex3d* v : mesh->m_ArrayVertex) v->z = v->x > 6.0 ? v->x - 6.0 : 0.0;
  mesh->Rebuild();
  const CColor marked(1, 2, 3);
  mesh->SetVertexColors(marked);
  CColorRamp ramp = Rainbow();
  ColorByMeasure(mesh.get(), CMeasure::Curvature, ramp);
  int top = 0;
  for (const CVertex3d* v : mesh->m_ArrayVertex) {
    if (v->IsBoundaryVertex()) {
      EXPECT_TRUE(SameColor(v->m_Color, marked));
    } else {
      EXPECT_FALSE(SameColor(v->m_Color, marked));
      top += SameColor(v->m_Color, RampAt(ramp, 255));
    }
  }
  EXPECT_GT(top, 0);
}

TEST(MaxNormalAngles, AgreeWithTheVertexMeasureAndLeaveNormalsAlone) {
  std::unique_ptr<CMesh3d> meshes[] = {MeshPtr(MakeIcoSphere(1)),
                                       MeshPtr(MakeGridWithHoles(5, 4, 2)),
                                       MeshPtr(MakeNonManifoldFan(3)), MeshPtr(MakeTorus(6, 5))};
  for (auto& mesh : meshes) {
    // bumps, and stale face normals that must stay as they are
    for (int i = 0; i < mesh->NbVertex(); i++) mesh->GetVertex(i)->z += 0.1 * (i % 3);
    for (CFace3d* f : mesh->m_ArrayFace) f->m_Normal.Set(1.0, 2.0, 3.0);
    std::vector<double> angles = MaxNormalAngles(mesh.get());
    for (CFace3d* f : mesh->m_ArrayFace) EXPECT_EQ(f->m_Normal.y, 2.0);
    for (int i = 0; i < mesh->NbVertex(); i++)
      EXPECT_DOUBLE_EQ(angles[i], mesh->GetVertex(i)->MaxNormalAngle()) << i;
  }
}

TEST(ColorByMeasure, CompacityColoursFacesFromLeastToMostCompact) {
  // an equilateral face, a flat one and one in between
  MeshPtr mesh(MakeMesh({0, 0, 0, 1, 0, 0, 0.5, 0.8660254037844386, 0, 0.5, -0.05, 0, 0.5, 2, 0},
                        {0, 1, 2, 1, 0, 3, 2, 4, 0}));
  CColorRamp ramp = Rainbow();
  ColorByMeasure(mesh.get(), CMeasure::Compacity, ramp);
  EXPECT_TRUE(SameColor(mesh->GetFace(0)->m_Color, RampAt(ramp, 255)));
  EXPECT_FALSE(SameColor(mesh->GetFace(1)->m_Color, RampAt(ramp, 255)));
  EXPECT_FALSE(SameColor(mesh->GetFace(2)->m_Color, mesh->GetFace(1)->m_Color));
}

TEST(ColorVerticesFromFaces, TakesTheTruncatedMeanOfTheIncidentFaces) {
  MeshPtr mesh(MakeMesh({0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, 0}, {0, 1, 2, 1, 3, 2}));
  mesh->GetFace(0)->m_Color = CColor(255, 0, 0);
  mesh->GetFace(1)->m_Color = CColor(0, 0, 255);
  CVertex3d* lone = AddVertex(*mesh, 3, 3, 3);
  lone->m_Color = CColor(9, 9, 9);
  ColorVerticesFromFaces(mesh.get());
  EXPECT_TRUE(SameColor(mesh->GetVertex(1)->m_Color, CColor(127, 0, 127)));
  EXPECT_TRUE(SameColor(mesh->GetVertex(0)->m_Color, CColor(255, 0, 0)));
  EXPECT_TRUE(SameColor(mesh->GetVertex(3)->m_Color, CColor(0, 0, 255)));
  EXPECT_TRUE(SameColor(lone->m_Color, CColor(9, 9, 9)));
}

TEST(ColorFacesByValence, ColoursFacesWithExactlyKCornersOfValenceN) {
  MeshPtr mesh(MakeGrid(3, 3));
  const CColor red(255, 0, 0);
  for (int k = 0; k <= 3; k++) {
    mesh->SetFaceColors(CColor(0, 0, 0));
    ColorFacesByValence(mesh.get(), k, 6, red);
    for (const CFace3d* f : mesh->m_ArrayFace) {
      int count = 0;
      for (int c = 0; c < 3; c++) count += f->v(c)->NbNeighbor() == 6;
      EXPECT_EQ(SameColor(f->m_Color, red), count == k);
    }
  }
}
