// The quad and polygon meshes (adjacency, normals, building from flat
// arrays) and the predefined triangle meshes.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "geometry/ImageGrid.h"
#include "geometry/Mesh3d.h"
#include "geometry/PolygonMesh.h"
#include "geometry/QuadMesh.h"
#include "tests/support/TestMeshes.h"

namespace {

// The cube of the predefined quad box, as flat arrays.
const std::vector<float> kCubeXyz = {1,  1, -1, 1,  1, 1, 1,  -1, 1, 1,  -1, -1,
                                     -1, 1, -1, -1, 1, 1, -1, -1, 1, -1, -1, -1};
const std::vector<int> kCubeQuads = {0, 1, 2, 3, 0, 4, 5, 1, 4, 7, 6, 5,
                                     7, 3, 2, 6, 2, 1, 5, 6, 0, 3, 7, 4};

TEST(QuadMesh, CubeAdjacencyIsClosedAndSymmetric) {
  std::unique_ptr<CQuadMesh> cube(MakeQuadMesh(kCubeXyz, kCubeQuads));
  ASSERT_TRUE(cube->HasAdjacency());
  for (int v = 0; v < cube->NbVertex(); v++) {
    EXPECT_EQ(cube->NbFaceOf(v), 3);
    EXPECT_EQ(cube->NbNeighborOf(v), 3);
  }
  for (int f = 0; f < cube->NbFace(); f++)
    for (int k = 0; k < 4; k++) {
      const int g = cube->m_Faces[f].neighbor[k];
      ASSERT_GE(g, 0);
      EXPECT_NE(g, f);
      // g lists f back across the same edge
      bool back = false;
      for (int j = 0; j < 4; j++) back = back || cube->m_Faces[g].neighbor[j] == f;
      EXPECT_TRUE(back);
    }
}

TEST(QuadMesh, NormalsOfTheCubePointOutwards) {
  std::unique_ptr<CQuadMesh> cube(MakeQuadMesh(kCubeXyz, kCubeQuads));
  for (const CQuadFace& face : cube->m_Faces) {
    float centre[3] = {0, 0, 0};
    for (int k = 0; k < 4; k++) {
      centre[0] += cube->m_Vertices[face.v[k]].x / 4;
      centre[1] += cube->m_Vertices[face.v[k]].y / 4;
      centre[2] += cube->m_Vertices[face.v[k]].z / 4;
    }
    const float dot =
        centre[0] * face.normal[0] + centre[1] * face.normal[1] + centre[2] * face.normal[2];
    EXPECT_FLOAT_EQ(dot, 1.0f);
  }
}

// Three quads on one edge: the first and second see each other, the
// third sees the first (the first other quad across the edge).
TEST(QuadMesh, NonManifoldEdgeTakesTheFirstOtherQuad) {
  const std::vector<float> xyz = {0, 0, 0, 1, 0, 0, 1, 1, 0,  0, 1, 0,
                                  1, 0, 1, 0, 0, 1, 1, 0, -1, 0, 0, -1};
  const std::vector<int> quads = {0, 1, 2, 3, 1, 0, 5, 4, 0, 1, 6, 7};
  std::unique_ptr<CQuadMesh> mesh(MakeQuadMesh(xyz, quads));
  EXPECT_EQ(mesh->m_Faces[0].neighbor[0], 1);
  EXPECT_EQ(mesh->m_Faces[1].neighbor[0], 0);
  EXPECT_EQ(mesh->m_Faces[2].neighbor[0], 0);
}

TEST(QuadMesh, SmallMeshesGetNoAdjacency) {
  CQuadMesh mesh;
  for (int i = 0; i < 3; i++) mesh.AddVertex(float(i), 0, 0);
  EXPECT_EQ(mesh.AddFace(0, 1, 2, 2), 0);
  EXPECT_EQ(mesh.AddFace(0, 1, 2, 3), -1) << "corner outside the vertices";
  EXPECT_EQ(mesh.BuildAdjacency(), 0);
  EXPECT_FALSE(mesh.HasAdjacency());
}

TEST(QuadMesh, FlatArraysWithBadCornersSkipThem) {
  int skipped = 0;
  std::unique_ptr<CQuadMesh> mesh(
      MakeQuadMesh(kCubeXyz, {0, 1, 2, 3, 0, 1, 2, 8, -1, 0, 1, 2}, &skipped));
  EXPECT_EQ(mesh->NbFace(), 1);
  EXPECT_EQ(skipped, 2);
}

TEST(PolygonMesh, FlatArraysBuildFacesValencesAndNewellNormals) {
  // a unit square and a pentagon sharing its right edge, in z = 0
  const std::vector<float> xyz = {0, 0, 0, 1, 0,    0,    1, 1, 0, 0, 1,
                                  0, 2, 0, 0, 2.5f, 0.5f, 0, 2, 1, 0};
  int skipped = 0;
  std::unique_ptr<CPolygonMesh> mesh(
      MakePolygonMesh(xyz, {4, 5, 2, 3}, {0, 1, 2, 3, 1, 4, 5, 6, 2, 0, 1, 0, 1, 9}, &skipped));
  ASSERT_TRUE(mesh);
  EXPECT_EQ(mesh->NbFace(), 2);
  EXPECT_EQ(skipped, 2) << "a 2-gon and a face naming vertex 9";
  const int valences[] = {2, 3, 3, 2, 2, 2, 2};
  for (int v = 0; v < 7; v++) EXPECT_EQ(mesh->m_Vertices[v].m_Valence, valences[v]) << v;
  for (const CVector3d& n : mesh->m_FaceNormal) {
    EXPECT_DOUBLE_EQ(n.z, 1.0);
    EXPECT_DOUBLE_EQ(n.x, 0.0);
  }
}

// A fan of 40 triangles: the centre's long row takes the sorted count.
TEST(PolygonMesh, ValencesOfALargeFan) {
  std::vector<float> xyz = {0, 0, 0};
  std::vector<int> sizes, corners;
  for (int k = 1; k <= 41; k++) xyz.insert(xyz.end(), {float(k), 1, 0});
  for (int k = 1; k <= 40; k++) {
    sizes.push_back(3);
    corners.insert(corners.end(), {0, k, k + 1});
  }
  std::unique_ptr<CPolygonMesh> mesh(MakePolygonMesh(xyz, sizes, corners));
  EXPECT_EQ(mesh->m_Vertices[0].m_Valence, 41);
  EXPECT_EQ(mesh->m_Vertices[1].m_Valence, 2);
  EXPECT_EQ(mesh->m_Vertices[20].m_Valence, 3);
}

TEST(PolygonMesh, CornerCountsBeyondTheCornersAreRefused) {
  EXPECT_EQ(MakePolygonMesh({0, 0, 0, 1, 0, 0, 0, 1, 0}, {4}, {0, 1, 2}), nullptr);
  EXPECT_EQ(MakePolygonMesh({0, 0, 0}, {-1}, {}), nullptr);
}

TEST(PolygonMesh, CloneIsIndependent) {
  std::unique_ptr<CPolygonMesh> mesh(MakePolygonMesh({0, 0, 0, 1, 0, 0, 0, 1, 0}, {3}, {0, 1, 2}));
  std::unique_ptr<CPolygonMesh> copy(mesh->Clone());
  copy->m_Vertices[0].x = 5;
  EXPECT_EQ(mesh->m_Vertices[0].x, 0.0);
  EXPECT_EQ(copy->GetType(), TYPE_POLYGON_MESH);
}

TEST(Predefined, TetrahedronIsClosedWithValenceThree) {
  CMesh3d mesh;
  mesh.MakeTetrahedron();
  EXPECT_EQ(mesh.NbVertex(), 4);
  EXPECT_EQ(mesh.NbFace(), 4);
  EXPECT_FALSE(mesh.HasBoundary());
  for (CVertex3d* v : mesh.m_ArrayVertex) EXPECT_EQ(v->NbNeighbor(), 3);
}

TEST(Predefined, DefaultBoxIsCentredWithOutwardNormals) {
  CMesh3d mesh;
  mesh.MakeBox(10, 10, 10);
  EXPECT_EQ(mesh.NbVertex(), 8);
  EXPECT_EQ(mesh.NbFace(), 12);
  float min = 0, max = 0;
  for (int c = 0; c < 3; c++) {
    mesh.Range(c, &min, &max);
    EXPECT_EQ(min, -5.0f);
    EXPECT_EQ(max, 5.0f);
  }
  // the normals stored at creation agree with the corners' orientation
  mesh.Rebuild();
  EXPECT_FALSE(mesh.HasBoundary());
  for (CFace3d* f : mesh.m_ArrayFace) {
    CVector3d centre((f->v(0)->x + f->v(1)->x + f->v(2)->x) / 3,
                     (f->v(0)->y + f->v(1)->y + f->v(2)->y) / 3,
                     (f->v(0)->z + f->v(1)->z + f->v(2)->z) / 3);
    EXPECT_GT(centre.x * f->m_Normal.x + centre.y * f->m_Normal.y + centre.z * f->m_Normal.z, 0);
  }
}

TEST(Predefined, CosineAndPeaksMapsShareTheGrid) {
  for (bool peaks : {false, true}) {
    CMesh3d mesh;
    if (peaks)
      mesh.MakePeaksMap(10, 10, -4, 4);
    else
      mesh.MakeCosineMap(10, 10, -4, 4);
    EXPECT_EQ(mesh.NbVertex(), 100);
    EXPECT_EQ(mesh.NbFace(), 162);
    float min = 0, max = 0;
    mesh.Range(0, &min, &max);
    EXPECT_FLOAT_EQ(min, -4.0f);
    EXPECT_FLOAT_EQ(max, 3.2f);
    EXPECT_FLOAT_EQ(static_cast<float>(mesh.GetVertex(1)->z - mesh.GetVertex(0)->z), 0.8f);
  }
}

TEST(Predefined, CountsBelowTwoGiveNoFaces) {
  struct Case {
    int nx, nz, vertices;
  };
  for (Case c : {Case{1, 1, 1}, Case{1, 5, 5}, Case{0, 5, 0}, Case{-3, 2, 0}}) {
    CMesh3d mesh;
    mesh.MakeCosineMap(c.nx, c.nz, -4, 4);
    EXPECT_EQ(mesh.NbVertex(), c.vertices);
    EXPECT_EQ(mesh.NbFace(), 0);
  }
}

// An image of width x height pixels whose red byte is its column, green
// its row and blue 7, rows bottom first.
class CGridImage : public CTextureImage {
public:
  CGridImage(unsigned w, unsigned h) : m_W(w), m_H(h), m_Pixels(RowBytes() * h) {
    for (unsigned y = 0; y < h; y++)
      for (unsigned x = 0; x < w; x++) {
        unsigned char* p = &m_Pixels[y * RowBytes() + 3 * x];
        p[0] = static_cast<unsigned char>(x);
        p[1] = static_cast<unsigned char>(y);
        p[2] = 7;
      }
  }
  const std::string& GetFileName() const override { return m_Name; }
  unsigned GetWidth() const override { return m_W; }
  unsigned GetHeight() const override { return m_H; }
  unsigned GetDepth() const override { return 24; }
  int GetRowBytes() const override { return static_cast<int>(RowBytes()); }
  const unsigned char* GetPixels() const override { return m_Pixels.data(); }
  int IsValid() const override { return 1; }

private:
  size_t RowBytes() const { return (3 * m_W + 3) / 4 * 4; }
  unsigned m_W, m_H;
  std::vector<unsigned char> m_Pixels;
  std::string m_Name = "grid";
};

TEST(Predefined, ImageOfTwoByTwoGivesFourVerticesAndTwoFaces) {
  CGridImage image(2, 2);
  CMesh3d mesh;
  mesh.BuildFromImage(&image, 2, 2, 1);
  EXPECT_EQ(mesh.NbVertex(), 4);
  EXPECT_EQ(mesh.NbFace(), 2);
  // vertex (j, gray, i) with the pixel's own colour, row 0 the bottom row
  const CVertex3d* v = mesh.GetVertex(3);
  EXPECT_EQ(v->x, 1.0);
  EXPECT_EQ(v->z, 1.0);
  EXPECT_EQ(v->y, (1 + 1 + 7) / 3);
  EXPECT_EQ(v->m_Color, CColor(1, 1, 7));
  EXPECT_EQ(mesh.GetFace(0)->m_Color, mesh.GetVertex(0)->m_Color);
  EXPECT_EQ(mesh.GetFace(1)->m_Color, mesh.GetVertex(1)->m_Color);
}

TEST(Predefined, ImageSamplingSpreadsOverThePicture) {
  CGridImage image(10, 4);
  const std::vector<CImageSample> samples = SampleImageGrid(image, 5, 2);
  ASSERT_EQ(samples.size(), 10u);
  // sample (i, j) is pixel (trunc(j / 5 * 10), trunc(i / 2 * 4))
  EXPECT_EQ(samples[1 * 5 + 3].r, 6);
  EXPECT_EQ(samples[1 * 5 + 3].g, 2);
  EXPECT_TRUE(SampleImageGrid(image, 0, 3).empty());
}

} // namespace
