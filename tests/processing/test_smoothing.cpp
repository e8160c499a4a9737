// Smoothing by Loop's vertex mask: hand values at valences 3 and 6 with the
// boundary moving or not, the flat grid, and repeated steps against Smooth
// run again and again.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "geometry/Mesh3d.h"
#include "processing/LoopSubdivision.h"
#include "processing/Smoothing.h"
#include "tests/support/TestMeshes.h"

using namespace testmeshes;
using MeshPtr = std::unique_ptr<CMesh3d>;

namespace {

// Loop's centre weights at valences 3 and 6 (centre 7/16 and 5/8).
constexpr double kAlpha3 = 7.0 / 3.0;
constexpr double kAlpha6 = 10.0;

// A fan of three triangles around vertex 0 at (0, 0, 1): its three outer
// vertices are on the boundary, each with three neighbours.
MeshPtr ThreeFan() {
  return MeshPtr(
      MakeMesh({0, 0, 1, 1, 0, 0, -0.5, 0.8, 0, -0.5, -0.8, 0}, {0, 1, 2, 0, 2, 3, 0, 3, 1}));
}

// A hexagon of six triangles around vertex 0 lifted to z = 0.6.
MeshPtr SixFan() {
  std::vector<double> xyz = {0.1, -0.2, 0.6};
  for (int k = 0; k < 6; k++) xyz.insert(xyz.end(), {double(k % 3), double(k / 3) + 0.5 * k, 0.0});
  return MeshPtr(MakeMesh(xyz, {0, 1, 2, 0, 2, 3, 0, 3, 4, 0, 4, 5, 0, 5, 6, 0, 6, 1}));
}

// (alpha v + sum of the listed neighbours) / (alpha + n), by hand.
CVector3d Mask(const CMesh3d& mesh, double alpha, int v, const std::vector<int>& ring) {
  CVector3d sum = mesh.GetVertex(v)->Position() * alpha;
  for (int r : ring) sum += mesh.GetVertex(r)->Position();
  return sum * (1.0 / (alpha + ring.size()));
}

// Bit-for-bit equality of two vectors.
bool Same(const CVector3d& a, const CVector3d& b) {
  return a.x == b.x && a.y == b.y && a.z == b.z;
}

// LoopAlpha takes 2 pi in single precision: alpha(6) is 10 within 1e-7.
void ExpectNear(const CVector3d& a, const CVector3d& b) {
  EXPECT_NEAR(a.x, b.x, 1e-7);
  EXPECT_NEAR(a.y, b.y, 1e-7);
  EXPECT_NEAR(a.z, b.z, 1e-7);
}

} // namespace

