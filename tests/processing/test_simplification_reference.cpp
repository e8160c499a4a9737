// The heap-driven simplification loops against the plain scans of the
// candidate lists: on noisy spheres, noisy grids with holes, a torus and
// regular grids full of equal costs, every mode must end with the same
// positions, the same corners and the same array order.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "geometry/Mesh3d.h"
#include "processing/Simplification.h"
#include "tests/support/MeshChecks.h"
#include "tests/support/SimplificationReference.h"
#include "tests/support/TestMeshes.h"

namespace ref = simplificationreference;

namespace {

struct CMeshCase {
  const char* name;
  std::function<CMesh3d*()> make;
};

// Meshes of up to 2,000 faces, with and without boundaries and ties.
const CMeshCase kMeshes[] = {
    {"noisy sphere", [] { return ref::MakeNoisySphere(3, 0.05, 7); }},
    {"noisy sphere 2", [] { return ref::MakeNoisySphere(3, 0.2, 11); }},
    {"noisy grid with holes", [] { return ref::MakeNoisyGridWithHoles(24, 20, 6, 0.3, 5); }},
    {"regular grid", [] { return testmeshes::MakeGrid(22, 22); }},
    {"torus", [] { return testmeshes::MakeTorus(30, 16); }},
};

// Runs fast on one copy and the reference on another and compares.
void ExpectSameResult(const std::function<int(CMesh3d*)>& fast,
                      const std::function<int(CMesh3d*)>& reference) {
  for (const CMeshCase& m : kMeshes) {
    SCOPED_TRACE(m.name);
    std::unique_ptr<CMesh3d> a(m.make()), b(m.make());
    int fastCount = fast(a.get());
    int referenceCount = reference(b.get());
    EXPECT_GT(fastCount, 0);
    EXPECT_EQ(fastCount, referenceCount);
    EXPECT_TRUE(ref::Digest(*a) == ref::Digest(*b));
    EXPECT_LE(meshchecks::MaxFacesOnAnEdge(*a), 2);
    meshchecks::ExpectConsistentAdjacency(*a);
  }
}

} // namespace

TEST(SimplificationReference, EdgeBasedPicksTheSameEdgesInEveryMode) {
  struct Mode {
    const char* name;
    int curveness, combination;
    double alphaInit, alphaStep;
    int boundaries, optimizedPosition;
    double keep; // share of the vertices to keep
  };
  const Mode modes[] = {
      {"length", 0, 0, 0.1, 0.1, 0, 1, 0.5},
      {"curveness", 1, 0, 0.1, 0.1, 0, 1, 0.5},
      {"combination", 1, 1, 0.1, 0.1, 0, 1, 0.3},
      {"combination, no retry", 1, 1, 0.6, 0.0, 0, 1, 0.2},
      {"combination, small step", 0, 1, 0.01, 0.013, 0, 1, 0.25},
      {"boundaries, midpoints", 0, 0, 0.1, 0.1, 1, 0, 0.1},
  };
  for (const Mode& mode : modes) {
    SCOPED_TRACE(mode.name);
    auto params = [&mode](CMesh3d* mesh) {
      CEdgeBasedParams p;
      p.Curveness = mode.curveness;
      p.Combination = mode.combination;
      p.AlphaInit = mode.alphaInit;
      p.AlphaStep = mode.alphaStep;
      p.CollapseBoundaries = mode.boundaries;
      p.OptimizedPosition = mode.optimizedPosition;
      p.Update = 0;
      p.Final = static_cast<int>(mesh->NbVertex() * mode.keep);
      return p;
    };
    ExpectSameResult(
        [&](CMesh3d* mesh) { return EdgeBasedSimplification(mesh, params(mesh), nullptr, {}); },
        [&](CMesh3d* mesh) { return ref::EdgeBased(mesh, params(mesh)); });
  }
}

TEST(SimplificationReference, ErrorAccumulationRemovesTheSameVertices) {
  for (double keep : {0.7, 0.3, 0.05}) {
    SCOPED_TRACE(keep);
    auto final = [keep](CMesh3d* mesh) { return static_cast<int>(mesh->NbVertex() * keep); };
    ExpectSameResult([&](CMesh3d* mesh) { return ErrorAccumulation(mesh, final(mesh), 0, {}); },
                     [&](CMesh3d* mesh) { return ref::ErrorAccumulation(mesh, final(mesh)); });
  }
}

TEST(SimplificationReference, FaceBasedCollapsesTheSameFaces) {
  for (double keep : {0.6, 0.25, 0.0}) {
    SCOPED_TRACE(keep);
    auto final = [keep](CMesh3d* mesh) { return static_cast<int>(mesh->NbFace() * keep); };
    ExpectSameResult([&](CMesh3d* mesh) { return FaceBasedSimplification(mesh, final(mesh), {}); },
                     [&](CMesh3d* mesh) { return ref::FaceBased(mesh, final(mesh)); });
  }
}

TEST(SimplificationReference, AccumulationCostMatchesTheFirstDescription) {
  // crumpled meshes, so that folds are common
  for (CMesh3d* raw :
       {ref::MakeNoisySphere(2, 0.6, 3), ref::MakeNoisyGridWithHoles(12, 10, 3, 2.0, 8),
        ref::MakeNoisySphere(3, 0.0, 1)}) {
    std::unique_ptr<CMesh3d> mesh(raw);
    for (CVertex3d* v : mesh->m_ArrayVertex)
      for (CVertex3d* n : v->m_ArrayVertexNeighbor)
        EXPECT_EQ(AccumulationCost(v, n), ref::AccumulationCost(v, n));
  }
}
