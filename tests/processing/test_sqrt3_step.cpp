// The sqrt(3) step: counts, smoothing masks, the 1-to-9 refinement, links
// kept in place, and robustness on meshes that are not clean manifolds.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <set>
#include <vector>

#include "processing/Sqrt3Subdivision.h"
#include "tests/processing/SubdivisionChecks.h"
#include "tests/support/TestMeshes.h"

using subdivisionchecks::MeshPtr;
using namespace testmeshes;

namespace {

MeshPtr Tetrahedron() {
  return MeshPtr(
      MakeMesh({0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1}, {0, 2, 1, 0, 1, 3, 1, 2, 3, 0, 3, 2}));
}

struct LinkState {
  std::vector<std::array<const CFace3d*, 3>> faces;
  std::vector<std::set<const CVertex3d*>> rings;
  std::vector<std::set<const CFace3d*>> fans;
};

LinkState Links(const CMesh3d& mesh) {
  LinkState s;
  for (int i = 0; i < mesh.NbFace(); i++) {
    const CFace3d* f = mesh.GetFace(i);
    s.faces.push_back({f->m_pFace[0], f->m_pFace[1], f->m_pFace[2]});
  }
  for (int i = 0; i < mesh.NbVertex(); i++) {
    const CVertex3d* v = mesh.GetVertex(i);
    s.rings.emplace_back(v->m_ArrayVertexNeighbor.begin(), v->m_ArrayVertexNeighbor.end());
    s.fans.emplace_back(v->m_ArrayFaceNeighbor.begin(), v->m_ArrayFaceNeighbor.end());
  }
  return s;
}

// The links a step left equal those a fresh BuildAdjacency makes.
void ExpectLinksInPlace(CMesh3d& mesh, const char* what) {
  LinkState kept = Links(mesh);
  mesh.BuildAdjacency();
  LinkState fresh = Links(mesh);
  ASSERT_EQ(kept.faces.size(), fresh.faces.size());
  for (size_t i = 0; i < kept.faces.size(); i++)
    EXPECT_EQ(kept.faces[i], fresh.faces[i]) << what << " face " << i;
  for (size_t i = 0; i < kept.rings.size(); i++) {
    EXPECT_EQ(kept.rings[i], fresh.rings[i]) << what << " one-ring " << i;
    EXPECT_EQ(kept.fans[i], fresh.fans[i]) << what << " faces of vertex " << i;
  }
}

// Selects faces 0, 5, 10, ... for an adaptive step.
void FlagEveryFifth(CMesh3d& mesh) {
  for (int i = 0; i < mesh.NbFace(); i++) mesh.GetFace(i)->m_Flag = i % 5 == 0 ? 1 : 0;
}

} // namespace

TEST(Sqrt3Weight, TableAgreesWithTheFormulaExceptValence3) {
  EXPECT_EQ(Sqrt3Weight(3), 1.5f);
  for (int n = 4; n <= 10; n++) {
    double a = (4.0 - 2.0 * std::cos(2.0 * M_PI / n)) / 9.0;
    EXPECT_NEAR(Sqrt3Weight(n), n * (1.0 - a) / a, 1e-4) << n;
  }
  EXPECT_EQ(Sqrt3Weight(2), 0.0f);
  EXPECT_EQ(Sqrt3Weight(11), 0.0f);
}

TEST(SubdivisionSqrt3, ClosedMeshesTripleTheirFacesAndGainOneVertexPerFace) {
  const std::function<CMesh3d*()> makers[] = {[] { return MakeIcoSphere(2); },
                                              [] { return MakeTorus(12, 8); }};
  for (const auto& make : makers)
    for (int flip : {0, 1}) {
      MeshPtr mesh(make());
      const int nf = mesh->NbFace(), nv = mesh->NbVertex();
      EXPECT_EQ(SubdivisionSqrt3(mesh.get(), flip, 1, 0, nullptr, 0, 0.0f), nf);
      EXPECT_EQ(mesh->NbFace(), 3 * nf);
      EXPECT_EQ(mesh->NbVertex(), nv + nf);
      EXPECT_EQ(subdivisionchecks::MaxFacesOnEdge(*mesh), 2) << "flip " << flip;
      ExpectLinksInPlace(*mesh, flip ? "flip" : "alone");
    }
}

