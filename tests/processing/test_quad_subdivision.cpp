// Catmull-Clark, Kobbelt and quad smoothing.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "geometry/QuadMesh.h"
#include "processing/QuadShapes.h"
#include "processing/QuadSubdivision.h"
#include "tests/support/TestMeshes.h"

namespace {

using QuadPtr = std::unique_ptr<CQuadMesh>;

// Every quad edge shared by exactly two quads, each seeing the other.
bool ClosedAndLinked(const CQuadMesh& m) {
  for (int f = 0; f < m.NbFace(); f++)
    for (int k = 0; k < 4; k++) {
      const int g = m.m_Faces[f].neighbor[k];
      if (g < 0) return false;
      bool back = false;
      for (int j = 0; j < 4; j++) back = back || m.m_Faces[g].neighbor[j] == f;
      if (!back) return false;
    }
  return true;
}

TEST(CatmullClark, CubeCountsOverTwoSteps) {
  QuadPtr cube(MakeQuadBox());
  SubdivisionCatmullClark(*cube);
  EXPECT_EQ(cube->NbVertex(), 26);
  EXPECT_EQ(cube->NbFace(), 24);
  EXPECT_TRUE(ClosedAndLinked(*cube));
  SubdivisionCatmullClark(*cube);
  EXPECT_EQ(cube->NbVertex(), 98);
  EXPECT_EQ(cube->NbFace(), 96);
  EXPECT_TRUE(ClosedAndLinked(*cube));
}

// A cube corner (valence 3) moves to v/3 + (face points + neighbours)/9:
// for the corner (1, 1, 1) that is 5/9 in each coordinate.
TEST(CatmullClark, CubeCornerMovesByTheValenceRule) {
  QuadPtr cube(MakeQuadBox());
  SubdivisionCatmullClark(*cube);
  const CQuadVertex& v = cube->m_Vertices[1];
  EXPECT_FLOAT_EQ(v.x, 5.0f / 9.0f);
  EXPECT_FLOAT_EQ(v.y, 5.0f / 9.0f);
  EXPECT_FLOAT_EQ(v.z, 5.0f / 9.0f);
  // the face point of quad 0 (the side x = 1) and its edge point 0
  const CQuadVertex& face = cube->m_Vertices[8];
  EXPECT_FLOAT_EQ(face.x, 1.0f);
  EXPECT_FLOAT_EQ(face.y, 0.0f);
}

TEST(CatmullClark, OneStepQuadruplesAnyClosedMesh) {
  QuadPtr torus(testmeshes::MakeQuadTorus(12, 8));
  const int faces = torus->NbFace();
  SubdivisionCatmullClark(*torus);
  EXPECT_EQ(torus->NbFace(), 4 * faces);
  // V + F + E new vertices, E = 2F on a closed quad mesh
  EXPECT_EQ(torus->NbVertex(), faces + faces + 2 * faces);
  EXPECT_TRUE(ClosedAndLinked(*torus));
}

TEST(CatmullClark, BoundaryVerticesStayAndBoundaryEdgesSplitInHalf) {
  QuadPtr grid(testmeshes::MakeQuadGrid(3, 2));
  const CQuadVertex corner = grid->m_Vertices[0];
  SubdivisionCatmullClark(*grid);
  EXPECT_EQ(grid->m_Vertices[0].x, corner.x);
  EXPECT_EQ(grid->m_Vertices[0].y, corner.y);
  // quad 0's first edge point: the midpoint of (0,0)-(1,0)
  const CQuadVertex& e = grid->m_Vertices[grid->m_Faces[0].v[1]];
  EXPECT_FLOAT_EQ(e.x, 0.5f);
  EXPECT_FLOAT_EQ(e.y, 0.0f);
  EXPECT_EQ(grid->NbFace(), 24);
}

TEST(Kobbelt, OldVerticesStayPut) {
  QuadPtr torus(testmeshes::MakeQuadTorus(10, 8));
  const QuadPtr before(torus->Clone());
  SubdivisionKobbelt(*torus);
  EXPECT_EQ(torus->NbFace(), 4 * before->NbFace());
  for (int v = 0; v < before->NbVertex(); v++) {
    EXPECT_EQ(torus->m_Vertices[v].x, before->m_Vertices[v].x);
    EXPECT_EQ(torus->m_Vertices[v].z, before->m_Vertices[v].z);
  }
  EXPECT_TRUE(ClosedAndLinked(*torus));
}

// On a regular planar grid the four-point rule reproduces the plane: every
// new point lies at the middle of its edge or quad.
TEST(Kobbelt, RegularGridPointsFallOnTheGrid) {
  QuadPtr grid(testmeshes::MakeQuadGrid(6, 6));
  SubdivisionKobbelt(*grid);
  for (const CQuadVertex& v : grid->m_Vertices) {
    EXPECT_NEAR(v.z, 0.0f, 1e-6f);
    EXPECT_NEAR(v.x * 2, std::round(v.x * 2), 1e-5f);
    EXPECT_NEAR(v.y * 2, std::round(v.y * 2), 1e-5f);
  }
}

// A bumped interior point: the stencil weights show up in the points next
// to it (edge point 9/16, face point 81/256 of the bump).
TEST(Kobbelt, StencilWeightsAroundABump) {
  QuadPtr grid(testmeshes::MakeQuadGrid(8, 8));
  const int bump = 4 * 9 + 4; // the vertex (4, 4)
  grid->m_Vertices[bump].z = 256.0f;
  SubdivisionKobbelt(*grid);
  float edgeMax = 0, faceMax = 0;
  const int oldVertices = 81, faces = 64;
  for (int v = oldVertices; v < grid->NbVertex(); v++) {
    float& max = v < oldVertices + faces ? faceMax : edgeMax;
    max = std::max(max, grid->m_Vertices[v].z);
  }
  EXPECT_FLOAT_EQ(faceMax, 81.0f);
  EXPECT_FLOAT_EQ(edgeMax, 144.0f);
}

TEST(SmoothQuads, MovesToTheMeanOfTheOneRing) {
  QuadPtr grid(testmeshes::MakeQuadGrid(2, 2));
  grid->m_Vertices[4].z = 5.0f; // the centre, with neighbours 1, 3, 5, 7
  EXPECT_EQ(SmoothQuads(*grid), 9);
  EXPECT_FLOAT_EQ(grid->m_Vertices[4].z, 1.0f);
  EXPECT_FLOAT_EQ(grid->m_Vertices[1].z, 5.0f / 4.0f) << "corner 1 has 3 neighbours";
  EXPECT_FLOAT_EQ(grid->m_Vertices[0].z, 0.0f);
}

TEST(QuadShapes, MushroomIsClosedAndRefined) {
  CMushroomParams params;
  params.Steps = 0;
  QuadPtr coarse(MakeMushroom(params));
  EXPECT_EQ(coarse->NbFace(), 14);
  EXPECT_EQ(coarse->NbVertex(), 16);
  EXPECT_TRUE(ClosedAndLinked(*coarse));
  params.Steps = 2;
  QuadPtr fine(MakeMushroom(params));
  EXPECT_EQ(fine->NbFace(), 14 * 16);
  EXPECT_TRUE(ClosedAndLinked(*fine));
}

TEST(QuadShapes, BoxNormalsPointOutwards) {
  QuadPtr box(MakeQuadBox());
  const float expected[6][3] = {{1, 0, 0},  {0, 1, 0}, {-1, 0, 0},
                                {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
  for (int f = 0; f < 6; f++)
    for (int c = 0; c < 3; c++) EXPECT_FLOAT_EQ(box->m_Faces[f].normal[c], expected[f][c]) << f;
}

} // namespace
