// Undo of sqrt(3) steps, the face selections that drive adaptive steps, and
// history that never outlives the elements it names.

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "processing/LoopSubdivision.h"
#include "processing/Sqrt3Subdivision.h"
#include "tests/processing/SubdivisionChecks.h"
#include "tests/support/TestMeshes.h"

using subdivisionchecks::MeshPtr;
using namespace testmeshes;

namespace {

struct Snapshot {
  std::vector<const CVertex3d*> vertices;
  std::vector<float> positions;
  std::vector<std::array<const CVertex3d*, 3>> faces;
};

Snapshot Take(const CMesh3d& mesh) {
  Snapshot s;
  for (int i = 0; i < mesh.NbVertex(); i++) {
    const CVertex3d* v = mesh.GetVertex(i);
    s.vertices.push_back(v);
    s.positions.insert(s.positions.end(), {float(v->x), float(v->y), float(v->z)});
  }
  for (int i = 0; i < mesh.NbFace(); i++) {
    const CFace3d* f = mesh.GetFace(i);
    s.faces.push_back({f->m_pVertex[0], f->m_pVertex[1], f->m_pVertex[2]});
  }
  return s;
}

void ExpectSame(const Snapshot& a, const Snapshot& b, const char* what) {
  EXPECT_EQ(a.vertices, b.vertices) << what;
  EXPECT_EQ(a.positions, b.positions) << what;
  EXPECT_EQ(a.faces, b.faces) << what;
}

using Step = std::function<void(CMesh3d*)>;

void Uniform(CMesh3d* m) {
  SubdivisionSqrt3(m, 1, 1, 0, nullptr, 0, 0.0f);
  m->Rebuild();
}
void Alone(CMesh3d* m) {
  SubdivisionSqrt3(m, 0, 1, 0, nullptr, 0, 0.0f);
  m->Rebuild();
}
void NearSeed(CMesh3d* m) {
  FlagNearSeed(m, 0, 1, 0.3);
  SubdivisionSqrt3(m, 1, 1, 1, nullptr, 0, 0.0f);
  m->Rebuild();
}
void Piecewise(CMesh3d* m) {
  SubdivisionSqrt3Piecewise(m, 40.0, 5.0, nullptr, 1);
  m->Rebuild();
}
// Adaptive without flipping on one face at a time: the old vertices around
// them are smoothed in more steps than any face records.
void OneFaceAlone(CMesh3d* m) {
  static int next = 0;
  m->SetFlagOnFaces(0);
  m->GetFace((next++ * 7) % m->NbFace())->m_Flag = 1;
  SubdivisionSqrt3(m, 0, 1, 1, nullptr, 0, 0.0f);
  m->Rebuild();
}

} // namespace

TEST(UndoSqrt3All, RestoresFacesExactlyAndPositionsToSinglePrecision) {
  struct Row {
    const char* name;
    std::function<CMesh3d*()> make;
    std::vector<Step> steps;
  };
  const Row rows[] = {
      {"two uniform steps", [] { return MakeIcoSphere(1); }, {Uniform, Uniform}},
      {"alone then flip", [] { return MakeTorus(8, 6); }, {Alone, Uniform}},
      {"adaptive near a seed", [] { return MakeIcoSphere(2); }, {NearSeed, NearSeed, Uniform}},
      {"piecewise and adaptive", [] { return MakeTorus(6, 4); }, {Piecewise, NearSeed, Piecewise}},
      {"open grid", [] { return MakeGridWithHoles(6, 5, 2); }, {Uniform, NearSeed}},
      {"smoothed more often than split",
       [] { return MakeIcoSphere(1); },
       {OneFaceAlone, OneFaceAlone, OneFaceAlone, OneFaceAlone}},
  };
  for (const Row& row : rows) {
    MeshPtr mesh(row.make());
    Snapshot before = Take(*mesh);
    for (const Step& step : row.steps) step(mesh.get());
    ASSERT_TRUE(HasSqrt3History(mesh.get())) << row.name;
    UndoSqrt3All(mesh.get());
    mesh->Rebuild();
    EXPECT_FALSE(HasSqrt3History(mesh.get())) << row.name;
    ExpectSame(before, Take(*mesh), row.name);
  }
}

TEST(UndoSqrt3Level, LevelByLevelEndsWhereRecursiveUndoDoes) {
  MeshPtr mesh(MakeIcoSphere(1));
  Snapshot before = Take(*mesh);
  Uniform(mesh.get());
  Uniform(mesh.get());
  int levels = 0;
  while (HasSqrt3History(mesh.get()) && levels < 100) {
    UndoSqrt3Level(mesh.get());
    levels++;
  }
  // a split-and-flip step leaves two records on a face
  EXPECT_GE(levels, 2);
  mesh->RemoveUnusedVertices();
  mesh->Rebuild();
  ExpectSame(before, Take(*mesh), "level by level");
}

