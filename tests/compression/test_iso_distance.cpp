#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "compression/IsoCoder.h"
#include "compression/IsoDistanceField.h"
#include "compression/SurfaceCounts.h"
#include "geometry/Mesh3d.h"
#include "geometry/PolygonMesh.h"
#include "io/WriteGridFile.h"
#include "tests/support/TestFolder.h"
#include "tests/support/TestMeshes.h"

namespace {

// The grid file of a mesh, read back as the distance field's input.
CGridFileMesh GridFileOf(CMesh3d* mesh) {
  const auto folder = testsupport::FreshTestFolder("isodist_");
  const std::string path = (folder / "mesh.dat").string();
  std::string error;
  EXPECT_EQ(WriteGridFile(mesh, path, error), 1) << error;
  std::ifstream in(path);
  CGridFileMesh out;
  EXPECT_EQ(IsoReadGridFile(in, out, error), 1) << error;
  return out;
}

CSurfaceCounts CountsOf(const CIsoVolume& volume) {
  CIsoSurface surface;
  IsoContour(volume.m_Signs, 1, surface, &volume);
  CPolygonMesh polygons;
  const std::vector<int> sizes(static_cast<size_t>(surface.QuadCount()), 4);
  CIsoHeader placement;
  FillPolygonMesh(polygons, IsoWorldXyz(placement, surface), sizes, surface.m_Quads);
  return CountSurface(polygons);
}

struct DistanceCase {
  const char* name;
  std::unique_ptr<CMesh3d> (*make)();
  int64_t n;
  long long components, genus;
};

TEST(IsoDistanceField, ClosedMeshesKeepTheirTopology) {
  const DistanceCase cases[] = {
      {"sphere", [] { return std::unique_ptr<CMesh3d>(testmeshes::MakeIcoSphere(3)); }, 33, 1, 0},
      {"torus", [] { return std::unique_ptr<CMesh3d>(testmeshes::MakeTorus(32, 16, 1.0, 0.35)); },
       65, 1, 1},
  };
  for (const DistanceCase& c : cases) {
    std::unique_ptr<CMesh3d> mesh = c.make();
    const CGridFileMesh grid = GridFileOf(mesh.get());
    CIsoVolume volume;
    std::string error, warnings;
    ASSERT_EQ(IsoDistanceVolume(grid, c.n, 0.0, volume, error, warnings), 1) << error;
    EXPECT_TRUE(warnings.empty()) << c.name << ": " << warnings;
    // the border is outside, the padding two cells wide
    EXPECT_EQ(volume.m_Signs.At(0, 0, 0), 0) << c.name;
    EXPECT_EQ(volume.m_Signs.At(c.n - 1, c.n - 1, c.n - 1), 0) << c.name;
    const CSurfaceCounts counts = CountsOf(volume);
    EXPECT_EQ(counts.m_C, c.components) << c.name;
    EXPECT_EQ(counts.m_G, c.genus) << c.name;
  }
}

TEST(IsoDistanceField, RefusesBadGridFilesAndSizes) {
  const std::string head = "-1 -1 -1 1 1 1\n0 0 0\n1.0\n1\n";
  const std::string tri = "0 0 0\n1 0 0\n0 1 0\n";
  const char* names[] = {"empty",           "no counts",      "negative count",
                         "huge count",      "short vertices", "corner outside",
                         "negative corner", "nan vertex",     "counts beyond the file"};
  const std::string texts[] = {"",
                               head,
                               head + "-3\n1\n",
                               head + "3\n99999999999\n",
                               head + "3\n1\n0 0 0\n",
                               head + "3\n1\n" + tri + "0 1 3\n",
                               head + "3\n1\n" + tri + "0 -1 2\n",
                               head + "3\n1\n0 0 nan\n1 0 0\n0 1 0\n0 1 2\n",
                               head + "50000000\n50000000\n" + tri};
  for (size_t i = 0; i < sizeof names / sizeof *names; ++i) {
    std::istringstream in(texts[i]);
    CGridFileMesh mesh;
    std::string error;
    EXPECT_EQ(IsoReadGridFile(in, mesh, error), 0) << names[i];
    EXPECT_FALSE(error.empty()) << names[i];
  }
  std::istringstream in(head + "3\n1\n" + tri + "0 1 2\n");
  CGridFileMesh mesh;
  std::string error, warnings;
  ASSERT_EQ(IsoReadGridFile(in, mesh, error), 1) << error;
  for (int64_t n : {int64_t(0), int64_t(5), int64_t(100), int64_t(1025)}) {
    CIsoVolume volume;
    EXPECT_EQ(IsoDistanceVolume(mesh, n, 0.0, volume, error, warnings), 0) << n;
  }
}

TEST(SurfaceCounts, VerticesFacesEdgesComponentsGenus) {
  // two separate quads and an isolated vertex
  CPolygonMesh m;
  for (int i = 0; i < 9; ++i) m.AddVertex(i, 0, 0);
  const int a[4] = {0, 1, 2, 3}, b[4] = {4, 5, 6, 7};
  m.AddFace(a, 4);
  m.AddFace(b, 4);
  const CSurfaceCounts c = CountSurface(m);
  EXPECT_EQ(c.m_V, 9);
  EXPECT_EQ(c.m_F, 2);
  EXPECT_EQ(c.m_E, 8);
  EXPECT_EQ(c.m_C, 3);
  EXPECT_EQ(c.m_G, 3 - (9 - 8 + 2) / 2);
}

} // namespace