TEST(SubdivisionSqrt3, SmoothingMasks) {
  struct Row {
    const char* name;
    std::function<MeshPtr()> make;
    int fixed;
    float weight;
  };
  const Row rows[] = {
      {"tetrahedron (valence 3)", Tetrahedron, 0, 0.0f},
      {"icosahedron (valence 5)", [] { return MeshPtr(MakeIcoSphere(0)); }, 0, 0.0f},
      {"torus (valence 6)", [] { return MeshPtr(MakeTorus(10, 8)); }, 0, 0.0f},
      {"torus, fixed 1/3", [] { return MeshPtr(MakeTorus(10, 8)); }, 1, kSqrt3FixedOneThird},
      {"torus, fixed 2/9", [] { return MeshPtr(MakeTorus(10, 8)); }, 1, kSqrt3FixedTwoNinths},
  };
  for (const Row& row : rows) {
    MeshPtr mesh = row.make();
    // expected: (W v + sum of the old one-ring) / (W + n)
    std::vector<CVector3d> expected;
    for (int i = 0; i < mesh->NbVertex(); i++) {
      const CVertex3d* v = mesh->GetVertex(i);
      int n = v->NbNeighbor();
      double w = row.fixed ? row.weight : Sqrt3Weight(n);
      CVector3d sum(w * v->x, w * v->y, w * v->z);
      for (int j = 0; j < n; j++) sum += v->GetNeighbor(j)->Position();
      expected.emplace_back(sum.x / (w + n), sum.y / (w + n), sum.z / (w + n));
    }
    SubdivisionSqrt3(mesh.get(), 1, 1, 0, nullptr, row.fixed, row.weight);
    for (size_t i = 0; i < expected.size(); i++) {
      const CVertex3d* v = mesh->GetVertex(static_cast<int>(i));
      EXPECT_NEAR(v->x, expected[i].x, 1e-6) << row.name << " vertex " << i;
      EXPECT_NEAR(v->y, expected[i].y, 1e-6) << row.name << " vertex " << i;
      EXPECT_NEAR(v->z, expected[i].z, 1e-6) << row.name << " vertex " << i;
    }
  }
}

TEST(SubdivisionSqrt3, TwoStepsOnAFlatGridPutVerticesAtTheThirdsOfInteriorEdges) {
  MeshPtr mesh(MakeGrid(4, 3));
  // the old interior edges, by their end positions
  std::vector<std::pair<CVector3d, CVector3d>> edges;
  for (const auto& entry : subdivisionchecks::EdgeFaceCounts(*mesh))
    if (entry.second == 2)
      edges.emplace_back(mesh->GetVertex(entry.first.first)->Position(),
                         mesh->GetVertex(entry.first.second)->Position());
  ASSERT_FALSE(edges.empty());

  for (int step = 0; step < 2; step++) {
    SubdivisionSqrt3(mesh.get(), 1, 0, 0, nullptr, 0, 0.0f);
    ExpectLinksInPlace(*mesh, "grid");
  }
  auto hasVertexAt = [&](const CVector3d& p) {
    for (int i = 0; i < mesh->NbVertex(); i++) {
      const CVertex3d* v = mesh->GetVertex(i);
      if (std::fabs(v->x - p.x) < 1e-6 && std::fabs(v->y - p.y) < 1e-6 &&
          std::fabs(v->z - p.z) < 1e-6)
        return true;
    }
    return false;
  };
  for (const auto& e : edges)
    for (double t : {1.0 / 3.0, 2.0 / 3.0}) {
      CVector3d p(e.first.x + t * (e.second.x - e.first.x),
                  e.first.y + t * (e.second.y - e.first.y), 0.0);
      EXPECT_TRUE(hasVertexAt(p)) << "no vertex at (" << p.x << ", " << p.y << ")";
    }
}

TEST(SubdivisionSqrt3, TwoStepsAreAOneToNineRefinement) {
  MeshPtr mesh(MakeIcoSphere(1));
  const int nf = mesh->NbFace();
  for (int step = 0; step < 2; step++) {
    SubdivisionSqrt3(mesh.get(), 1, 1, 0, nullptr, 0, 0.0f);
    mesh->Rebuild();
  }
  EXPECT_EQ(mesh->NbFace(), 9 * nf);
  EXPECT_EQ(subdivisionchecks::MaxFacesOnEdge(*mesh), 2);
}

