// The ".stl" reader and writer.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "io/ReadStl.h"
#include "io/WriteStl.h"
#include "mesh_format_checks.h"

namespace {

int ReadBytes(const std::string& bytes, CMesh3d& mesh, CReadReport& report, std::string& error) {
  return ReadStlFromMemory(&mesh, reinterpret_cast<const unsigned char*>(bytes.data()),
                           bytes.size(), report, error);
}

// A binary file: header, count, and the given triangles (9 coordinates
// each; the test machine is little-endian).
std::string BinaryStl(const std::string& header, uint32_t count,
                      const std::vector<std::vector<float>>& triangles) {
  std::string bytes = header;
  bytes.resize(80, ' ');
  bytes.append(reinterpret_cast<const char*>(&count), 4);
  for (const std::vector<float>& t : triangles) {
    const float normal[3] = {0, 0, 1};
    bytes.append(reinterpret_cast<const char*>(normal), 12);
    bytes.append(reinterpret_cast<const char*>(t.data()), 36);
    bytes.append(2, '\0');
  }
  return bytes;
}

// Two triangles of a unit square, corners repeated as STL gives them.
const std::vector<std::vector<float>> kSquare = {{0, 0, 0, 1, 0, 0, 1, 1, 0},
                                                 {0, 0, 0, 1, 1, 0, -0.0f, 1, 0}};

const char kAsciiSquare[] = "solid  square  \n"
                            "  facet normal 0 0 1\n    outer loop\n"
                            "      vertex 0 0 0\n\tvertex 1 0 0\r\n      vertex 1 1 0\n"
                            "    endloop\n  endfacet\n"
                            "FACET NORMAL 0 0 1 OUTER LOOP VERTEX 0 0 0 VERTEX 1 1 0 "
                            "VERTEX 0 1 0 ENDLOOP ENDFACET\n"
                            "endsolid square\n";

} // namespace

TEST(ReadStl, ReadsBothFormsAndWeldsSharedCorners) {
  const struct {
    const char* name;
    std::string bytes;
    int missing;
  } cases[] = {
      {"ascii, odd spacing and case", kAsciiSquare, 0},
      {"binary", BinaryStl("made by hand", 2, kSquare), 0},
      {"binary whose header starts with solid", BinaryStl("solid square", 2, kSquare), 0},
      {"binary announcing more than it holds", BinaryStl("x", 7, kSquare), 5},
      {"binary starting with solid, announcing more", BinaryStl("solid x", 7, kSquare), 5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CMesh3d mesh;
    CReadReport report;
    std::string error;
    ASSERT_EQ(ReadBytes(c.bytes, mesh, report, error), 1) << error;
    EXPECT_EQ(mesh.NbVertex(), 4); // six corners, four places (-0 is 0)
    ASSERT_EQ(mesh.NbFace(), 2);
    EXPECT_EQ(report.missingRecords, c.missing);
    EXPECT_EQ(mesh.GetFace(0)->v(0), mesh.GetFace(1)->v(0));
    EXPECT_EQ(mesh.GetFace(0)->v(2), mesh.GetFace(1)->v(1));
    mesh.Rebuild();
    EXPECT_EQ(testmeshes::CountBoundaryEdges(&mesh), 4);
  }
}

TEST(ReadStl, SkipsTrianglesWithCoincidentCornersAndFansPolygons) {
  CMesh3d mesh;
  CReadReport report;
  std::string error;
  ASSERT_EQ(ReadBytes("solid\nfacet normal 0 0 0 outer loop vertex 0 0 0 vertex 0 0 0 vertex 1 0 "
                      "0 endloop endfacet\nfacet normal 0 0 1 outer loop vertex 0 0 0 vertex 1 0 "
                      "0 vertex 1 1 0 vertex 0 1 0 endloop endfacet\nendsolid\nsolid b\nendsolid\n",
                      mesh, report, error),
            1)
      << error;
  EXPECT_EQ(mesh.NbFace(), 2);
  EXPECT_EQ(report.degenerateFaces, 1);
  EXPECT_EQ(report.fannedPolygons, 1);
  EXPECT_NE(report.Summary().find("coincident corners"), std::string::npos);
}

TEST(ReadStl, RefusesMalformedFilesNamingTheLineOrOffset) {
  std::vector<std::vector<float>> bad = kSquare;
  bad[1][4] = std::numeric_limits<float>::infinity();
  const struct {
    std::string bytes;
    const char* message;
  } cases[] = {
      {"", "neither an ascii STL"},
      {"hello", "neither an ascii STL"},
      {"solid a\nfacet normal 0 0 1\nouter loop\nvertex 0 0\n", "line 5: a number expected"},
      {"solid a\nfacet normal 0 0 1\nouter loop\nvertex 0 0 0\nvertex 1 0 0\nendloop\n",
       "line 6: a facet needs three vertices"},
      {"solid a\nfacet normal 0 0 1\n", "the file ends before \"outer\""},
      {"solid a\nfacet normal 0 0 1\nouter ring\n", "line 3: \"loop\" expected"},
      {"solid a\nfacet normal 0 0 1 outer loop vertex 0 0 0 vertex 1 0 0 vertex 0 1 0 endloop\n",
       "the file ends before \"endfacet\""},
      {"solid a\nfacet normal 0 0 1 outer loop vertex 0 0 0 vertex 1 0 0 vertex 0 1 0 endloop\n"
       "endsolid\n",
       "line 3: \"endfacet\" expected"},
      {"solid a\n", "the file ends before \"endsolid\""},
      {"solid a\nendsolid a\ngarbage\n", "line 3: \"solid\" expected"},
      {BinaryStl("x", 2, bad), "byte offset 134: triangle 1"},
  };
  for (const auto& c : cases) meshformat::ExpectRefused(ReadStlFromMemory, c.bytes, c.message);
}

TEST(WriteStl, RoundTripRestoresSharedVerticesAndBoundaries) {
  CMesh3d* written = meshformat::MakeTwoComponents();
  const int faces = written->NbFace();
  CMesh3d read;
  const std::string bytes =
      meshformat::ExpectRoundTrip(written, WriteStl, ReadStl, "two.stl", read);
  EXPECT_EQ(bytes.size(), 84 + 50 * size_t(faces));
  EXPECT_NE(bytes.compare(0, 5, "solid"), 0);
}
