// The pieces of the progressive valence coder: the retriangulation
// patterns, the quantization, the geometry residuals, and what the
// encoder refuses or mends in the meshes it is given.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <memory>
#include <random>
#include <utility>

#include "compression/ProgressiveGeometry.h"
#include "compression/ProgressivePatterns.h"
#include "tests/support/ProgressiveRoundTrip.h"
#include "tests/support/TestMeshes.h"

using namespace orvex;

// Every pattern fills the border polygon: v - 2 faces, each border edge
// once in border order, each diagonal twice in opposite directions, and
// inner border vertices tagged 1 or 2.
TEST(ProgressivePatterns, EveryPatternTriangulatesItsBorder) {
  for (int v = 3; v <= 6; ++v)
    for (int left = 0; left <= 2; ++left)
      for (int right = 0; right <= 2; ++right) {
        SCOPED_TRACE(std::to_string(v) + " " + std::to_string(left) + " " + std::to_string(right));
        const CRetriangulation* pattern = RetriangulationFor(v, left, right);
        ASSERT_NE(pattern, nullptr);
        ASSERT_EQ(pattern->nbFace, v - 2);
        std::map<std::pair<int, int>, int> directed;
        for (int f = 0; f < pattern->nbFace; ++f)
          for (int k = 0; k < 3; ++k)
            ++directed[{pattern->face[f][k], pattern->face[f][(k + 1) % 3]}];
        for (const auto& edge : directed) {
          const int a = edge.first.first, b = edge.first.second;
          EXPECT_EQ(edge.second, 1);
          const bool side = b == (a + 1) % v;
          EXPECT_TRUE(side || directed.count({b, a}) == 1) << a << "-" << b;
          EXPECT_FALSE(a == (b + 1) % v) << "border edge turned over " << a << "-" << b;
        }
        for (int i = 0; i < v; ++i) EXPECT_EQ(directed.count({i, (i + 1) % v}), 1u) << i;
        for (int i = 0; i < v - 2; ++i) EXPECT_TRUE(pattern->tag[i] == 1 || pattern->tag[i] == 2);
      }
  EXPECT_EQ(RetriangulationFor(2, 2, 1), nullptr);
  EXPECT_EQ(RetriangulationFor(7, 2, 1), nullptr);
}

TEST(ProgressiveQuantizer, AxesMapOntoTheGridAndAFlatAxisCodesZero) {
  CQuantizer q;
  // x spans [-1, 3], y is flat at 2, z spans [0, 1]
  std::vector<int32_t> coded = q.Fit({-1, 2, 0, 3, 2, 1, 1, 2, 0.5}, 10);
  EXPECT_EQ(coded, (std::vector<int32_t>{0, 0, 0, 1023, 0, 1023, 512, 0, 512}));
  EXPECT_FLOAT_EQ(q.m_Step[0], 4.0f / 1023);
  EXPECT_EQ(q.m_Step[1], 0.0f);
  double p[3];
  q.Dequantize(&coded[3], p);
  EXPECT_NEAR(p[0], 3.0, 1e-6);
  EXPECT_EQ(p[1], 2.0); // the flat axis decodes to its minimum
  EXPECT_NEAR(p[2], 1.0, 1e-6);
}

