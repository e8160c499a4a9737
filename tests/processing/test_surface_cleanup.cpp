// Hole filling, compacity swaps and measures, spring relaxation and vertex
// packing (its grid search against the plain scan).

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <set>
#include <vector>

#include "geometry/Mesh3d.h"
#include "geometry/Random15.h"
#include "processing/SurfaceCleanup.h"
#include "processing/VertexPacking.h"
#include "tests/support/MeshChecks.h"
#include "tests/support/TestMeshes.h"

using namespace testmeshes;
using MeshPtr = std::unique_ptr<CMesh3d>;

namespace {

// Grid of nx x ny parallelograms sheared by `shear` along x, each split
// along its long diagonal when `longDiagonals`, else its short one.
MeshPtr ShearedGrid(int nx, int ny, double shear, bool longDiagonals) {
  std::vector<double> xyz;
  std::vector<int> triangles;
  for (int j = 0; j <= ny; j++)
    for (int i = 0; i <= nx; i++) xyz.insert(xyz.end(), {i + shear * j, double(j), 0.0});
  for (int j = 0; j < ny; j++)
    for (int i = 0; i < nx; i++) {
      int a = j * (nx + 1) + i, b = a + 1, c = a + nx + 1, d = c + 1;
      // with a positive shear, (b, c) is the short diagonal
      if (longDiagonals)
        triangles.insert(triangles.end(), {a, b, d, a, d, c});
      else
        triangles.insert(triangles.end(), {a, b, c, b, d, c});
    }
  return MeshPtr(MakeMesh(xyz, triangles));
}

// The neighbour lists of every vertex as sets, and the neighbour faces.
struct Adjacency {
  std::vector<std::set<const CVertex3d*>> rings;
  std::vector<std::set<const CFace3d*>> faces;
  std::vector<std::set<const CFace3d*>> across;
};

Adjacency Snapshot(const CMesh3d& mesh) {
  Adjacency a;
  for (const CVertex3d* v : mesh.m_ArrayVertex) {
    a.rings.emplace_back(v->m_ArrayVertexNeighbor.begin(), v->m_ArrayVertexNeighbor.end());
    a.faces.emplace_back(v->m_ArrayFaceNeighbor.begin(), v->m_ArrayFaceNeighbor.end());
  }
  for (const CFace3d* f : mesh.m_ArrayFace) a.across.push_back({f->f(0), f->f(1), f->f(2)});
  return a;
}

} // namespace

TEST(FillHole, FansADiscAroundTheCentreOfItsBoundary) {
  MeshPtr mesh(MakeGrid(4, 3));
  int faces = mesh->NbFace(), vertices = mesh->NbVertex();
  int boundaryEdges = CountBoundaryEdges(mesh.get());
  FillHole(mesh.get());
  mesh->Rebuild();
  EXPECT_EQ(mesh->NbVertex(), vertices + 1);
  EXPECT_EQ(mesh->NbFace(), faces + boundaryEdges);
  EXPECT_EQ(CountBoundaryEdges(mesh.get()), 0);
  // the centre of the 14 boundary vertices of the 4 x 3 grid
  const CVertex3d* centre = mesh->GetVertex(vertices);
  EXPECT_NEAR(centre->x, 2.0, 1e-6);
  EXPECT_NEAR(centre->y, 1.5, 1e-6);
  // the new faces keep the orientation: every edge is met both ways
  EXPECT_EQ(meshchecks::MaxFacesOnAnEdge(*mesh), 2);
  meshchecks::ExpectConsistentAdjacency(*mesh);
}

TEST(FillHole, LeavesAClosedMeshAsItIs) {
  MeshPtr mesh(MakeIcoSphere(1));
  int faces = mesh->NbFace(), vertices = mesh->NbVertex();
  FillHole(mesh.get());
  EXPECT_EQ(mesh->NbFace(), faces);
  EXPECT_EQ(mesh->NbVertex(), vertices);
}

TEST(Compacity, MeanAndMinimumOverTheFaces) {
  MeshPtr equilateral(MakeMesh({0, 0, 0, 1, 0, 0, 0.5, std::sqrt(0.75), 0}, {0, 1, 2}));
  EXPECT_NEAR(MeanCompacity(equilateral.get()), PI_3D * std::sqrt(3.0) / 9.0, 1e-9);
  MeshPtr grid(MakeGrid(2, 2));
  // right isosceles triangles: 4 pi (1/2) / (2 + sqrt 2)^2
  double c = 2.0 * PI_3D / std::pow(2.0 + std::sqrt(2.0), 2);
  EXPECT_NEAR(MeanCompacity(grid.get()), c, 1e-9);
  EXPECT_NEAR(MinCompacity(grid.get()), c, 1e-9);
  CMesh3d empty;
  EXPECT_EQ(MeanCompacity(&empty), 0.0);
  EXPECT_EQ(MinCompacity(&empty), 0.0);
}