TEST(SubdivisionSqrt3, AdaptiveAndPiecewiseStepsKeepLinksInPlace) {
  struct Row {
    const char* name;
    std::function<CMesh3d*()> make;
    std::function<void(CMesh3d*)> step;
  };
  auto adaptive = [](CMesh3d* m) {
    FlagEveryFifth(*m);
    SubdivisionSqrt3(m, 1, 1, 1, nullptr, 0, 0.0f);
  };
  auto piecewise = [](CMesh3d* m) { SubdivisionSqrt3Piecewise(m, 40.0, 5.0, nullptr, 1); };
  const Row rows[] = {
      {"adaptive sphere", [] { return MakeIcoSphere(2); }, adaptive},
      {"adaptive grid with holes", [] { return MakeGridWithHoles(6, 5, 2); }, adaptive},
      {"piecewise tetrahedron", [] { return Tetrahedron().release(); }, piecewise},
      {"piecewise torus", [] { return MakeTorus(6, 4); }, piecewise},
  };
  for (const Row& row : rows) {
    MeshPtr mesh(row.make());
    for (int step = 0; step < 2; step++) {
      row.step(mesh.get());
      EXPECT_EQ(subdivisionchecks::MaxFacesOnEdge(*mesh), 2) << row.name;
      ExpectLinksInPlace(*mesh, row.name);
      mesh->Rebuild();
    }
  }
}

TEST(SubdivisionSqrt3Piecewise, SharpEdgesStayAndTheirEndsKeepTheirPlace) {
  // a tetrahedron: every edge is sharp, every vertex sits on three
  MeshPtr mesh = Tetrahedron();
  std::vector<CVector3d> before;
  for (int i = 0; i < 4; i++) before.push_back(mesh->GetVertex(i)->Position());
  SubdivisionSqrt3Piecewise(mesh.get(), 40.0, 5.0, nullptr, 0);
  for (int i = 0; i < 4; i++) {
    EXPECT_EQ(mesh->GetVertex(i)->x, before[i].x);
    EXPECT_EQ(mesh->GetVertex(i)->y, before[i].y);
    EXPECT_EQ(mesh->GetVertex(i)->z, before[i].z);
  }
  // the six old edges are still edges (nothing flipped)
  for (int i = 0; i < 4; i++) EXPECT_EQ(mesh->GetVertex(i)->NbNeighbor(), 3 + 3) << i;
  EXPECT_EQ(mesh->NbFace(), 12);
}

TEST(SubdivisionSqrt3Piecewise, SplitsSharpEdgesBetweenCreaseVertices) {
  // a long square prism: the inner vertices of its four long edges bend on
  // exactly two face pairs (right angles), so the crease between them splits
  std::vector<double> xyz;
  const int rings = 4;
  for (int j = 0; j < rings; j++)
    for (int k = 0; k < 4; k++) {
      double a = M_PI * k / 2.0;
      xyz.insert(xyz.end(), {std::cos(a), std::sin(a), double(j)});
    }
  std::vector<int> triangles;
  for (int j = 0; j + 1 < rings; j++)
    for (int k = 0; k < 4; k++) {
      int a = j * 4 + k, b = j * 4 + (k + 1) % 4, c = a + 4, d = b + 4;
      triangles.insert(triangles.end(), {a, b, d, a, d, c});
    }
  const int top = 4 * (rings - 1);
  triangles.insert(triangles.end(),
                   {0, 3, 2, 0, 2, 1, top, top + 1, top + 2, top, top + 2, top + 3});
  MeshPtr mesh(MakeMesh(xyz, triangles));
  const int nv = mesh->NbVertex(), nf = mesh->NbFace();
  SubdivisionSqrt3Piecewise(mesh.get(), 50.0, 0.0, nullptr, 1);
  // the four middle crease segments got a midpoint each
  EXPECT_EQ(mesh->NbVertex(), nv + nf + 4);
  EXPECT_EQ(mesh->NbFace(), 3 * nf + 8);
  EXPECT_EQ(subdivisionchecks::MaxFacesOnEdge(*mesh), 2);
  ExpectLinksInPlace(*mesh, "prism");
}

