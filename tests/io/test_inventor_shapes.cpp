// Inventor files as other tools write them: strips, counted face sets,
// quad meshes, VertexProperty colours, Switch, ignored fields and names
// with '+'.

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "geometry/Mesh3d.h"
#include "geometry/VertexIndexMap.h"
#include "io/InventorShapes.h"
#include "io/ReadInventor.h"

namespace {

const std::string kHeader = "#Inventor V2.1 ascii\n\n";

// A zigzag of six points in the plane z = 0: strips over it turn one way.
const std::string kZigzag = "Coordinate3 { point [ 0 0 0, 0 1 0, 1 0 0, 1 1 0, 2 0 0, 2 1 0 ] }\n";

struct Read {
  CMesh3d mesh;
  CReadReport report;
  std::string error;
  int ok;
  explicit Read(const std::string& body) {
    const std::string text = kHeader + body;
    ok = ReadInventorFromMemory(&mesh, text.data(), text.size(), report, error);
  }
  std::vector<int> Corners(int i) const {
    const CVertexIndexMap index(mesh.m_ArrayVertex);
    const CFace3d* f = mesh.GetFace(i);
    return {index.IndexOf(f->v(0)), index.IndexOf(f->v(1)), index.IndexOf(f->v(2))};
  }
  // +1 when every face faces +z, -1 when every one faces -z, else 0.
  int Facing() {
    int plus = 0, minus = 0;
    for (int i = 0; i < mesh.NbFace(); i++) {
      mesh.GetFace(i)->CalculateNormal();
      (mesh.GetFace(i)->m_Normal.z > 0 ? plus : minus)++;
    }
    return minus == 0 ? 1 : plus == 0 ? -1 : 0;
  }
};

} // namespace

