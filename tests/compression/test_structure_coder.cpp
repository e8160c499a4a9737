#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "compression/StructureDecoder.h"
#include "compression/StructureEncoder.h"
#include "compression/StructureFile.h"
#include "compression/StructureMesh.h"
#include "geometry/Mesh3d.h"
#include "tests/compression/StructureTestMeshes.h"
#include "tests/compression/ValenceTestMeshes.h"
#include "tests/support/TestMeshes.h"

using namespace orvex;
using namespace structuretest;

namespace {

using MeshMaker = CMesh3d* (*)();

struct RoundTripCase {
  const char* name;
  MeshMaker make;
  std::vector<int> seeds;
};

CMesh3d* Sphere() {
  return testmeshes::MakeIcoSphere(5);
}
CMesh3d* Torus() {
  return testmeshes::MakeTorus(100, 60);
}
CMesh3d* IrregularTorus() {
  CMesh3d* mesh = testmeshes::MakeTorus(90, 60);
  valencetest::FlipRandomEdges(*mesh, 2000, 7);
  return mesh;
}
CMesh3d* Grid() {
  return testmeshes::MakeGrid(80, 70);
}
CMesh3d* GridWithHoles() {
  return testmeshes::MakeGridWithHoles(90, 60, 6);
}
CMesh3d* GenusTwo() {
  std::unique_ptr<CMesh3d> open(testmeshes::MakeGridWithHoles(60, 50, 2));
  return testmeshes::MakeDoubled(open.get());
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
    ::testing::Values(RoundTripCase{"sphere", Sphere, {0, 777, 20000}},
                      RoundTripCase{"torus", Torus, {0, 5001}},
                      RoundTripCase{"irregular_torus", IrregularTorus, {3, 9000}},
                      RoundTripCase{"grid", Grid, {0, 4321, 11199}},
                      RoundTripCase{"grid_with_holes", GridWithHoles, {0, 1234}},
                      RoundTripCase{"genus_two", GenusTwo, {0, 3333}},
                      RoundTripCase{"components", Components, {0, 2500}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StructureRoundTrip, EverySeedOfASmallMesh) {
  std::unique_ptr<CMesh3d> mesh(testmeshes::MakeGridWithHoles(6, 5, 1));
  for (int seed = 0; seed < mesh->NbFace(); ++seed)
    for (bool pivots : {true, false}) ExpectRoundTrip(*mesh, seed, pivots);
}

} // namespace
