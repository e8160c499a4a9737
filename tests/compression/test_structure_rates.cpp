// Rates of the structure coder beside the valence coder's on the same
// meshes: printed as a table, and bounded by the valence coder's rate so
// that a regression shows.

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "compression/StructureEncoder.h"
#include "compression/ValenceEncoder.h"
#include "geometry/Mesh3d.h"
#include "tests/compression/ValenceTestMeshes.h"
#include "tests/support/TestMeshes.h"

namespace {

TEST(StructureRates, BesideTheValenceCoder) {
  struct Row {
    const char* name;
    CMesh3d* mesh;
    int flips;
  };
  std::printf("%-28s %8s %10s %10s %10s %8s %6s\n", "mesh", "vertices", "bits/face", "b/v",
              "valence", "offsets", "dummy");
  uint32_t seed = 3;
  for (const Row& row : {Row{"regular torus 200x100", testmeshes::MakeTorus(200, 100), 0},
                         Row{"icosphere 5, 4000 flips", testmeshes::MakeIcoSphere(5), 4000},
                         Row{"icosphere 5, 12000 flips", testmeshes::MakeIcoSphere(5), 12000},
                         Row{"torus 120x60, 6000 flips", testmeshes::MakeTorus(120, 60), 6000},
                         Row{"torus 160x80, 30000 flips", testmeshes::MakeTorus(160, 80), 30000},
                         Row{"grid 200x100", testmeshes::MakeGrid(200, 100), 0}}) {
    std::unique_ptr<CMesh3d> mesh(row.mesh);
    if (row.flips) valencetest::FlipRandomEdges(*mesh, row.flips, seed++);
    orvex::CStructureResult structure;
    ASSERT_TRUE(orvex::EncodeStructure(*mesh, "", 0, orvex::CStructureOptions(), structure))
        << structure.m_Error;
    orvex::CValenceOptions options;
    options.m_PackedFile.clear();
    orvex::CValenceResult valence;
    ASSERT_TRUE(orvex::EncodeValence(mesh.get(), options, &valence)) << valence.m_Error;
    const double perVertex = structure.m_Cost * mesh->NbFace() / mesh->NbVertex();
    std::printf("%-28s %8d %10.4f %10.4f %10.4f %8d %6d\n", row.name, mesh->NbVertex(),
                structure.m_Cost, perVertex, valence.m_ConnectivityRate, structure.m_NbOffsets,
                structure.m_NbDummy);
    // the focus closures are coded, not implied by the degrees: about one
    // bit per vertex for them and one more for the degrees they alternate with
    EXPECT_LT(perVertex, valence.m_ConnectivityRate + 2.2) << row.name;
  }
}

} // namespace