TEST(Smooth, HandValuesAtValencesThreeAndSixWithBoundariesOnAndOff) {
  struct Case {
    const char* name;
    MeshPtr (*make)();
    int moveBoundaries;
    int vertex;
    double alpha;          // 0: the vertex stays
    std::vector<int> ring; // its neighbours
  };
  const Case cases[] = {
      {"valence 3 centre", ThreeFan, 1, 0, kAlpha3, {1, 2, 3}},
      {"valence 3 centre, boundary fixed", ThreeFan, 0, 0, kAlpha3, {1, 2, 3}},
      {"valence 3 boundary vertex moving", ThreeFan, 1, 1, kAlpha3, {0, 2, 3}},
      {"valence 3 boundary vertex fixed", ThreeFan, 0, 1, 0.0, {}},
      {"valence 6 centre", SixFan, 1, 0, kAlpha6, {1, 2, 3, 4, 5, 6}},
      {"valence 6 centre, boundary fixed", SixFan, 0, 0, kAlpha6, {1, 2, 3, 4, 5, 6}},
      {"valence 6 boundary vertex fixed", SixFan, 0, 4, 0.0, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MeshPtr mesh = c.make();
    CVector3d expected = c.alpha > 0.0 ? Mask(*mesh, c.alpha, c.vertex, c.ring)
                                       : mesh->GetVertex(c.vertex)->Position();
    EXPECT_EQ(Smooth(mesh.get(), c.moveBoundaries), 1);
    ExpectNear(mesh->GetVertex(c.vertex)->Position(), expected);
  }
}

TEST(Smooth, FlatGridKeepsItsInteriorAndPullsItsBoundaryInwards) {
  for (int moveBoundaries : {0, 1}) {
    MeshPtr mesh(MakeGrid(6, 4));
    std::vector<CVector3d> before;
    for (const CVertex3d* v : mesh->m_ArrayVertex) before.push_back(v->Position());
    float xmin, xmax;
    mesh->Range(0, &xmin, &xmax);
    Smooth(mesh.get(), moveBoundaries);
    for (int i = 0; i < mesh->NbVertex(); i++) {
      const CVertex3d* v = mesh->GetVertex(i);
      EXPECT_EQ(v->z, 0.0);
      if (!v->IsBoundaryVertex() || !moveBoundaries) {
        ExpectNear(v->Position(), before[i]);
        continue;
      }
      // boundary vertices move
      EXPECT_NE((v->Position() - before[i]).Length(), 0.0) << i;
    }
    if (moveBoundaries) {
      float newMin, newMax;
      mesh->Range(0, &newMin, &newMax);
      EXPECT_GT(newMin, xmin);
      EXPECT_LT(newMax, xmax);
    }
  }
}

TEST(Smooth, VertexWithoutNeighboursStaysWhereItIs) {
  MeshPtr mesh(MakeIcoSphere(1));
  CVertex3d* lone = AddVertex(*mesh, 5.0, 6.0, 7.0);
  Smooth(mesh.get(), 1);
  EXPECT_TRUE(Same(lone->Position(), CVector3d(5.0, 6.0, 7.0)));
  for (const CVertex3d* v : mesh->m_ArrayVertex) {
    EXPECT_TRUE(std::isfinite(v->x) && std::isfinite(v->y) && std::isfinite(v->z));
  }
}

// Smooth as it is defined, over the element objects: every new position
// from the old ones and the current neighbour lists, then Rebuild.
void ReferenceSmooth(CMesh3d* mesh, int moveBoundaries) {
  std::vector<CVector3d> next;
  for (const CVertex3d* v : mesh->m_ArrayVertex) {
    int n = v->NbNeighbor();
    if (n == 0 || (!moveBoundaries && v->IsBoundaryVertex())) {
      next.push_back(v->Position());
      continue;
    }
    double alpha = static_cast<double>(LoopAlpha(n));
    double s[3] = {0.0, 0.0, 0.0};
    for (const CVertex3d* w : v->m_ArrayVertexNeighbor) s[0] += w->x, s[1] += w->y, s[2] += w->z;
    next.emplace_back((alpha * v->x + s[0]) / (alpha + n), (alpha * v->y + s[1]) / (alpha + n),
                      (alpha * v->z + s[2]) / (alpha + n));
  }
  for (int i = 0; i < mesh->NbVertex(); i++) mesh->GetVertex(i)->Set(next[i]);
  mesh->Rebuild();
}

// Positions and normals, bit for bit.
void ExpectSameMesh(const CMesh3d& a, const CMesh3d& b) {
  ASSERT_EQ(a.NbVertex(), b.NbVertex());
  ASSERT_EQ(a.NbFace(), b.NbFace());
  for (int i = 0; i < a.NbVertex(); i++) {
    ASSERT_TRUE(Same(a.GetVertex(i)->Position(), b.GetVertex(i)->Position())) << "vertex " << i;
    ASSERT_TRUE(Same(a.GetVertex(i)->m_Normal, b.GetVertex(i)->m_Normal)) << "vertex normal " << i;
  }
  for (int i = 0; i < a.NbFace(); i++)
    ASSERT_TRUE(Same(a.GetFace(i)->m_Normal, b.GetFace(i)->m_Normal)) << "face normal " << i;
}

TEST(SmoothRepeatedly, GivesWhatSmoothAsDefinedGivesStepByStep) {
  struct Case {
    const char* name;
    CMesh3d* (*make)();
    int moveBoundaries;
  };
  const Case cases[] = {
      {"closed torus", [] { return MakeTorus(12, 9); }, 1},
      {"sphere", [] { return MakeIcoSphere(2); }, 1},
      {"grid with holes, boundary moving", [] { return MakeGridWithHoles(7, 6, 3); }, 1},
      {"grid with holes, boundary fixed", [] { return MakeGridWithHoles(7, 6, 3); }, 0},
      {"non-manifold fan", [] { return MakeNonManifoldFan(4); }, 1},
      {"lists out of date (a face added after the rebuild)",
       [] {
         CMesh3d* mesh = MakeGrid(4, 4);
         AddFace(*mesh, mesh->GetVertex(0), mesh->GetVertex(24), mesh->GetVertex(4));
         return mesh;
       },
       1},
      {"sphere with a lone vertex",
       [] {
         CMesh3d* mesh = MakeIcoSphere(1);
         AddVertex(*mesh, 1.0, 2.0, 3.0);
         return mesh;
       },
       1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const int steps = 4;
    MeshPtr reference(c.make()), followed(c.make()), once(c.make());
    // the views following see every step as Smooth leaves it
    int seen = 0;
    SmoothRepeatedly(followed.get(), c.moveBoundaries, steps, [&](int step) {
      EXPECT_EQ(step, seen++);
      ReferenceSmooth(reference.get(), c.moveBoundaries);
      ExpectSameMesh(*followed, *reference);
    });
    EXPECT_EQ(seen, steps);
    // without views, the mesh ends the same
    SmoothRepeatedly(once.get(), c.moveBoundaries, steps);
    ExpectSameMesh(*once, *reference);
  }
}

TEST(SmoothRepeatedly, NoStepLeavesTheMeshAsItIs) {
  MeshPtr mesh(MakeIcoSphere(1)), copy(MakeIcoSphere(1));
  SmoothRepeatedly(mesh.get(), 1, 0);
  ExpectSameMesh(*mesh, *copy);
}