TEST(SubdivisionSqrt3, MeshesThatAreNotCleanManifoldsNeverBreak) {
  struct Row {
    const char* name;
    std::function<CMesh3d*()> make;
  };
  const Row rows[] = {
      {"non-manifold fan", [] { return MakeNonManifoldFan(4); }},
      {"triangle soup",
       [] {
         MeshPtr sphere(MakeIcoSphere(1));
         CMesh3d* soup = MakeSoup(sphere.get());
         soup->Rebuild();
         return soup;
       }},
      // two triangles on the same corners: every flip would make an edge
      // that exists
      {"pillow",
       [] {
         return MakeMesh({0, 0, 0, 1, 0, 0, 0, 1, 0}, {0, 1, 2, 0, 2, 1});
       }},
      {"degenerate face",
       [] {
         return MakeMesh({0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, 0}, {0, 1, 2, 1, 3, 2, 1, 1, 3});
       }},
      {"single triangle",
       [] {
         return MakeMesh({0, 0, 0, 1, 0, 0, 0, 1, 0}, {0, 1, 2});
       }},
  };
  for (const Row& row : rows) {
    MeshPtr mesh(row.make());
    const int nf = mesh->NbFace();
    for (int step = 0; step < 2; step++) {
      SubdivisionSqrt3(mesh.get(), 1, 1, 0, nullptr, 0, 0.0f);
      mesh->Rebuild();
      SubdivisionSqrt3Piecewise(mesh.get(), 40.0, 0.0, nullptr, 1);
      mesh->Rebuild();
    }
    UndoSqrt3All(mesh.get());
    mesh->Rebuild();
    EXPECT_EQ(mesh->NbFace(), nf) << row.name;
  }
}

TEST(SubdivisionSqrt3, FlipIsSkippedWhenTheNewEdgeExists) {
  MeshPtr mesh(MakeMesh({0, 0, 0, 1, 0, 0, 0, 1, 0}, {0, 1, 2, 0, 2, 1}));
  mesh->GetFace(0)->m_Flag = 1;
  mesh->GetFace(1)->m_Flag = 0;
  SubdivisionSqrt3(mesh.get(), 1, 0, 1, nullptr, 0, 0.0f);
  EXPECT_EQ(mesh->NbFace(), 4);
  EXPECT_EQ(mesh->NbFaceWithFlag(kSqrt3Flipped), 0);
  EXPECT_EQ(subdivisionchecks::MaxFacesOnEdge(*mesh), 2);
}

TEST(SubdivisionSqrt3, RedrawsDuringTheStepOnlyWithAView) {
  struct Row {
    int flip;
    int minimum;
  };
  // split, then (with flipping) smoothing and ten times over the faces
  for (Row row : {Row{0, 1}, Row{1, 11}}) {
    MeshPtr mesh(MakeIcoSphere(1));
    int redraws = 0;
    SubdivisionSqrt3(
        mesh.get(), row.flip, 1, 0, [&] { redraws++; }, 0, 0.0f);
    EXPECT_GE(redraws, row.minimum) << "flip " << row.flip;
  }
}

TEST(FinishSqrt3Step, KeepsTheLinksOnlyWhereTheyWereThoseOfBuildAdjacency) {
  struct Row {
    const char* name;
    std::function<CMesh3d*()> make;
    bool kept;
  };
  const Row rows[] = {
      {"sphere", [] { return MakeIcoSphere(2); }, true},
      {"grid with holes", [] { return MakeGridWithHoles(6, 5, 2); }, true},
      {"non-manifold fan", [] { return MakeNonManifoldFan(3); }, false},
      {"adjacency never built",
       [] {
         return MakeMesh({0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, 0}, {0, 1, 2, 1, 3, 2}, false);
       },
       false},
      {"degenerate face",
       [] {
         return MakeMesh({0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, 0}, {0, 1, 2, 1, 3, 2, 1, 1, 3});
       },
       false},
  };
  for (const Row& row : rows) {
    MeshPtr mesh(row.make());
    bool kept = !row.kept;
    CSqrt3Options options;
    options.linksKept = &kept;
    SubdivisionSqrt3(mesh.get(), options);
    EXPECT_EQ(kept, row.kept) << row.name;
    FinishSqrt3Step(mesh.get(), kept);
    // finished either way: links as a fresh adjacency, normals current
    ExpectLinksInPlace(*mesh, row.name);
    for (int i = 0; i < mesh->NbFace(); i++) {
      CFace3d* f = mesh->GetFace(i);
      CVector3d n = f->m_Normal;
      f->CalculateNormal();
      EXPECT_NEAR((n - f->m_Normal).Length(), 0.0, 1e-12) << row.name << " face " << i;
    }
  }
}
