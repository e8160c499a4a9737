#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "geometry/Mesh3d.h"
#include "io/ReadSmf.h"

namespace {

std::string WriteTemp(const std::string& name, const std::string& content) {
  std::string path = ::testing::TempDir() + name;
  std::ofstream(path, std::ios::binary) << content;
  return path;
}

} // namespace

TEST(ReadSmf, ReadsVerticesFacesColorsInAnyOrder) {
  // colors may precede vertices; "t" lines are faces too
  std::string path = WriteTemp("order.smf", "c 1 0 0.5\n# comment\nv 0 0 0\nv 1 0 0\r\n"
                                            "v 0 1 0\nt 0 1 2\nf 2 1 0");
  CMesh3d mesh;
  CReadReport report;
  std::string error;
  ASSERT_EQ(ReadSmf(&mesh, path, report, error), 1);
  ASSERT_EQ(mesh.NbVertex(), 3);
  ASSERT_EQ(mesh.NbFace(), 2);
  EXPECT_EQ(mesh.GetFace(0)->v(0), mesh.GetVertex(0));
  EXPECT_EQ(mesh.GetFace(1)->v(0), mesh.GetVertex(2));
  EXPECT_EQ(mesh.GetVertex(0)->m_Color, CColor(255, 0, 127));
  EXPECT_EQ(mesh.GetVertex(1)->m_Color, CColor(255, 255, 255));
  EXPECT_DOUBLE_EQ(mesh.GetVertex(1)->x, 1.0);
  EXPECT_TRUE(report.Summary().empty());
}

TEST(ReadSmf, SkipsBadIndicesAndReportsThem) {
  std::string path = WriteTemp("bad.smf", "v 0 0 0\nv 1 0 0\nv 0 1 0\n"
                                          "f 0 1 3\nf -1 0 1\nf 0 1\nv nan\n"
                                          "f 0 1 2\nc 0 0 0\nc 1 1 1\nc 0 0 0\nc 1 1 1\n");
  CMesh3d mesh;
  CReadReport report;
  std::string error;
  ASSERT_EQ(ReadSmf(&mesh, path, report, error), 1);
  EXPECT_EQ(mesh.NbFace(), 1);
  EXPECT_EQ(report.skippedFaces, 2);
  EXPECT_EQ(report.malformedLines, 2); // "f 0 1" and "v nan"
  EXPECT_EQ(report.skippedColors, 1);
  EXPECT_FALSE(report.Summary().empty());
}

TEST(ReadSmf, MissingFileIsAnErrorAndEmptyFileIsEmpty) {
  CMesh3d mesh;
  CReadReport report;
  std::string error;
  EXPECT_EQ(ReadSmf(&mesh, ::testing::TempDir() + "no-such-file.smf", report, error), 0);
  EXPECT_NE(error.find("no-such-file.smf"), std::string::npos);
  EXPECT_EQ(ReadSmf(&mesh, WriteTemp("empty.smf", ""), report, error), 1);
  EXPECT_EQ(mesh.NbVertex(), 0);
}

TEST(ReadSmf, BundledSampleIsAClosedIcosahedron) {
  CMesh3d mesh;
  CReadReport report;
  std::string error;
  ASSERT_EQ(ReadSmf(&mesh, ORVEX_SAMPLES_DIR "/icosahedron.smf", report, error), 1);
  mesh.Rebuild();
  EXPECT_EQ(mesh.NbVertex(), 12);
  EXPECT_EQ(mesh.NbFace(), 20);
  for (int i = 0; i < mesh.NbFace(); i++)
    for (int k = 0; k < 3; k++) EXPECT_NE(mesh.GetFace(i)->f(k), nullptr);
}
