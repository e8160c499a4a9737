// Round trips of the progressive valence coder: every decoded level has
// the faces and the quantized positions of the encoder's level.

#include <gtest/gtest.h>

#include <memory>

#include "tests/compression/ValenceTestMeshes.h"
#include "tests/support/ProgressiveRoundTrip.h"
#include "tests/support/TestMeshes.h"

using namespace progressivetest;

namespace {

struct MeshCase {
  const char* name;
  CMesh3d* (*make)();
  int requested;
  int bits;
  // the base keeps at most this share of the vertices (one conquest
  // reaches one component only)
  double baseShare;
};

CMesh3d* Sphere() {
  return testmeshes::MakeIcoSphere(5); // 20480 faces
}
// a sphere and a torus side by side in one mesh
CMesh3d* TwoComponents() {
  std::unique_ptr<CMesh3d> a(testmeshes::MakeIcoSphere(4)), b(testmeshes::MakeTorus(60, 40));
  std::vector<double> xyz;
  std::vector<int> tri;
  for (CMesh3d* m : {a.get(), b.get()}) {
    std::vector<double> p;
    std::vector<int> t;
    orvex::MeshArrays(*m, p, t);
    const int base = static_cast<int>(xyz.size() / 3);
    for (size_t i = 0; i < p.size(); ++i)
      xyz.push_back(p[i] + (m == b.get() && i % 3 == 0 ? 3.0 : 0.0));
    for (int v : t) tri.push_back(v + base);
  }
  return testmeshes::MakeMesh(xyz, tri, true);
}

class ProgressiveRoundTrip : public ::testing::TestWithParam<MeshCase> {};

TEST_P(ProgressiveRoundTrip, EveryDecodedLevelIsTheEncodersLevel) {
  const MeshCase& c = GetParam();
  std::unique_ptr<CMesh3d> mesh(c.make());
  orvex::CProgressiveOptions options;
  options.m_RequestedVertices = c.requested;
  options.m_QuantizationBits = c.bits;
  RoundTrip trip = RunRoundTrip(*mesh, options);
  ASSERT_TRUE(trip.ok) << trip.error;
  const int layers = static_cast<int>(trip.encoding.m_Layers.size());
  ASSERT_GT(layers, 2);
  EXPECT_LT(trip.encoding.m_BaseVertex.size(), c.baseShare * mesh->NbVertex());
  ASSERT_EQ(static_cast<int>(trip.decoded.size()), layers + 1);
  for (int j = 0; j <= layers; ++j) {
    SCOPED_TRACE(j);
    ASSERT_EQ(Canonical(trip.decoded[j].faces), trip.EncoderLevel(j));
    const size_t count = trip.decoded[j].positions.size() / 3;
    ASSERT_EQ(trip.decoded[j].positions, EncoderPositions(trip, count));
  }
  // the finest level is the whole mesh
  EXPECT_EQ(trip.decoded.back().positions.size() / 3, trip.encoding.m_Positions.size() / 3);
}

INSTANTIATE_TEST_SUITE_P(
    Meshes, ProgressiveRoundTrip,
    ::testing::Values(
        MeshCase{"sphere", Sphere, 100, 12, 0.02},
        MeshCase{"torus", [] { return testmeshes::MakeTorus(80, 64); }, 100, 12, 0.05},
        MeshCase{"irregular_torus",
                 [] {
                   CMesh3d* mesh = testmeshes::MakeTorus(80, 64);
                   valencetest::FlipRandomEdges(*mesh, 2000, 7);
                   mesh->Rebuild();
                   return mesh;
                 },
                 100, 10, 0.1},
        MeshCase{"grid", [] { return testmeshes::MakeGrid(80, 70); }, 100, 12, 0.1},
        MeshCase{"grid_with_holes", [] { return testmeshes::MakeGridWithHoles(80, 70, 12); }, 100,
                 12, 0.15},
        MeshCase{"two_components", TwoComponents, 100, 12, 0.6},
        MeshCase{"coarse_quantization", Sphere, 50, 4, 0.5}),
    [](const ::testing::TestParamInfo<MeshCase>& info) { return std::string(info.param.name); });

} // namespace