TEST(SwapForCompacity, SwapsLongDiagonalsAndKeepsAdjacencyInPlace) {
  MeshPtr mesh = ShearedGrid(6, 5, 0.7, true);
  double before = MeanCompacity(mesh.get());
  int swapped = SwapForCompacity(mesh.get());
  EXPECT_GT(swapped, 0);
  EXPECT_GT(MeanCompacity(mesh.get()), before);
  // the adjacency kept in place is the one a rebuild gives
  Adjacency inPlace = Snapshot(*mesh);
  mesh->BuildAdjacency();
  Adjacency rebuilt = Snapshot(*mesh);
  EXPECT_EQ(inPlace.rings, rebuilt.rings);
  EXPECT_EQ(inPlace.faces, rebuilt.faces);
  EXPECT_EQ(inPlace.across, rebuilt.across);
  for (const CFace3d* f : mesh->m_ArrayFace) {
    EXPECT_TRUE(f->IsValid());
    // still facing +z
    CVector3d n = CVector3d(f->v(0), f->v(1)) ^ CVector3d(f->v(0), f->v(2));
    EXPECT_GT(n.z, 0.0);
  }
  for (const CVertex3d* v : mesh->m_ArrayVertex) EXPECT_GE(v->NbFace(), 1);
}

TEST(SwapForCompacity, RefusesSwapsThatHelpNothingOrBreakTheSurface) {
  struct Case {
    const char* name;
    MeshPtr mesh;
  };
  Case cases[] = {
      {"short diagonals already", ShearedGrid(6, 5, 0.7, false)},
      {"square grid (both diagonals equal)", MeshPtr(MakeGrid(5, 5))},
      // every edge of a tetrahedron exists already
      {"tetrahedron", MeshPtr(MakeMesh({0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1},
                                       {0, 2, 1, 0, 1, 3, 0, 3, 2, 1, 2, 3}))},
      // a thin pair whose ends have fewer than 4 faces each
      {"two faces",
       MeshPtr(MakeMesh({0, 0, 0, 10, 0, 0, 5, 0.1, 0, 5, -0.1, 0}, {0, 1, 2, 1, 0, 3}))},
      {"sphere", MeshPtr(MakeIcoSphere(2))},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(SwapForCompacity(c.mesh.get()), 0);
  }
}

TEST(SwapForCompacity, ANonConvexPairIsNotFolded) {
  // p = 0, q = 1, a = 2 and b = 3 past the line through a and p: the
  // diagonal (a, b) would turn the face (p, b, a) upside down
  MeshPtr mesh(MakeMesh(
      {0, 0, 0, 2, 0, 0, 1, 1, 0, -0.8, -0.56, 0, -1, 1, 0, -1, 0.18, 0, 3, 1, 0, 3, -1, 0},
      {0, 1, 2, 1, 0, 3, 0, 2, 4, 0, 4, 5, 0, 5, 3, 1, 6, 2, 1, 3, 7, 1, 7, 6}));
  SwapForCompacity(mesh.get());
  for (const CFace3d* f : mesh->m_ArrayFace) {
    CVector3d n = CVector3d(f->v(0), f->v(1)) ^ CVector3d(f->v(0), f->v(2));
    EXPECT_GT(n.z, 0.0);
  }
}

TEST(SpringRelax, FixesBoundaryAndCreaseVerticesAndEvensTheRest) {
  MeshPtr mesh(MakeGrid(6, 6));
  // a crease along x = 5 and a vertex pushed off the centre
  for (CVertex3d* v : mesh->m_ArrayVertex)
    if (v->x > 5.0) v->z = v->x - 5.0;
  CVertex3d* pushed = mesh->GetVertex(3 * 7 + 2);
  pushed->x += 0.4;
  pushed->y -= 0.3;
  mesh->Rebuild();
  std::vector<CVector3d> before;
  for (const CVertex3d* v : mesh->m_ArrayVertex) before.push_back(v->Position());
  int iterations = 0;
  SpringRelax(mesh.get(), 20.0, 30, [&iterations](int) { iterations++; });
  EXPECT_EQ(iterations, 30);
  for (int i = 0; i < mesh->NbVertex(); i++) {
    const CVertex3d* v = mesh->GetVertex(i);
    bool fixed = v->IsBoundaryVertex() || v->MaxNormalAngle() > 20.0 * kSpringDegree;
    EXPECT_EQ(v->m_Flag, fixed ? 0 : 1) << i;
    if (fixed) {
      EXPECT_EQ((v->Position() - before[i]).Length(), 0.0) << i;
    }
  }
  // the pushed vertex goes back towards its place on the grid
  EXPECT_NEAR(pushed->x, 2.0, 0.05);
  EXPECT_NEAR(pushed->y, 3.0, 0.05);
}

