// Round trips of the structure coder, and its rate beside the valence
// coder's on the same meshes.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "compression/ProgressiveMeshes.h"
#include "compression/StructureDecoder.h"
#include "compression/StructureEncoder.h"
#include "compression/ValenceEncoder.h"
#include "geometry/Mesh3d.h"
#include "tests/compression/ValenceTestMeshes.h"
#include "tests/support/TestMeshes.h"

using namespace orvex;

namespace {

using MeshMaker = CMesh3d* (*)();

std::vector<int> Triangles(const CMesh3d& mesh) {
  std::vector<double> xyz;
  std::vector<int> triangles;
  MeshArrays(mesh, xyz, triangles);
  return triangles;
}

// The triple turned so that its smallest index comes first (orientation kept).
std::array<int, 3> Canonical(int a, int b, int c) {
  std::array<int, 3> t{a, b, c};
  std::rotate(t.begin(), std::min_element(t.begin(), t.end()), t.end());
  return t;
}

CMesh3d* Grid() {
  return testmeshes::MakeGrid(80, 70);
}
// Two tori and a grid side by side, with two isolated vertices.
CMesh3d* Components() {
  std::vector<double> xyz;
  std::vector<int> triangles;
  for (MeshMaker make : {+[] { return testmeshes::MakeTorus(30, 20); }, Grid,
                         +[] { return testmeshes::MakeTorus(12, 9); }}) {
    std::unique_ptr<CMesh3d> part(make());
    const int base = static_cast<int>(xyz.size() / 3);
    for (int i = 0; i < part->NbVertex(); ++i)
      xyz.insert(xyz.end(), {part->GetVertex(i)->x, part->GetVertex(i)->y, base * 1.0});
    for (int t : Triangles(*part)) triangles.push_back(base + t);
    xyz.insert(xyz.end(), {0.0, 0.0, -1.0});
  }
  return testmeshes::MakeMesh(xyz, triangles);
}

// Encodes, decodes and compares: decoded face i is the mesh face the
// encoder conquered i-th, through its vertex order.
void ExpectRoundTrip(const CMesh3d& mesh, int seed, bool pivots) {
  CStructureOptions options;
  options.m_bFullPivots = pivots;
  CStructureResult result;
  ASSERT_TRUE(EncodeStructure(mesh, "", seed, options, result)) << result.m_Error;
  CStructureDecoded decoded;
  std::string error;
  ASSERT_TRUE(DecodeStructure(result.m_Bytes.data(), result.m_Bytes.size(), pivots, decoded, error))
      << error;
  ASSERT_EQ(decoded.m_NbVertex, mesh.NbVertex());
  ASSERT_EQ(result.m_VertexOrder.size(), static_cast<size_t>(mesh.NbVertex()));
  std::vector<int> rank(mesh.NbVertex());
  for (size_t i = 0; i < result.m_VertexOrder.size(); ++i) rank[result.m_VertexOrder[i]] = int(i);
  const std::vector<int> triangles = Triangles(mesh);
  ASSERT_EQ(decoded.m_Triangles.size(), triangles.size());
  ASSERT_EQ(result.m_FaceOrder.size(), static_cast<size_t>(mesh.NbFace()));
  for (size_t i = 0; i < result.m_FaceOrder.size(); ++i) {
    const int* t = &triangles[3 * result.m_FaceOrder[i]];
    const int* d = &decoded.m_Triangles[3 * i];
    ASSERT_EQ(Canonical(rank[t[0]], rank[t[1]], rank[t[2]]), Canonical(d[0], d[1], d[2]))
        << "face " << i;
  }
  // the default decoder finds the rule by itself
  CStructureDecoded guessed;
  ASSERT_TRUE(DecodeStructure(result.m_Bytes.data(), result.m_Bytes.size(), guessed, error));
  EXPECT_EQ(guessed.m_Triangles, decoded.m_Triangles);
}

struct RoundTripCase {
  const char* name;
  MeshMaker make;
  std::vector<int> seeds;
};

class StructureRoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(StructureRoundTrip, DecodedFacesAreTheMeshsInConquestOrder) {
  std::unique_ptr<CMesh3d> mesh(GetParam().make());
  for (int seed : GetParam().seeds)
    for (bool pivots : {true, false}) {
      SCOPED_TRACE(testing::Message() << "seed " << seed << " pivots " << pivots);
      ExpectRoundTrip(*mesh, seed % mesh->NbFace(), pivots);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Meshes, StructureRoundTrip,
    ::testing::Values(
        RoundTripCase{"sphere", [] { return testmeshes::MakeIcoSphere(5); }, {0, 777, 20000}},
        RoundTripCase{"torus", [] { return testmeshes::MakeTorus(100, 60); }, {0, 5001}},
        RoundTripCase{"irregular_torus",
                      [] {
                        CMesh3d* mesh = testmeshes::MakeTorus(90, 60);
                        valencetest::FlipRandomEdges(*mesh, 2000, 7);
                        return mesh;
                      },
                      {3, 9000}},
        RoundTripCase{"grid", Grid, {0, 4321, 11199}},
        RoundTripCase{
            "grid_with_holes", [] { return testmeshes::MakeGridWithHoles(90, 60, 6); }, {0, 1234}},
        RoundTripCase{"genus_two",
                      [] {
                        std::unique_ptr<CMesh3d> open(testmeshes::MakeGridWithHoles(60, 50, 2));
                        return testmeshes::MakeDoubled(open.get());
                      },
                      {0, 3333}},
        RoundTripCase{"components", Components, {0, 2500}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StructureRoundTrip, EverySeedOfASmallMesh) {
  std::unique_ptr<CMesh3d> mesh(testmeshes::MakeGridWithHoles(6, 5, 1));
  for (int seed = 0; seed < mesh->NbFace(); ++seed)
    for (bool pivots : {true, false}) ExpectRoundTrip(*mesh, seed, pivots);
}

// The focus closures are coded, not implied by the degrees: about one bit
// per vertex for them and one more for the degrees they alternate with, so
// the rate per vertex stays within 2.2 bits of the valence coder's.
TEST(StructureRates, WithinTwoBitsPerVertexOfTheValenceCoder) {
  struct Row {
    const char* name;
    CMesh3d* mesh;
    int flips;
  };
  uint32_t seed = 3;
  for (const Row& row : {Row{"regular torus 200x100", testmeshes::MakeTorus(200, 100), 0},
                         Row{"icosphere 5, 4000 flips", testmeshes::MakeIcoSphere(5), 4000},
                         Row{"icosphere 5, 12000 flips", testmeshes::MakeIcoSphere(5), 12000},
                         Row{"torus 120x60, 6000 flips", testmeshes::MakeTorus(120, 60), 6000},
                         Row{"torus 160x80, 30000 flips", testmeshes::MakeTorus(160, 80), 30000},
                         Row{"grid 200x100", testmeshes::MakeGrid(200, 100), 0}}) {
    SCOPED_TRACE(row.name);
    std::unique_ptr<CMesh3d> mesh(row.mesh);
    if (row.flips) valencetest::FlipRandomEdges(*mesh, row.flips, seed++);
    CStructureResult structure;
    ASSERT_TRUE(EncodeStructure(*mesh, "", 0, CStructureOptions(), structure)) << structure.m_Error;
    CValenceOptions options;
    options.m_PackedFile.clear();
    CValenceResult valence;
    ASSERT_TRUE(EncodeValence(mesh.get(), options, &valence)) << valence.m_Error;
    EXPECT_LT(structure.m_Cost * mesh->NbFace() / mesh->NbVertex(),
              valence.m_ConnectivityRate + 2.2);
  }
}

} // namespace
