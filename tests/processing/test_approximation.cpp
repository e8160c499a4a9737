// The approximating simplifications: the progressive mesh's refusals and
// the surfaces it leaves, the trial vertex optimisation between its two
// extremes, and the volumic moves that bring a displaced vertex back onto
// its reference.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>

#include "geometry/HashTable3d.h"
#include "geometry/Mesh3d.h"
#include "processing/Approximation.h"
#include "processing/CollapseCandidates.h"
#include "tests/support/MeshChecks.h"
#include "tests/support/SceneFingerprint.h"
#include "tests/support/SimplificationReference.h"
#include "tests/support/TestMeshes.h"

namespace {

// Largest | |p| - 1 | over the vertices (distance from the unit sphere).
double SphereDeviation(const CMesh3d& mesh) {
  double worst = 0.0;
  for (const CVertex3d* v : mesh.m_ArrayVertex)
    worst = std::max(worst, std::fabs(v->Position().Length() - 1.0));
  return worst;
}

TEST(ProgressiveMesh, RefusalsAndResults) {
  struct Case {
    const char* name;
    CMesh3d* mesh;
    int final;
    int done;
    uint64_t digest; // of the positions and corners left: the collapses made, and where
  };
  CMesh3d* five = testmeshes::MakeMesh({0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, 0, 2, 2, 0},
                                       {0, 1, 2, 1, 3, 2, 3, 4, 2});
  const Case cases[] = {
      {"five vertices", five, 2, 0, 0},
      {"target not below", testmeshes::MakeIcoSphere(1), 42, 0, 0},
      {"sphere to half", testmeshes::MakeIcoSphere(2), 81, 1, 1287896883716430207ull},
      {"sphere to a tenth", testmeshes::MakeIcoSphere(3), 64, 1, 13411284604313425082ull},
      // coarser, the torus grows creases it will not collapse
      {"torus", testmeshes::MakeTorus(16, 10), 53, 2, 10494033599529785107ull}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<CMesh3d> mesh(c.mesh);
    const int before = mesh->NbVertex(), faces = mesh->NbFace();
    CProgressiveMeshParams params;
    params.Final = c.final;
    EXPECT_EQ(ProgressiveMesh(mesh.get(), params, {}), c.done ? 1 : 0);
    if (!c.done) {
      EXPECT_EQ(mesh->NbVertex(), before);
      EXPECT_EQ(mesh->NbFace(), faces);
      continue;
    }
    if (c.done == 1) {
      EXPECT_EQ(mesh->NbVertex(), c.final);
    } else {
      EXPECT_GT(mesh->NbVertex(), c.final);
      EXPECT_LT(mesh->NbVertex(), before);
    }
    // closed surfaces keep their genus: two faces fewer per vertex removed
    EXPECT_EQ(mesh->NbFace(), faces - 2 * (before - mesh->NbVertex()));
    meshchecks::ExpectConsistentAdjacency(*mesh);
    const simplificationreference::CMeshDigest left = simplificationreference::Digest(*mesh);
    testmeshes::CDigest digest;
    digest.AddBytes(left.positions.data(), left.positions.size() * sizeof(double));
    digest.AddBytes(left.corners.data(), left.corners.size() * sizeof(int));
    EXPECT_EQ(digest.Value(), c.digest);
  }
}

TEST(ProgressiveMesh, StaysOnTheReferenceAndKeepsTheBoundary) {
  std::unique_ptr<CMesh3d> sphere(testmeshes::MakeIcoSphere(3));
  CProgressiveMeshParams params;
  params.Final = sphere->NbVertex() / 4;
  ProgressiveMesh(sphere.get(), params, {});
  EXPECT_LT(SphereDeviation(*sphere), 0.02);

  // boundary vertices never collapse: the grid's rim stays whole
  std::unique_ptr<CMesh3d> grid(testmeshes::MakeGrid(8, 8));
  const int rim = testmeshes::CountBoundaryEdges(grid.get());
  params.Final = 40;
  ProgressiveMesh(grid.get(), params, {});
  EXPECT_EQ(testmeshes::CountBoundaryEdges(grid.get()), rim);
  for (const CVertex3d* v : grid->m_ArrayVertex) EXPECT_NEAR(v->z, 0.0, 1e-9);
}

TEST(ProgressiveMesh, TrialOptimisationBetweenDistanceAndSprings) {
  // reference: the plane z = 0; the trial starts above it with neighbours
  // in a square at height 1
  std::unique_ptr<CMesh3d> plane(testmeshes::MakeGrid(10, 10));
  CHashTable3d grid(8);
  grid.Build(plane.get());
  CReferenceSurface reference{&grid, 1};
  CTrialVertex trial;
  trial.neighbors = {CVector3d(4, 4, 1), CVector3d(6, 4, 1), CVector3d(6, 6, 1),
                     CVector3d(4, 6, 1)};
  const CVector3d start(5.5, 5.2, 0.6);
  struct Case {
    double spring;
    CVector3d expected;
  };
  // spring 0: onto the reference; a large spring: the neighbours' centroid
  const Case cases[] = {{0.0, CVector3d(5.5, 5.2, 0.0)}, {100.0, CVector3d(5, 5, 1)}};
  for (const Case& c : cases) {
    CProgressiveMeshParams params;
    params.Spring = c.spring;
    params.MaxIter = 400;
    params.InitialStep = 0.001;
    params.MinStep = 0.0001f;
    params.Epsilon = 1e-16;
    CVector3d end;
    const double energy = OptimizeTrialPosition(trial, start, reference, params, end);
    EXPECT_NEAR((end - c.expected).Length(), 0.0, 0.02) << "spring " << c.spring;
    EXPECT_LE(energy, ProgressiveEnergy(start, trial, reference, c.spring));
  }
}

// A grid whose middle vertex is lifted by height.
CMesh3d* LiftedGrid(double height) {
  CMesh3d* mesh = testmeshes::MakeGrid(6, 6);
  CVertex3d* middle = nullptr;
  for (CVertex3d* v : mesh->m_ArrayVertex)
    if (std::fabs(v->x - 3.0) < 1e-9 && std::fabs(v->y - 3.0) < 1e-9) middle = v;
  middle->z = height;
  mesh->Rebuild();
  return mesh;
}

CVertex3d* Middle(CMesh3d& mesh) {
  for (CVertex3d* v : mesh.m_ArrayVertex)
    if (std::fabs(v->x - 3.0) < 1e-9 && std::fabs(v->y - 3.0) < 1e-9) return v;
  return nullptr;
}

TEST(VolumicMetric, DisplacedVertexMovesBackOntoThePlane) {
  std::unique_ptr<CMesh3d> plane(testmeshes::MakeGrid(6, 6));
  CHashTable3d grid(4);
  grid.Build(plane.get());
  for (int useHash : {0, 1})
    for (double height : {0.4, -0.3}) {
      SCOPED_TRACE(height);
      std::unique_ptr<CMesh3d> lifted(LiftedGrid(height));
      CVertex3d* v = Middle(*lifted);
      // the direction points back at the plane
      double largest = 0.0;
      const CVector3d g =
          VolumicDirection(v->Position(), VertexRing(v), {&grid, useHash}, 40, &largest);
      EXPECT_LT(g.z * height, 0.0);
      EXPECT_NEAR(largest, std::fabs(height), 0.2);
      CVolumicStep step;
      step.initial = 0.1;
      step.minimum = 0.001;
      step.decrease = 0.5;
      step.epsilon = 0.0001;
      step.maxIter = 200;
      EXPECT_GT(OptimizeVolumic(v, {&grid, useHash}, 40, step, {}), 1);
      EXPECT_NEAR(v->z, 0.0, 0.01);
    }
  // a star without area has no direction
  EXPECT_EQ(VolumicDirection(CVector3d(0, 0, 0), {CVector3d(1, 0, 0), CVector3d(2, 0, 0)},
                             {&grid, 1}, 40, nullptr)
                .LengthSquared(),
            0.0);
}

TEST(VolumicMetric, MethodsReachTheTargetNearTheSurface) {
  struct Case {
    int method;
    int hausdorff;
    bool separateReference;
    double deviation;
  };
  // random midpoint collapses fold the coarse sphere: only a loose bound
  const Case cases[] = {
      {0, 0, false, 1.0}, {1, 0, true, 0.1}, {2, 0, false, 0.1}, {2, 1, true, 0.1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.method);
    std::unique_ptr<CMesh3d> model(testmeshes::MakeIcoSphere(2));
    std::unique_ptr<CMesh3d> reference(testmeshes::MakeIcoSphere(3));
    CVolumicParams params;
    params.Method = c.method;
    params.Final = 60;
    params.MaxIter = 5;
    params.SamplesPerFace = 6;
    params.Hausdorff = c.hausdorff;
    params.UseHash = 1;
    CRandom15 random;
    std::atomic<bool> stop{false};
    CApproximationHooks hooks;
    hooks.stop = &stop;
    RunVolumicMethod(model.get(), c.separateReference ? reference.get() : nullptr, params, nullptr,
                     random, hooks);
    EXPECT_EQ(model->NbVertex(), 60);
    EXPECT_LT(SphereDeviation(*model), c.deviation);
    meshchecks::ExpectConsistentAdjacency(*model);
  }
  // the random method ends on a mesh it cannot collapse further
  std::unique_ptr<CMesh3d> tetrahedron(new CMesh3d);
  tetrahedron->MakeTetrahedron();
  tetrahedron->Rebuild();
  CVolumicParams params;
  params.Method = 0;
  params.Final = 1;
  CRandom15 random;
  RunVolumicMethod(tetrahedron.get(), nullptr, params, nullptr, random, {});
  EXPECT_EQ(tetrahedron->NbVertex(), 4);
}

// The candidate a scan of the list picks: the first of the lowest costs
// below 3.4e38 among the live, valid ones.
int ScanBest(const CCollapseCandidates& list) {
  int best = -1;
  double lowest = 3.4e38;
  for (int id = 0; id < list.Size(); id++) {
    const CCollapseCandidate& c = list.At(id);
    if (c.alive && c.valid && c.cost < lowest) {
      lowest = c.cost;
      best = id;
    }
  }
  return best;
}

TEST(CollapseCandidates, HeapPicksWhatAScanWould) {
  struct Case {
    const char* name;
    std::function<double(const CCollapseCandidate&)> cost;
  };
  const Case cases[] = {
      {"all equal", [](const CCollapseCandidate&) { return 1.0; }},
      {"edge length in steps",
       [](const CCollapseCandidate& c) { return std::floor(10.0 * Distance(c.k, c.r)); }},
      {"some never", [](const CCollapseCandidate& c) { return c.k->x > 0.0 ? 3.4e38 : c.k->y; }}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<CMesh3d> mesh(testmeshes::MakeIcoSphere(2));
    CCollapseCandidates list(
        [&c](CCollapseCandidate& candidate) { candidate.cost = c.cost(candidate); });
    list.MakeAll(mesh.get());
    // one candidate per edge of the closed sphere
    EXPECT_EQ(list.Size(), mesh->NbFace() * 3 / 2);
    for (int round = 0; round < 40; round++) {
      const int expected = ScanBest(list);
      ASSERT_EQ(list.BestId(), expected);
      if (expected < 0) break;
      // drop the best and every third candidate after it
      list.Drop(expected);
      if (expected + 3 < list.Size()) list.Drop(expected + 3);
    }
  }
}

} // namespace
