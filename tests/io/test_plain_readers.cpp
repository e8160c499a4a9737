#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "geometry/Mesh3d.h"
#include "io/ReadDem.h"
#include "io/ReadMhp.h"
#include "io/ReadPpd.h"
#include "io/ReadSmm.h"

namespace {

using Reader = int (*)(CMesh3d*, const char*, size_t, CReadReport&, std::string&);

struct Result {
  int ok;
  int vertices;
  int faces;
  CReadReport report;
  std::string error;
};

Result Read(Reader reader, const std::string& text, CMesh3d* keep = nullptr) {
  CMesh3d local;
  CMesh3d* mesh = keep ? keep : &local;
  Result r{};
  r.ok = reader(mesh, text.data(), text.size(), r.report, r.error);
  r.vertices = mesh->NbVertex();
  r.faces = mesh->NbFace();
  return r;
}

} // namespace

TEST(PlainReaders, ReadTheirLayouts) {
  CMesh3d mesh;
  Result r = Read(ReadSmmFromMemory, "3 1\n0 0 0\n1 0 0\n0 1 0\n0 1 2\n", &mesh);
  ASSERT_EQ(r.ok, 1);
  EXPECT_EQ(r.faces, 1);
  EXPECT_EQ(mesh.GetFace(0)->v(2), mesh.GetVertex(2));

  CMesh3d ppd;
  ASSERT_EQ(Read(ReadPpdFromMemory,
                 "vertex 3\nface 1\nh\n1 0 0 0\n2 1 0 0\n3 0 1 0\nh\nh\n"
                 "7 3 2 1\n",
                 &ppd)
                .ok,
            1);
  ASSERT_EQ(ppd.NbFace(), 1);
  EXPECT_EQ(ppd.GetFace(0)->v(0), ppd.GetVertex(2)); // corners counted from 1

  CMesh3d dem;
  ASSERT_EQ(Read(ReadDemFromMemory,
                 "vertices: 3\nfaces: 1\nv 0 0 0\nn\nv 1 0 0\nn\nv 0 1 0\nn\n"
                 "f 1 2 3\nc ff 80 0\n",
                 &dem)
                .ok,
            1);
  ASSERT_EQ(dem.NbFace(), 1);
  EXPECT_EQ(dem.GetFace(0)->m_Color, CColor(255, 128, 0));
  EXPECT_EQ(dem.GetVertex(0)->m_Color, CColor(255, 255, 255));

  CMesh3d mhp;
  ASSERT_EQ(Read(ReadMhpFromMemory,
                 "vertices: 3\nfaces: 1\r\nVertex 1 0 0 0\nVertex 2 1 2 3\n"
                 "Vertex 3 0 1 0\nFace 9 1 2 3\n",
                 &mhp)
                .ok,
            1);
  const CVertex3d* v = mhp.GetVertex(1);
  EXPECT_EQ(v->x, 1.0);
  EXPECT_EQ(v->y, 3.0);
  EXPECT_EQ(v->z, -2.0); // (a, b, c) is the position (a, c, -b)
}

TEST(PlainReaders, BadIndicesAreSkippedAndCounted) {
  CMesh3d mesh;
  Result r =
      Read(ReadSmmFromMemory, "3 4\n0 0 0\n1 0 0\n0 1 0\n0 1 3\n-1 0 1\n0 1\n2 1 0\n", &mesh);
  ASSERT_EQ(r.ok, 1);
  EXPECT_EQ(r.faces, 1);
  EXPECT_EQ(r.report.skippedFaces, 2);
  EXPECT_EQ(r.report.malformedLines, 1);
  r = Read(ReadMhpFromMemory, "vertices: 1\nfaces: 1\nVertex 1 0 0 0\nFace 1 1 1 -2147483648\n");
  EXPECT_EQ(r.ok, 1);
  EXPECT_EQ(r.report.skippedFaces, 1);
  r = Read(ReadDemFromMemory, "vertices: 3\nfaces: 1\nv 0 0 0\n\nv 1 0 0\n\nv 0 1 0\n\n"
                              "f 1 2 3\nc 100 0 0\n");
  EXPECT_EQ(r.ok, 1);
  EXPECT_EQ(r.faces, 1);
  EXPECT_EQ(r.report.malformedLines, 1); // the color is not a byte
}

TEST(PlainReaders, BadCountsAndShortFilesAreRefused) {
  const struct {
    Reader reader;
    const char* text;
    const char* error;
  } cases[] = {
      {ReadSmmFromMemory, "-1 0\n", "negative vertex count"},
      {ReadSmmFromMemory, "2 0\n0 0 0\n", "ends before the last vertex"},
      {ReadSmmFromMemory, "1 1\n0 0 0\n", "ends before the last face"},
      {ReadSmmFromMemory, "2 0\n0 0 0\n0 x 0\n", "line 3"},
      {ReadSmmFromMemory, "", "ends before"},
      {ReadPpdFromMemory, "vertex 2147483647\nface 0\n\n", "ends before the last vertex"},
      {ReadPpdFromMemory, "vertices 3\n", "expected \"vertex %d\""},
      {ReadDemFromMemory, "vertices: 1\nfaces: -3\n", "negative face count"},
      {ReadDemFromMemory, "vertices: 1\nfaces: 0\nv 0 0 0\n", "after the last vertex"},
      {ReadMhpFromMemory, "vertices: 1\nfaces: 0\nVertex 0 0 0\n", "line 3"},
  };
  for (const auto& c : cases) {
    CMesh3d mesh;
    mesh.AddVertex(new CVertex3d(5, 5, 5));
    Result r = Read(c.reader, c.text, &mesh);
    EXPECT_EQ(r.ok, 0) << c.text;
    EXPECT_NE(r.error.find(c.error), std::string::npos) << r.error;
    EXPECT_EQ(r.vertices, 1) << "the mesh must be left as it was";
  }
  CMesh3d mesh;
  CReadReport report;
  std::string error;
  EXPECT_EQ(ReadSmm(&mesh, ::testing::TempDir() + "missing.smm", report, error), 0);
  EXPECT_NE(error.find("missing.smm"), std::string::npos);
}