// A residual found for a position rebuilds it exactly; none is found past
// the largest magnitude.
TEST(ProgressiveGeometry, ResidualsRebuildThePositionOrAreRefused) {
  std::mt19937 random(5);
  std::uniform_int_distribution<int32_t> coordinate(0, 4095);
  int found = 0;
  for (int trial = 0; trial < 400; ++trial) {
    std::vector<int32_t> positions;
    for (int i = 0; i < 6 * 3; ++i) positions.push_back(coordinate(random));
    std::vector<int> triangles;
    for (int i = 1; i <= 5; ++i) triangles.insert(triangles.end(), {0, i, i % 5 + 1});
    CProgressiveMesh mesh;
    mesh.Build(positions, triangles);
    const int border[5] = {1, 2, 3, 4, 5};
    CPatchFrame frame = PatchFrame(mesh, border, 5);
    int32_t residual[3], rebuilt[3];
    if (!FindResidual(frame, mesh.Position(0), 4095, residual)) continue;
    ++found;
    PredictPosition(frame, residual, rebuilt);
    EXPECT_EQ(std::vector<int32_t>(rebuilt, rebuilt + 3),
              std::vector<int32_t>(mesh.Position(0), mesh.Position(0) + 3));
    // a bound below the residual's magnitude refuses it
    int32_t largest =
        std::max({std::abs(residual[0]), std::abs(residual[1]), std::abs(residual[2])});
    if (largest > 1) {
      int32_t again[3];
      EXPECT_FALSE(FindResidual(frame, mesh.Position(0), largest / 2 - 1, again));
    }
  }
  EXPECT_GT(found, 200);
}

TEST(ProgressiveEncoder, RefusesWhatItCannotCodeWithAMessage) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  std::vector<double> square = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};
  struct Case {
    const char* name;
    std::vector<double> positions;
    std::vector<int> triangles;
    int requested, bits;
    const char* message;
  };
  const Case cases[] = {
      {"requested not below", square, {0, 1, 2, 0, 2, 3}, 4, 12, "invalid #vertices"},
      {"not a number", {0, 0, 0, 1, 0, 0, nan, 1, 0, 0, 1, 0}, {0, 1, 2}, 1, 12, "not a number"},
      {"corner outside", square, {0, 1, 4}, 1, 12, "outside"},
      {"quantization 13", square, {0, 1, 2}, 1, 13, "4 to 12"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CProgressiveOptions options;
    options.m_RequestedVertices = c.requested;
    options.m_QuantizationBits = c.bits;
    CProgressiveEncoding encoding;
    EXPECT_EQ(EncodeProgressive(c.positions, c.triangles, options, encoding), 0);
    EXPECT_NE(encoding.m_Error.find(c.message), std::string::npos) << encoding.m_Error;
  }
}

// Meshes that are not manifold still round-trip: vertices where fans meet
// at a point are split, edges of more than two faces are left open.
TEST(ProgressiveEncoder, PinchedAndNonManifoldMeshesRoundTrip) {
  struct Case {
    const char* name;
    CMesh3d* (*make)();
    int pinched;
  };
  auto twoSpheres = []() -> CMesh3d* {
    // two spheres touching at one vertex
    std::unique_ptr<CMesh3d> a(testmeshes::MakeIcoSphere(2));
    std::vector<double> p;
    std::vector<int> t;
    MeshArrays(*a, p, t);
    const int n = static_cast<int>(p.size() / 3);
    std::vector<double> xyz = p;
    for (size_t i = 0; i < p.size(); ++i) xyz.push_back(p[i] + (i % 3 == 0 ? 2.0 * p[0] : 0.0));
    std::vector<int> tri = t;
    for (int v : t) tri.push_back(v == 0 ? 0 : v + n); // vertex 0 shared
    return testmeshes::MakeMesh(xyz, tri, true);
  };
  const Case cases[] = {{"two spheres at a point", twoSpheres, 1},
                        {"fan of blades", [] { return testmeshes::MakeNonManifoldFan(5); }, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<CMesh3d> mesh(c.make());
    CProgressiveOptions options;
    options.m_RequestedVertices = 0;
    progressivetest::RoundTrip trip = progressivetest::RunRoundTrip(*mesh, options);
    ASSERT_TRUE(trip.ok) << trip.error;
    EXPECT_GE(trip.encoding.m_NbPinched, c.pinched);
    const int layers = static_cast<int>(trip.encoding.m_Layers.size());
    for (int j = 0; j <= layers; ++j)
      EXPECT_EQ(progressivetest::Canonical(trip.decoded[j].faces), trip.EncoderLevel(j)) << j;
  }
}
