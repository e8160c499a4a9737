// The mesh builder shared by the readers: checked corners, polygons split
// as fans with their sizes kept, normals and texture coordinates.

#include <gtest/gtest.h>

#include <vector>

#include "geometry/Mesh3d.h"
#include "io/MeshBuilder.h"
#include "io/ReadReport.h"

namespace {

// A builder with n vertices on the x axis.
CMeshBuilder WithVertices(int n) {
  CMeshBuilder b;
  for (int i = 0; i < n; i++) b.AddVertex(float(i), 0, 0);
  return b;
}

std::vector<int> Corners(const CMeshBuilder& b) {
  std::vector<int> out;
  for (const CMeshBuilder::Face& f : b.m_Face) out.insert(out.end(), f.corner, f.corner + 3);
  return out;
}

} // namespace

TEST(MeshBuilder, PolygonsAreFannedOrSkippedWholeWithAReason) {
  struct Case {
    const char* name;
    std::vector<int> corners;
    long long base, blockSize;
    bool reverse;
    bool added;
    std::vector<int> triangles; // corners of the faces made
    int skipped;
    const char* error;
  };
  const Case cases[] = {
      {"triangle", {0, 1, 2}, 0, -1, false, true, {0, 1, 2}, 0, ""},
      {"pentagon fan", {0, 1, 2, 3, 4}, 0, -1, false, true, {0, 1, 2, 0, 2, 3, 0, 3, 4}, 0, ""},
      {"clockwise quad", {0, 1, 2, 3}, 0, -1, true, true, {0, 2, 1, 0, 3, 2}, 0, ""},
      {"counted from 1", {1, 2, 5}, -1, -1, false, true, {0, 1, 4}, 0, ""},
      {"zero counted from 1",
       {0, 1, 2},
       -1,
       -1,
       false,
       false,
       {},
       1,
       "face 1: corner 0 is not a vertex (5 vertices)"},
      {"last corner outside",
       {0, 1, 2, 5},
       0,
       -1,
       false,
       false,
       {},
       1,
       "face 1: corner 5 is not a vertex (5 vertices)"},
      {"negative corner",
       {0, -3, 2},
       0,
       -1,
       false,
       false,
       {},
       1,
       "face 1: corner -3 is not a vertex (5 vertices)"},
      {"inside a block", {0, 1, 2}, 2, 3, false, true, {2, 3, 4}, 0, ""},
      // base + corner is a vertex, but not one of the block's
      {"past the block",
       {0, 1, 3},
       1,
       3,
       false,
       false,
       {},
       1,
       "face 1: corner 3 is not a vertex (3 vertices)"},
      {"two corners", {0, 1}, 0, -1, false, false, {}, 0, "face 1: 2 corners, at least 3 needed"},
      {"two corners, one outside",
       {0, 9},
       0,
       -1,
       false,
       false,
       {},
       1,
       "face 1: corner 9 is not a vertex (5 vertices)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CMeshBuilder b = WithVertices(5);
    b.KeepPolygonSizes();
    CReadReport report;
    CPolygon p;
    p.corners = c.corners.data();
    p.size = c.corners.size();
    p.base = c.base;
    p.blockSize = c.blockSize;
    p.reverse = c.reverse;
    EXPECT_EQ(b.AddPolygon(p, report), c.added);
    EXPECT_EQ(Corners(b), c.triangles);
    EXPECT_EQ(report.skippedFaces, c.skipped);
    EXPECT_EQ(b.Error(), c.error);
    EXPECT_EQ(b.m_PolygonSize,
              c.added ? std::vector<int>{int(c.corners.size())} : std::vector<int>{});
  }
}

TEST(MeshBuilder, TrianglesCheckEveryIndexAndKeepTheirColor) {
  CMeshBuilder b = WithVertices(3);
  CReadReport report;
  EXPECT_TRUE(b.AddFace(0, 1, 2, report, CColor(10, 20, 30)));
  EXPECT_FALSE(b.AddFace(0, 1, 3, report));
  EXPECT_FALSE(b.AddFace(-1, 1, 2, report));
  EXPECT_FALSE(b.AddFace(0, 1, 1LL << 40, report)); // not cut down to an int first
  EXPECT_EQ(b.NbFace(), 1);
  EXPECT_EQ(report.skippedFaces, 3);
  EXPECT_EQ(b.Error(), "face 4: corner 1099511627776 is not a vertex (3 vertices)");
  EXPECT_FALSE(b.SetVertexColor(3, CColor()));
  EXPECT_EQ(b.Error(), "color of vertex 3: 3 vertices read");

  CMesh3d mesh;
  b.AppendTo(&mesh);
  ASSERT_EQ(mesh.NbFace(), 1);
  EXPECT_EQ(mesh.GetFace(0)->m_Color.r, 10);
}

// Readers color each vertex as they read it, before the next one comes.
TEST(MeshBuilder, ColorsSetWhileVerticesAreStillAddedStayWithTheirVertex) {
  CMeshBuilder b;
  for (int i = 0; i < 40; i++) {
    b.AddVertex(float(i), 0, 0);
    if (i % 3 == 0) {
      EXPECT_TRUE(b.SetVertexColor(i, CColor(static_cast<unsigned char>(i), 0, 0)));
    }
  }
  CMesh3d mesh;
  b.AppendTo(&mesh);
  ASSERT_EQ(mesh.NbVertex(), 40);
  for (int i = 0; i < 40; i++)
    EXPECT_TRUE(mesh.GetVertex(i)->m_Color ==
                (i % 3 == 0 ? CColor(static_cast<unsigned char>(i), 0, 0) : CColor()))
        << i;
}

TEST(MeshBuilder, NormalsAndTextureCoordinatesReachTheMeshOnlyWhenComplete) {
  struct Case {
    const char* name;
    bool perVertex;
    std::vector<int> tex; // per corner of the quad; empty: none given
    int texPoints;
    bool complete;
    const char* why;
  };
  const Case cases[] = {
      {"per corner", false, {3, 2, 1, 0}, 4, true, ""},
      {"per vertex", true, {}, 4, true, ""},
      {"per vertex, one point short",
       true,
       {},
       3,
       false,
       "texture corner 3 is not a texture point (3 given)"},
      {"corner outside",
       false,
       {0, 1, 2, 7},
       4,
       false,
       "texture corner 7 is not a texture point (4 given)"},
      {"none given", false, {}, 4, false, "a face has no texture coordinates"},
      {"no points", false, {0, 1, 2, 3}, 0, false, "no texture coordinates"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CMeshBuilder b = WithVertices(4);
    for (int i = 0; i < c.texPoints; i++) b.AddTexCoord(float(i), 0.5f);
    if (c.perVertex) b.UseTexCoordPerVertex();
    EXPECT_TRUE(b.SetVertexNormal(2, 0, 0, 1));
    CReadReport report;
    const int quad[] = {0, 1, 2, 3};
    CPolygon p;
    p.corners = quad;
    p.size = 4;
    p.texCorners = c.tex.empty() ? nullptr : c.tex.data();
    ASSERT_TRUE(b.AddPolygon(p, report));
    std::string why;
    EXPECT_EQ(b.TexCoordsComplete(&why), c.complete);
    EXPECT_EQ(why, c.why);

    CMesh3d mesh;
    b.AppendTo(&mesh);
    ASSERT_EQ(mesh.NbFace(), 2);
    EXPECT_EQ(mesh.GetVertex(2)->m_Normal.z, 1.0);
    EXPECT_EQ(mesh.GetVertex(3)->m_Normal.z, 0.0);
    EXPECT_EQ(mesh.m_NbTextureCoordinateIndex, c.complete ? 2 : 0);
    if (c.complete) {
      // second fan triangle (0, 2, 3): its last corner's point
      EXPECT_EQ(mesh.m_pTextureCoordinateIndex[5], c.perVertex ? 3 : c.tex[3]);
    }
  }
  EXPECT_FALSE(WithVertices(1).SetVertexNormal(1, 0, 0, 1));
}
