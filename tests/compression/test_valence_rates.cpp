#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

#include "compression/ValenceEncoder.h"
#include "geometry/Mesh3d.h"
#include "tests/compression/ValenceTestMeshes.h"
#include "tests/support/TestMeshes.h"

namespace {

struct RateRow {
  std::string name;
  int vertices;
  double rate, entropy;
  int splits;
};

RateRow Measure(const std::string& name, CMesh3d& mesh) {
  orvex::CValenceOptions options;
  options.m_PackedFile.clear();
  orvex::CValenceResult result;
  EXPECT_EQ(orvex::EncodeValence(&mesh, options, &result), 1) << result.m_Error;
  EXPECT_EQ(result.m_bEndedEarly, 0) << name;
  RateRow row{name, mesh.NbVertex(), result.m_ConnectivityRate, orvex::ValenceEntropy(mesh),
              result.m_Splits};
  std::printf("%-34s %8d %8.4f b/v %8.4f b/v %6d split(s)\n", name.c_str(), row.vertices, row.rate,
              row.entropy, row.splits);
  return row;
}

} // namespace

// The connectivity rate follows the valence entropy: close to 0 on a
// regular mesh, and within a fraction of a bit of it on irregular ones.
TEST(ValenceRates, RateFollowsTheValenceEntropy) {
  std::printf("%-34s %8s %12s %12s %6s\n", "mesh", "vertices", "rate", "entropy", "splits");
  std::unique_ptr<CMesh3d> regular(testmeshes::MakeTorus(200, 100));
  RateRow row = Measure("regular torus 200x100", *regular);
  EXPECT_EQ(row.entropy, 0.0);
  EXPECT_LT(row.rate, 0.02);

  struct Irregular {
    const char* name;
    CMesh3d* mesh;
    int flips;
  };
  Irregular meshes[] = {
      {"icosphere 5, 4000 flips", testmeshes::MakeIcoSphere(5), 4000},
      {"icosphere 5, 12000 flips", testmeshes::MakeIcoSphere(5), 12000},
      {"torus 120x60, 6000 flips", testmeshes::MakeTorus(120, 60), 6000},
      {"torus 160x80, 30000 flips", testmeshes::MakeTorus(160, 80), 30000},
  };
  uint32_t seed = 3;
  for (Irregular& m : meshes) {
    std::unique_ptr<CMesh3d> mesh(m.mesh);
    ASSERT_GE(mesh->NbFace(), 10000);
    valencetest::FlipRandomEdges(*mesh, m.flips, seed++);
    RateRow r = Measure(m.name, *mesh);
    EXPECT_LT(std::fabs(r.rate - r.entropy), 0.2) << m.name;
  }
}
