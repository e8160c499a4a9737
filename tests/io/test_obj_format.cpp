// The ".obj" reader and writer.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "geometry/PolygonMesh.h"
#include "geometry/SceneGraph3d.h"
#include "geometry/VertexIndexMap.h"
#include "io/ReadObj.h"
#include "io/WriteObj.h"
#include "mesh_format_checks.h"

using meshformat::WriteTemp;

namespace {

const char* const kSquare = "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nvt 0 0\nvt 1 0\nvt 1 1\nvt 0 "
                            "1\nvn 0 0 1\nvn 0 0 -1\n";

int ReadText(const std::string& text, CMesh3d& mesh, CReadReport& report, std::string& error,
             const ObjLibraryLoader& libraries = nullptr) {
  return ReadObjFromMemory(&mesh, text.data(), text.size(), report, error, libraries);
}

// The corners of face i as vertex indices.
std::vector<int> Corners(const CMesh3d& mesh, int i) {
  const CVertexIndexMap index(mesh.m_ArrayVertex);
  const CFace3d* f = mesh.GetFace(i);
  return {index.IndexOf(f->v(0)), index.IndexOf(f->v(1)), index.IndexOf(f->v(2))};
}

} // namespace

// Every corner form names the same triangle over the square's vertices.
TEST(ReadObj, CornerFormsAndRelativeIndicesNameTheSameCorners) {
  struct Case {
    const char* face;
    bool textured; // every corner names a texture point
  };
  const Case cases[] = {
      {"f 1 2 3", false},
      {"f 1/1 2/2 3/3", true},
      {"f 1//1 2//1 3//2", false},
      {"f 1/1/1 2/2/1 3/3/2", true},
      {"f -4 -3 -2", false},
      {"f -4/-4/-2 -3/-3/-1 -2/-2/-1", true},
      {"f 1/1 2//1 3", false}, // forms mixed in one face
      {"f\t1   2\t\t3  # comment", false},
      {"f 1 2 3\r", false},
      {"f 1 \\\n  2 \\ \r\n3", false},       // continued over lines
      {"# C:\\models\\\nf 1 2 3 \\", false}, // not a comment; the last line
      {"  f 1 2 3\v\f", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.face);
    CMesh3d mesh;
    CReadReport report;
    std::string error;
    ASSERT_EQ(ReadText(std::string(kSquare) + c.face + "\n", mesh, report, error), 1) << error;
    EXPECT_EQ(mesh.NbVertex(), 4);
    ASSERT_EQ(mesh.NbFace(), 1);
    EXPECT_EQ(Corners(mesh, 0), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(mesh.m_NbTextureCoordinate == 4, c.textured);
    EXPECT_TRUE(report.Summary().empty()) << report.Summary();
  }
}

TEST(ReadObj, AcceptsGroupsAndOtherStatementsAndFansPolygons) {
  const std::string text = std::string("# a file as tools write it\nmtllib none.mtl\no first\n") +
                           kSquare +
                           "g side\ns 1\nusemtl missing\nf 1 2 3 4\nl 1 2\np 3\n"
                           "o second\ns off\nv 5 5 5\nf 1 2 -1\nvendor_statement x\n";
  CMesh3d mesh;
  CReadReport report;
  std::string error;
  ASSERT_EQ(ReadText(text, mesh, report, error), 1) << error;
  EXPECT_EQ(mesh.NbVertex(), 5);
  EXPECT_EQ(mesh.NbFace(), 3);
  EXPECT_EQ(Corners(mesh, 1), (std::vector<int>{0, 2, 3}));
  EXPECT_EQ(Corners(mesh, 2), (std::vector<int>{0, 1, 4}));
  EXPECT_EQ(report.fannedPolygons, 1);
  EXPECT_EQ(report.malformedLines, 1);
  EXPECT_NE(report.Summary().find("1 polygons split into triangles"), std::string::npos);
}

TEST(ReadObj, LongLinesAndVertexColors) {
  std::string text = "v 0 0 0 1 0 0\nv 1 0 0\nv 0 1 0 0 0.5 1\nv 1 1 1 1.0\nf";
  for (int k = 0; k < 20000; k++) text += k % 2 ? " 2" : " 1";
  text += " 3\n";
  CMesh3d mesh;
  CReadReport report;
  std::string error;
  ASSERT_EQ(ReadText(text, mesh, report, error), 1) << error;
  EXPECT_EQ(mesh.NbFace(), 19999);
  EXPECT_TRUE(mesh.GetVertex(0)->m_Color == CColor(255, 0, 0));
  EXPECT_TRUE(mesh.GetVertex(1)->m_Color == CColor());
  EXPECT_TRUE(mesh.GetVertex(2)->m_Color == CColor(0, 128, 255));
  EXPECT_TRUE(mesh.GetVertex(3)->m_Color == CColor()); // x y z w
}

TEST(ReadObj, MaterialDiffuseColorsColorTheFacesThatFollow) {
  const std::string library = "# library\nnewmtl red\nKa 0 0 0\nKd 1 0 0\n\nnewmtl Light "
                              "Blue\n  Kd 0.5 0.75 1\nnewmtl plain\n";
  std::vector<std::string> asked;
  const ObjLibraryLoader libraries = [&](const std::string& name, std::string& text) {
    asked.push_back(name);
    if (name != "a.mtl") return false;
    text = library;
    return true;
  };
  const std::string obj = std::string("mtllib missing.mtl a.mtl\n") + kSquare +
                          "f 1 2 3\nusemtl red\nf 1 2 3\nusemtl Light Blue\nf 1 2 3\n"
                          "usemtl plain\nf 1 2 3\nusemtl unknown\nf 1 2 3\n";
  CMesh3d mesh;
  CReadReport report;
  std::string error;
  ASSERT_EQ(ReadText(obj, mesh, report, error, libraries), 1) << error;
  ASSERT_EQ(mesh.NbFace(), 5);
  const CColor expected[] = {CColor(), CColor(255, 0, 0), CColor(128, 191, 255), CColor(),
                             CColor()};
  for (int i = 0; i < 5; i++) EXPECT_TRUE(mesh.GetFace(i)->m_Color == expected[i]) << i;
  EXPECT_EQ(asked, (std::vector<std::string>{"missing.mtl a.mtl", "missing.mtl", "a.mtl"}));
}

TEST(ReadObj, FileLooksForItsLibraryBesideIt) {
  namespace fs = std::filesystem;
  const fs::path folder = fs::path(::testing::TempDir()) / "obj_beside";
  fs::create_directories(folder);
  WriteTemp("obj_beside/paint.mtl", "newmtl green\nKd 0 1 0\n");
  const std::string path =
      WriteTemp("obj_beside/m.obj",
                std::string("mtllib ./sub/../paint.mtl\n") + kSquare + "usemtl green\nf 1 2 3\n");
  CMesh3d mesh;
  CReadReport report;
  std::string error;
  ASSERT_EQ(ReadObj(&mesh, path, report, error), 1) << error;
  EXPECT_TRUE(mesh.GetFace(0)->m_Color == CColor(0, 255, 0));
}

TEST(ReadObj, RefusesBrokenFilesNamingTheLine) {
  struct Case {
    std::string text;
    const char* message;
  };
  const std::string square(kSquare); // 10 lines
  const Case cases[] = {
      {"", "holds no face"},
      {"v 0 0 0\n", "holds no face"},
      {"v 0 0\n", "line 1: \"v x y z\" expected"},
      {"v 0 0 zero\n", "line 1: \"v x y z\" expected"},
      {"v 0 0 0 1 x\n", "line 1: vertex 1: value 5 is not a number"},
      {"v 1e999 0 0\n", "line 1"},
      {"vt\n", "line 1: \"vt u v\" expected"},
      {"vn 0 0\n", "line 1: \"vn x y z\" expected"},
      {square + "f 1 2\n", "line 11: a face needs at least 3 corners, 2 given"},
      {square + "f 1 2 5\n", "line 11: corner 3: vertex 5 is not among the 4 read so far"},
      {square + "f 1 2 0\n", "line 11: corner 3"},
      {square + "f 1 2 -5\n", "line 11: corner 3: vertex -5"},
      {square + "f 1/5 2/1 3/1\n", "line 11: corner 1: texture point 5"},
      {square + "f 1//3 2//1 3//1\n", "line 11: corner 1: normal 3"},
      {square + "f 1/1/-3 2 3\n", "line 11: corner 1: normal -3"},
      {square + "f 1 2 3x\n", "line 11: corner 3: \"i\", \"i/t\""},
      {square + "f 1 2 3/a\n", "line 11: corner 3"},
      {square + "f 1 2 99999999999\n", "line 11: corner 3"},
      {"f 1 2 3\n" + square, "line 1: corner 1: vertex 1 is not among the 0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    CMesh3d mesh;
    CReadReport report;
    std::string error;
    EXPECT_EQ(ReadText(c.text, mesh, report, error), 0);
    EXPECT_NE(error.find(c.message), std::string::npos) << error;
    EXPECT_EQ(mesh.NbVertex(), 0);
  }
}

TEST(WriteObj, RoundTripKeepsComponentsBoundariesAndFloatPositions) {
  CMesh3d read;
  const std::string bytes = meshformat::ExpectRoundTrip(meshformat::MakeTwoComponents(), WriteObj,
                                                        ReadObj, "two.obj", read);
  EXPECT_NE(bytes.find("\no Mesh\nv "), std::string::npos);
}

// Every mesh is a group of its own; the indices count across the file.
TEST(WriteObj, EveryMeshIsAGroupAndColorsComeBack) {
  CSceneGraph3d scene;
  CMesh3d* grid = testmeshes::MakeGrid(3, 2);
  grid->m_Name = "flat grid";
  CMesh3d* torus = testmeshes::MakeTorus(5, 4);
  torus->m_Name = "";
  torus->GetVertex(0)->m_Color = CColor(10, 20, 30);
  scene.Add(grid);
  scene.Add(torus);
  const std::string path = ::testing::TempDir() + "scene.obj";
  std::string error;
  ASSERT_EQ(WriteObj(&scene, path, error), 1) << error;
  const std::string bytes = meshformat::ReadAll(path);
  EXPECT_NE(bytes.find("o flat_grid\n"), std::string::npos);
  EXPECT_NE(bytes.find("o mesh2\n"), std::string::npos);

  CMesh3d read;
  CReadReport report;
  ASSERT_EQ(ReadObj(&read, path, report, error), 1) << error;
  ASSERT_EQ(read.NbVertex(), grid->NbVertex() + torus->NbVertex());
  ASSERT_EQ(read.NbFace(), grid->NbFace() + torus->NbFace());
  // the torus's first face lands on the torus's vertices
  const std::vector<int> corners = Corners(read, grid->NbFace());
  const CVertexIndexMap index(torus->m_ArrayVertex);
  for (int c = 0; c < 3; c++)
    EXPECT_EQ(corners[size_t(c)], grid->NbVertex() + index.IndexOf(torus->GetFace(0)->v(c)));
  EXPECT_TRUE(read.GetVertex(grid->NbVertex())->m_Color == CColor(10, 20, 30));
  EXPECT_TRUE(read.GetVertex(grid->NbVertex() + 1)->m_Color == CColor());
}

// File/Open: triangles give a triangle mesh, larger faces a polygon mesh
// that keeps them whole; saving writes quads and polygons as they are.
TEST(ObjScene, LargerFacesStayWholeAndRoundTrip) {
  const char quadAndTriangle[] = "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 2 0 0\n"
                                 "f 1 2 3 4\nf 2 5 3\n";
  CSceneGraph3d scene;
  CReadReport report;
  std::string error;
  ASSERT_EQ(
      ReadObjSceneFromMemory(&scene, quadAndTriangle, sizeof quadAndTriangle - 1, report, error), 1)
      << error;
  ASSERT_EQ(scene.NbObject(), 1);
  ASSERT_EQ(scene.GetAt(0)->GetType(), TYPE_POLYGON_MESH);
  const auto* polygons = static_cast<const CPolygonMesh*>(scene.GetAt(0));
  ASSERT_EQ(polygons->NbFace(), 2);
  EXPECT_EQ(polygons->FaceSize(0), 4);
  EXPECT_EQ(polygons->FaceSize(1), 3);
  EXPECT_EQ(report.fannedPolygons, 0);

  const std::string path = ::testing::TempDir() + "polygons.obj";
  ASSERT_EQ(WriteObj(&scene, path, error), 1) << error;
  CSceneGraph3d again;
  ASSERT_EQ(ReadObjScene(&again, path, report, error), 1) << error;
  ASSERT_EQ(again.GetAt(0)->GetType(), TYPE_POLYGON_MESH);
  EXPECT_EQ(static_cast<const CPolygonMesh*>(again.GetAt(0))->NbFace(), 2);

  const char triangles[] = "v 0 0 0\nv 1 0 0\nv 1 1 0\nf 1 2 3\n";
  CSceneGraph3d plain;
  ASSERT_EQ(ReadObjSceneFromMemory(&plain, triangles, sizeof triangles - 1, report, error), 1);
  EXPECT_EQ(plain.GetAt(0)->GetType(), TYPE_MESH3D);
}
