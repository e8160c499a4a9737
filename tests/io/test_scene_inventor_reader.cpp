#include <gtest/gtest.h>

#include <string>

#include "geometry/Mesh3d.h"
#include "io/ReadInventor.h"

namespace {

int Read(CMesh3d& mesh, const std::string& text, CReadReport& report, std::string& error) {
  return ReadInventorFromMemory(&mesh, text.data(), text.size(), report, error);
}

} // namespace

TEST(InventorReader, ReadsSeparatorTreesWithSeveralFaceSets) {
  const std::string text =
      "#Inventor V2.1 ascii\r\n\r\n# two parts\r\n"
      "Separator {\r\n  ShapeHints { vertexOrdering COUNTERCLOCKWISE }\r\n"
      "  Separator { Coordinate3 { point [ 0 0 0, 1 0 0, 1 1 0, 0 1 0,\r\n"
      "    2 2 2, 3 3 3, 4 4 4, 5 5 5, 6 6 6 ] }\r\n"
      "    IndexedFaceSet { coordIndex [ 0, 1, 2, 3, -1, 010, 1, 2, -1 ] } }\r\n"
      "  Coordinate3 { point [ 0 0 1, 1 0 1, 0 1 1 ] }\r\n"
      "  IndexedFaceSet { coordIndex [ 2, 1, 0, -1, 0, 1, 5, -1 ] }\r\n}\r\n";
  CMesh3d mesh;
  CReadReport report;
  std::string error;
  ASSERT_EQ(Read(mesh, text, report, error), 1) << error;
  EXPECT_EQ(mesh.NbVertex(), 12);
  ASSERT_EQ(mesh.NbFace(), 4);
  EXPECT_EQ(mesh.GetFace(2)->v(0), mesh.GetVertex(8)); // "010" is octal 8
  EXPECT_EQ(mesh.GetFace(3)->v(0), mesh.GetVertex(11));
  EXPECT_EQ(mesh.GetFace(3)->v(2), mesh.GetVertex(9));
  EXPECT_EQ(report.skippedFaces, 1);
  EXPECT_EQ(mesh.GetFace(0)->f(2), mesh.GetFace(1)); // rebuilt
}

TEST(InventorReader, RefusesWhatItCannotRead) {
  const char* cases[][2] = {
      {"#Inventor V2.0 binary\nSeparator {}\n", "first line"},
      {"#Inventor V2.1 ascii\nSeparator { Coordinate3 { point [ 0 0 0, 1 0", "line 2"},
      {"#Inventor V2.1 ascii\nSeparator { Coordinate3 { point [ 0 0 0 ] }", "ends before"},
      {"#Inventor V2.1 ascii\nIndexedFaceSet { coordIndex [ 0, 1, 2 ] }\n", "no shape with faces"},
      {"#Inventor V2.1 ascii\nCoordinate3 { point [ 0 0 0 1 0 0 0 1 0 ] }\n"
       "IndexedFaceSet { coordIndex [ 0, 1, 2, 08 ] }\n",
       "line 3"},
  };
  for (const auto& c : cases) {
    CMesh3d mesh;
    CReadReport report;
    std::string error;
    EXPECT_EQ(Read(mesh, c[0], report, error), 0) << c[0];
    EXPECT_NE(error.find(c[1]), std::string::npos) << error;
    EXPECT_EQ(mesh.NbVertex(), 0);
  }
}

TEST(InventorReader, PlacesFacesByTheTransformsOfTheirScope) {
  const std::string text =
      "#Inventor V2.1 ascii\n"
      "Separator {\n"
      "  DEF P Coordinate3 { point [ 0 0 0, 1 0 0, 0 1 0 ] }\n"
      "  Separator { Translation { translation 10 0 0 } Scale { scaleFactor 2 2 2 }\n"
      "    IndexedFaceSet { coordIndex [ 0, 1, 2, -1 ] } }\n"
      "  IndexedFaceSet { coordIndex [ 0, 1, 2, -1 ] }\n"
      "  MatrixTransform { matrix 1 0 0 0  0 1 0 0  0 0 1 0  0 0 5 1 }\n"
      "  RotationXYZ { axis Z angle 1.5707963 }\n"
      "  IndexedFaceSet { coordIndex [ 0, 1, 2, -1 ] }\n"
      "}\n";
  CMesh3d mesh;
  CReadReport report;
  std::string error;
  ASSERT_EQ(Read(mesh, text, report, error), 1) << error;
  ASSERT_EQ(mesh.NbVertex(), 9); // placed copies of the points, and the points as they are
  EXPECT_DOUBLE_EQ(mesh.GetVertex(1)->x, 12.0);
  EXPECT_DOUBLE_EQ(mesh.GetVertex(4)->x, 1.0);
  const CVertex3d* turned = mesh.GetVertex(7); // (1, 0, 0) turned about z, then lifted
  EXPECT_NEAR(turned->x, 0.0, 1e-6);
  EXPECT_NEAR(turned->y, 1.0, 1e-6);
  EXPECT_NEAR(turned->z, 5.0, 1e-6);
  EXPECT_EQ(mesh.NbFace(), 3);
}