TEST(NearestRepresentatives, GridSearchMatchesThePlainScan) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  auto random = [](int n, double scale, int seed, bool flat) {
    CRandom15 r(static_cast<unsigned>(seed));
    std::vector<double> xyz;
    for (int i = 0; i < 3 * n; i++)
      xyz.push_back(flat && i % 3 == 2 ? 0.5 : scale * r.Next() / 32768.0);
    return xyz;
  };
  // integer lattices give many exact ties
  auto lattice = [](int n) {
    std::vector<double> xyz;
    for (int i = 0; i < n; i++) xyz.insert(xyz.end(), {double(i % 5), double(i / 5 % 4), 0.0});
    return xyz;
  };
  struct Case {
    const char* name;
    std::vector<double> xyz;
    int f;
  };
  std::vector<double> clustered = random(300, 1.0, 3, false);
  for (int i = 0; i < 150; i++) clustered[3 * i] = 1e-9 * i; // a tight cluster
  std::vector<double> withNan = random(200, 10.0, 4, false);
  withNan[3 * 7] = nan, withNan[3 * 20 + 1] = nan; // a sample and a query
  Case cases[] = {
      {"random cube f=2", random(500, 1.0, 1, false), 2},
      {"random cube f=4", random(800, 100.0, 2, false), 4},
      {"flat f=3", random(400, 1.0, 5, true), 3},
      {"lattice ties f=2", lattice(120), 2},
      {"lattice ties f=7", lattice(200), 7},
      {"clustered f=5", clustered, 5},
      {"not a number f=4", withNan, 4},
      {"all in one point f=3", std::vector<double>(90, 1.25), 3},
      {"far off f=2", {1e200, 0, 0, 0, 0, 0, 1, 1, 1, -1e200, 0, 0}, 2},
      {"fewer points than f", random(3, 1.0, 6, false), 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(NearestRepresentatives(c.xyz, c.f), NearestRepresentativesByScan(c.xyz, c.f));
  }
}

TEST(NearestRepresentatives, TiesGoToTheLowestIndex) {
  // point 1 lies halfway between representatives 0 and 2, point 3 between
  // 2 and 4, nearer representative 4 by nothing
  std::vector<double> xyz = {0, 0, 0, 1, 0, 0, 2, 0, 0, 3, 0, 0, 4, 0, 0};
  std::vector<int> target = NearestRepresentatives(xyz, 2);
  EXPECT_EQ(target, (std::vector<int>{0, 0, 2, 2, 4}));
}

TEST(PackVertices, KeepsTheRepresentativesAndRedirectsTheCorners) {
  MeshPtr mesh(MakeGrid(5, 4));
  int nv = mesh->NbVertex(), nf = mesh->NbFace();
  std::vector<CVertex3d*> representatives;
  for (int i = 0; i < nv; i += 3) representatives.push_back(mesh->GetVertex(i));
  EXPECT_EQ(PackVertices(mesh.get(), 3), 1);
  ASSERT_EQ(mesh->NbVertex(), static_cast<int>(representatives.size()));
  for (int i = 0; i < mesh->NbVertex(); i++) EXPECT_EQ(mesh->GetVertex(i), representatives[i]);
  // degenerate faces stay; every corner is a representative
  EXPECT_EQ(mesh->NbFace(), nf);
  std::set<const CVertex3d*> kept(representatives.begin(), representatives.end());
  for (const CFace3d* f : mesh->m_ArrayFace)
    for (int k = 0; k < 3; k++) EXPECT_TRUE(kept.count(f->v(k)));
  mesh->Rebuild();
}

TEST(PackVertices, FrequenciesBelowTwoDoNothing) {
  for (int f : {1, 0, -3}) {
    MeshPtr mesh(MakeGrid(3, 3));
    int nv = mesh->NbVertex();
    EXPECT_EQ(PackVertices(mesh.get(), f), 1);
    EXPECT_EQ(mesh->NbVertex(), nv);
  }
}