TEST(InventorShapes, StripsAlternateSoThatEveryTriangleFacesTheSameWay) {
  struct Case {
    const char* name;
    std::string body;
    int faces, degenerate;
  };
  const Case cases[] = {
      {"indexed strip", kZigzag + "IndexedTriangleStripSet { coordIndex [ 0, 1, 2, 3, 4, 5, -1 ] }",
       4, 0},
      {"indexed strips with a stitch",
       kZigzag + "IndexedTriangleStripSet { coordIndex [ 0, 1, 2, 3, 3, 2, 2, 3, 4, 5 ] }", 4, 4},
      {"counted strips", kZigzag + "TriangleStripSet { numVertices [ 4, -1 ] }", 2, 0},
      {"strip in a vertex property",
       "TriangleStripSet { vertexProperty VertexProperty { vertex [ 0 0 0, 0 1 0, 1 0 0, 1 1 0, "
       "2 0 0 ] } numVertices 5 }",
       3, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Read r(c.body);
    ASSERT_EQ(r.ok, 1) << r.error;
    EXPECT_EQ(r.mesh.NbFace(), c.faces);
    EXPECT_EQ(r.report.degenerateFaces, c.degenerate);
    EXPECT_EQ(r.Facing(), -1); // the zigzag starts clockwise seen from +z
  }
  Read strip(kZigzag + "IndexedTriangleStripSet { coordIndex [ 0, 1, 2, 3, 4 ] }");
  ASSERT_EQ(strip.mesh.NbFace(), 3);
  EXPECT_EQ(strip.Corners(0), (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(strip.Corners(1), (std::vector<int>{2, 1, 3}));
  EXPECT_EQ(strip.Corners(2), (std::vector<int>{2, 3, 4}));
}

TEST(InventorShapes, FaceSetsQuadMeshesAndPrimitives) {
  struct Case {
    const char* name;
    std::string body;
    int faces, skippedFaces, primitives;
  };
  const std::string grid = "Coordinate3 { point [ 0 0 0, 1 0 0, 2 0 0, 0 1 0, 1 1 0, 2 1 0, "
                           "0 2 0, 1 2 0, 2 2 0 ] }\n";
  const Case cases[] = {
      {"face set", grid + "FaceSet { numVertices [ 3, 4 ] }", 3, 0, 0},
      {"face set from a start, rest", grid + "FaceSet { startIndex 2 numVertices -1 }", 5, 0, 0},
      {"face set beyond the points", grid + "FaceSet { numVertices [ 3, 3, 4 ] }", 2, 1, 0},
      {"quad mesh", grid + "QuadMesh { verticesPerRow 3 verticesPerColumn 3 }", 8, 0, 0},
      {"quad mesh beyond the points",
       grid + "QuadMesh { verticesPerRow 3 verticesPerColumn 4 } FaceSet { numVertices 3 }", 1, 6,
       0},
      {"quad mesh far beyond the points, counted up to the int range",
       grid +
           "QuadMesh { verticesPerRow 100000 verticesPerColumn 100000 } FaceSet { numVertices 3 }",
       1, INT_MAX, 0},
      {"primitives counted",
       grid + "Cube { width 2 } Sphere { } Separator { Cone { } Cylinder { } } FaceSet { }", 7, 0,
       4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Read r(c.body);
    ASSERT_EQ(r.ok, 1) << r.error;
    EXPECT_EQ(r.mesh.NbFace(), c.faces);
    EXPECT_EQ(r.report.skippedFaces, c.skippedFaces);
    EXPECT_EQ(r.report.skippedPrimitives, c.primitives);
  }
  Read quads(grid + "QuadMesh { verticesPerRow 3 verticesPerColumn 3 }");
  EXPECT_EQ(quads.Facing(), -1);
  EXPECT_EQ(quads.mesh.NbVertex(), 9); // the quads share their corners

  Read only("Sphere { radius 2 }");
  EXPECT_EQ(only.ok, 0);
  EXPECT_NE(only.error.find("only Cube, Sphere, Cylinder or Cone"), std::string::npos);
  Read negative(grid + "FaceSet { numVertices [ 3, -4 ] }");
  EXPECT_EQ(negative.ok, 0);
  EXPECT_NE(negative.error.find("numVertices -4 is negative"), std::string::npos);
  Read badQuads(grid + "QuadMesh { verticesPerRow -3 }");
  EXPECT_EQ(badQuads.ok, 0);
}

TEST(InventorShapes, VertexPropertyColoursFollowTheirBinding) {
  const std::string points = "vertex [ 0 0 0, 1 0 0, 1 1 0, 0 1 0 ] ";
  const std::string colors = "orderedRGBA [ 0xff0000ff, 0x00ff00ff, 0x0000ffff, 4294967295 ] ";
  const CColor red(255, 0, 0), green(0, 255, 0), blue(0, 0, 255), white;
  struct Case {
    const char* binding;
    const char* shape; // after the vertex property
    std::vector<CColor> faces, vertices;
  };
  const Case cases[] = {
      {"OVERALL", "coordIndex [ 0, 1, 2, -1, 0, 2, 3, -1 ]", {red, red}, {white, white, white}},
      {"PER_FACE", "coordIndex [ 0, 1, 2, -1, 0, 2, 3, -1 ]", {red, green}, {white}},
      {"PER_FACE_INDEXED",
       "coordIndex [ 0, 1, 2, -1, 0, 2, 3, -1 ] materialIndex [ 2, 0 ]",
       {blue, red},
       {white}},
      {"PER_VERTEX_INDEXED",
       "coordIndex [ 0, 1, 2, -1, 0, 2, 3, -1 ]",
       {white, white},
       {red, green, blue, white}},
      {"PER_VERTEX_INDEXED",
       "coordIndex [ 0, 1, 2, -1, 0, 2, 3, -1 ] materialIndex [ 1, 1, 1, -1, 1, 1, 2, -1 ]",
       {white, white},
       {green, green, green, blue}},
      {"PER_VERTEX", "coordIndex [ 3, 1, 2, -1 ]", {white}, {white, green, blue, red}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.binding) + " " + c.shape);
    Read r("IndexedFaceSet { vertexProperty VertexProperty { " + points + colors +
           "materialBinding " + c.binding + " } " + c.shape + " }");
    ASSERT_EQ(r.ok, 1) << r.error;
    ASSERT_EQ(r.mesh.NbFace(), static_cast<int>(c.faces.size()));
    for (size_t i = 0; i < c.faces.size(); i++)
      EXPECT_TRUE(r.mesh.GetFace(int(i))->m_Color == c.faces[i]) << "face " << i;
    for (size_t i = 0; i < c.vertices.size(); i++)
      EXPECT_TRUE(r.mesh.GetVertex(int(i))->m_Color == c.vertices[i]) << "vertex " << i;
    EXPECT_EQ(r.report.skippedColors, 0);
  }

  // strips: PER_PART colours each strip, PER_FACE each triangle
  Read parts(
      "VertexProperty { vertex [ 0 0 0, 0 1 0, 1 0 0, 1 1 0, 2 0 0, 2 1 0, 3 0 0 ] " + colors +
      "materialBinding PER_PART } TriangleStripSet { numVertices [ 4, 3, 3 ] startIndex 0 }");
  ASSERT_EQ(parts.ok, 1) << parts.error;
  ASSERT_EQ(parts.mesh.NbFace(), 3);
  EXPECT_TRUE(parts.mesh.GetFace(1)->m_Color == red);
  EXPECT_TRUE(parts.mesh.GetFace(2)->m_Color == green);
  EXPECT_EQ(parts.report.skippedFaces, 1); // the third strip runs past the seven points

  // more faces than colours: the others stay white and are counted
  Read few("IndexedFaceSet { vertexProperty VertexProperty { " + points +
           "orderedRGBA 0xff0000ff materialBinding PER_FACE } coordIndex [ 0, 1, 2, -1, 0, 2, 3 "
           "] }");
  ASSERT_EQ(few.ok, 1) << few.error;
  EXPECT_TRUE(few.mesh.GetFace(1)->m_Color == white);
  EXPECT_EQ(few.report.skippedColors, 1);
  Read bad("VertexProperty { orderedRGBA [ 0xfffffffff ] }");
  EXPECT_EQ(bad.ok, 0);
  EXPECT_NE(bad.error.find("orderedRGBA"), std::string::npos);
}

TEST(InventorShapes, IgnoredFieldsNestedTransformsSwitchAndNames) {
  const std::string triangle = "IndexedFaceSet { coordIndex [ 0, 1, 2 ] }\n";
  struct Case {
    const char* name;
    std::string body;
    std::vector<float> firstX; // x of the first vertex of each face, in order
  };
  const std::string points = "DEF Pts+0 Coordinate3 { point [ 1 0 0, 2 0 0, 1 1 0 ] }\n";
  const Case cases[] = {
      {"ignored values",
       points +
           "Translation { translation 5 0 0 ~ } Transform { translation 10 0 0 scaleFactor 3 "
           "3 3 ~ center 1 1 1 ~ }\n" +
           triangle,
       {11}},
      {"nested transforms restored by separators",
       points + "Translation { translation 1 0 0 }\nSeparator { Scale { scaleFactor 2 2 2 }\n" +
           "  Separator { Translation { translation 0 0 7 } " + triangle + " }\n  " + triangle +
           "}\n" + triangle,
       {3, 3, 2}},
      {"switch draws its chosen child",
       points + "Switch { whichChild 1 Separator { " + triangle +
           " } Separator { Translation { translation 20 0 0 } " + triangle + " } }",
       {21}},
      {"switch of none, of all, and inherited",
       points + "Switch { " + triangle + "} Switch { whichChild -3 " + triangle + triangle +
           "} Switch { whichChild 1 Translation { translation 1 0 0 } Switch { whichChild -2 " +
           triangle + "Separator { Translation { translation 50 0 0 } " + triangle + "} } }",
       {1, 1, 51}},
      {"a hidden child defines names but changes nothing",
       "Switch { DEF Far+1 Separator { Translation { translation 30 0 0 } Coordinate3 { point [ 9 "
       "0 0, 9 1 0, 8 0 0 ] } " +
           triangle + "} Translation { translation 100 0 0 } }\n" + points + triangle +
           "USE Far+1\n",
       {1, 39}},
      {"names with '+', used again",
       points + "DEF Tri+1 IndexedFaceSet { coordIndex [ 0, 1, 2 ] }\nTranslation { translation "
                "0 0 1 }\nUSE Tri+1\nCoordinate3 { point [ 5 5 5 ] } USE Pts+0 USE Tri+1\n",
       {1, 1, 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Read r(c.body);
    ASSERT_EQ(r.ok, 1) << r.error;
    ASSERT_EQ(r.mesh.NbFace(), static_cast<int>(c.firstX.size()));
    for (size_t i = 0; i < c.firstX.size(); i++)
      EXPECT_FLOAT_EQ(float(r.mesh.GetFace(int(i))->v(0)->x), c.firstX[i]) << "face " << i;
  }
}

// The shape helpers count faces, parts and vertices as the bindings need.
TEST(InventorShapes, HelpersNumberFacesPartsAndVertices) {
  CShapeFaces strips;
  IndexedStrips({4, 5, 6, 7, -1, 8, 9, 10}, strips);
  EXPECT_EQ(strips.corner, (std::vector<int>{4, 5, 6, 6, 5, 7, 8, 9, 10}));
  EXPECT_EQ(strips.faceNo, (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(strips.partNo, (std::vector<int>{0, 0, 1}));
  EXPECT_EQ(strips.vertexNo, (std::vector<int>{0, 1, 2, 2, 1, 3, 4, 5, 6}));
  EXPECT_EQ(strips.indexNo, (std::vector<int>{0, 1, 2, 2, 1, 3, 5, 6, 7}));

  CShapeFaces quads;
  std::string error;
  ASSERT_TRUE(QuadGrid(3, 2, 1, 7, quads, error));
  EXPECT_EQ(quads.corner, (std::vector<int>{1, 4, 5, 2, 2, 5, 6, 3}));
  EXPECT_EQ(quads.vertexNo, (std::vector<int>{0, 3, 4, 1, 1, 4, 5, 2}));
  CShapeFaces huge;
  ASSERT_TRUE(QuadGrid(100000, 100000, 0, 7, huge, error));
  EXPECT_TRUE(huge.corner.empty());
  EXPECT_EQ(huge.skipped, 99999LL * 99999LL);

  CShapeFaces counted;
  ASSERT_TRUE(CountedParts({2000000000, 3}, 0, 5, false, counted, error));
  EXPECT_TRUE(counted.corner.empty());
  EXPECT_EQ(counted.skipped, 2);
  EXPECT_FALSE(CountedParts({3}, -1, 5, false, counted, error));
}