TEST(Sqrt3History, OperationsThatRewriteOrDeleteDropItFirst) {
  struct Row {
    const char* name;
    std::function<void(CMesh3d*)> operation;
  };
  const Row rows[] = {
      {"weld", [](CMesh3d* m) { m->Weld(); }},
      {"cleanup", [](CMesh3d* m) { m->Cleanup(); }},
      {"face deletion",
       [](CMesh3d* m) {
         m->SetFlagOnFaces(0);
         m->GetFace(3)->m_Flag = 7;
         m->DeleteFacesWithFlag(7);
       }},
      {"vertex deletion", [](CMesh3d* m) { m->DeleteVertexAt(m->NbVertex() - 1); }},
      {"edge collapse",
       [](CMesh3d* m) {
         CVertex3d* p = m->GetVertex(0);
         m->CollapseEdge(p, p->GetNeighbor(0), p->Position(), nullptr, 1);
       }},
      {"Loop step", [](CMesh3d* m) { SubdivisionLoop(m); }},
      {"1-to-4 split", [](CMesh3d* m) { Subdivision1To4(m); }},
      {"Loop adaptive",
       [](CMesh3d* m) {
         m->SetFlagOnFaces(1);
         SubdivisionAdaptive(m, 1);
       }},
      {"fractal", [](CMesh3d* m) { SubdivisionFractal(m); }},
  };
  for (const Row& row : rows) {
    MeshPtr mesh(MakeIcoSphere(1));
    Uniform(mesh.get());
    row.operation(mesh.get());
    mesh->Rebuild();
    EXPECT_FALSE(HasSqrt3History(mesh.get())) << row.name;
    // an undo afterwards pops nothing and changes nothing (nor reads a
    // freed element)
    Snapshot after = Take(*mesh);
    EXPECT_EQ(mesh->UndoHistory(), 0) << row.name;
    ExpectSame(after, Take(*mesh), row.name);
  }
}

TEST(FlagLargeFaces, FlagsFacesLargerThanTheirSmallestNeighbourButNeverNextToZeroArea) {
  struct Row {
    const char* name;
    std::function<CMesh3d*()> make;
    double ratio;
    int flagged; // -1: every face
  };
  const Row rows[] = {
      {"equal faces, ratio 1", [] { return MakeGrid(4, 4); }, 1.0, 0},
      {"equal faces, ratio 0.5", [] { return MakeGrid(4, 4); }, 0.5, -1},
      // face 0 (area 1/2) next to a collinear face: its smallest area is 0
      {"next to a zero area",
       [] {
         return MakeMesh({0, 0, 0, 1, 0, 0, 0, 1, 0, 2, 0, 0}, {0, 1, 2, 0, 3, 1});
       },
       1.0, 0},
      // a big face between small ones
      {"one big face",
       [] {
         return MakeMesh({0, 0, 0, 1, 0, 0, 0, 1, 0, 10, 10, 0, -1, -1, 0},
                         {0, 1, 2, 1, 3, 2, 0, 4, 1});
       },
       5.0, 1},
  };
  for (const Row& row : rows) {
    MeshPtr mesh(row.make());
    mesh->SetFlagOnFaces(0);
    int n = FlagLargeFaces(mesh.get(), row.ratio, 4);
    EXPECT_EQ(n, row.flagged < 0 ? mesh->NbFace() : row.flagged) << row.name;
    EXPECT_EQ(mesh->NbFaceWithFlag(4), n) << row.name;
  }
}

TEST(FlagNearSeed, FlagsFacesWithinTheRadiusAndRefusesASeedOutOfRange) {
  MeshPtr mesh(MakeGrid(10, 10));
  EXPECT_EQ(FlagNearSeed(mesh.get(), 0, 3, 2.0), mesh->NbFace());
  int some = FlagNearSeed(mesh.get(), 0, 3, 0.2);
  EXPECT_GT(some, 0);
  EXPECT_LT(some, mesh->NbFace());
  EXPECT_EQ(mesh->NbFaceWithFlag(3), some);
  EXPECT_EQ(mesh->NbFaceWithFlag(0), mesh->NbFace() - some);
  for (int seed : {-1, mesh->NbVertex(), 1 << 30}) {
    EXPECT_EQ(FlagNearSeed(mesh.get(), seed, 5, 1.0), -1);
    EXPECT_EQ(mesh->NbFaceWithFlag(5), 0);
  }
}
