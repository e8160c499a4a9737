// The ".off" reader and writer.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "io/ReadOff.h"
#include "io/WriteOff.h"
#include "mesh_format_checks.h"

using meshformat::WriteTemp;

namespace {

int ReadText(const std::string& text, CMesh3d& mesh, CReadReport& report, std::string& error) {
  return ReadOffFromMemory(&mesh, text.data(), text.size(), report, error);
}

} // namespace

TEST(ReadOff, ReadsVariantsColorsPolygonsAndComments) {
  struct Case {
    const char* name;
    const char* text;
    int vertices, faces, fanned;
    CColor firstVertex; // white when the file gives no color
  };
  const CColor white;
  const Case cases[] = {
      {"plain", "OFF\n3 1 0\n0 0 0\n1 0 0\n0 1 0\n3 0 1 2\n", 3, 1, 0, white},
      {"counts on the keyword line, comments, tabs, CRLF",
       "# made by hand\r\nOFF 3 1 3 # counts\r\n\r\n0\t0 0\r\n1 0  0\r\n0 1 0 # last\r\n3 0 1 "
       "2\r\n",
       3, 1, 0, white},
      {"quad and pentagon fanned",
       "OFF\n5 2 0\n0 0 0\n1 0 0\n1 1 0\n0 1 0\n0 2 0\n"
       "4 0 1 2 3\n5 0 1 2 3 4\n",
       5, 5, 2, white},
      {"byte colors",
       "COFF\n3 1 0\n0 0 0 255 0 10 255\n1 0 0 0 0 0 255\n0 1 0 0 0 0 255\n3 0 1 2\n", 3, 1, 0,
       CColor(255, 0, 10)},
      {"real colors", "OFF\n3 1 0\n0 0 0 1.0 0.5 0\n1 0 0\n0 1 0\n3 0 1 2 0.1 0.2 0.3\n", 3, 1, 0,
       CColor(255, 128, 0)},
      {"normals", "NOFF\n3 1 0\n0 0 0 0 0 1\n1 0 0 0 0 1\n0 1 0 0 0 1\n3 0 1 2\n", 3, 1, 0, white},
      {"texture points", "STOFF\n3 1 0\n0 0 0 0 0\n1 0 0 1 0\n0 1 0 0 1\n3 0 1 2\n", 3, 1, 0,
       white},
      {"face out of range skipped", "OFF\n3 2 0\n0 0 0\n1 0 0\n0 1 0\n3 0 1 3\n3 0 1 2\n", 3, 1, 0,
       white},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CMesh3d mesh;
    CReadReport report;
    std::string error;
    ASSERT_EQ(ReadText(c.text, mesh, report, error), 1) << error;
    EXPECT_EQ(mesh.NbVertex(), c.vertices);
    EXPECT_EQ(mesh.NbFace(), c.faces);
    EXPECT_EQ(report.fannedPolygons, c.fanned);
    if (c.fanned) {
      EXPECT_NE(report.Summary().find("polygons split into triangles"), std::string::npos);
    }
    EXPECT_TRUE(mesh.GetVertex(0)->m_Color == c.firstVertex);
  }
}

TEST(ReadOff, ReadsNormalsFaceColorsAndTexturePoints) {
  CMesh3d mesh;
  CReadReport report;
  std::string error;
  ASSERT_EQ(ReadText("STCNOFF\n3 1 0\n0 0 0 0 0 1 9 8 7 255 0.5 0.25\n1 0 0 0 0 1 0 0 0 255 1 0\n"
                     "0 1 0 0 0 1 0 0 0 255 0 1\n3 0 1 2 1 2 3\n",
                     mesh, report, error),
            1)
      << error;
  EXPECT_DOUBLE_EQ(mesh.GetVertex(0)->m_Normal.z, 1.0);
  EXPECT_TRUE(mesh.GetVertex(0)->m_Color == CColor(9, 8, 7));
  EXPECT_TRUE(mesh.GetFace(0)->m_Color == CColor(1, 2, 3));
  ASSERT_EQ(mesh.m_NbTextureCoordinate, 3);
  EXPECT_FLOAT_EQ(mesh.m_pTextureCoordinate[0], 0.5f);
}

TEST(ReadOff, RefusesBrokenFilesNamingTheLine) {
  struct Case {
    const char* text;
    const char* message;
  };
  const Case cases[] = {
      {"", "empty"},
      {"PLY\n3 1 0\n", "line 1: \"PLY\" is not an OFF header"},
      {"4OFF\n", "only three-dimensional"},
      {"OFF BINARY\n", "binary OFF"},
      {"OFF\n", "ends before the counts"},
      {"OFF\nthree 1 0\n", "line 2: \"vertices faces edges\" expected"},
      {"OFF\n-3 1 0\n", "line 2: negative count"},
      {"OFF\n2000000000 0 0\n0 0 0\n", "more than a file of"},
      {"OFF\n3 1 0\n0 0 0\n1 0 0\n", "ends before vertex 2 of 3"},
      {"OFF\n3 1 0\n0 0 0\n1 0 x\n0 1 0\n3 0 1 2\n", "line 4: vertex 1"},
      {"COFF\n1 0 0\n0 0 0\n", "line 3: vertex 0: the values after the position"},
      {"OFF\n3 1 0\n0 0 0\n1 0 0\n0 1 0\n9 0 1 2\n", "line 6: face 0"},
      {"OFF\n3 2 0\n0 0 0\n1 0 0\n0 1 0\n3 0 1 2\n", "ends before face 1 of 2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    auto mesh = std::make_unique<CMesh3d>();
    CReadReport report;
    std::string error;
    EXPECT_EQ(ReadText(c.text, *mesh, report, error), 0);
    EXPECT_NE(error.find(c.message), std::string::npos) << error;
    EXPECT_EQ(mesh->NbVertex(), 0);
  }
}

TEST(WriteOff, RoundTripKeepsComponentsBoundariesAndFloatPositions) {
  CMesh3d read;
  const std::string bytes = meshformat::ExpectRoundTrip(meshformat::MakeTwoComponents(), WriteOff,
                                                        ReadOff, "two.off", read);
  EXPECT_EQ(bytes.compare(0, 4, "OFF\n"), 0);
}

TEST(WriteOff, SceneWithoutMeshOrUnwritableFolderKeepsTheOldFile) {
  CSceneGraph3d empty;
  const std::string path = WriteTemp("old.off", "old");
  std::string error;
  EXPECT_EQ(WriteOff(&empty, path, error), 0);
  EXPECT_EQ(error, "This scene does not contain meshes");
  EXPECT_EQ(meshformat::ReadAll(path), "old");
  CSceneGraph3d scene;
  scene.Add(testmeshes::MakeGrid(2, 2));
  EXPECT_EQ(WriteOff(&scene, "/no-such-folder/x.off", error), 0);
  EXPECT_FALSE(error.empty());
}
