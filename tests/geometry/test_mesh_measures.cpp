#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "geometry/Mesh3d.h"
#include "tests/support/TestMeshes.h"

namespace {

std::unique_ptr<CMesh3d> Grid(int nx, int ny) {
  return std::unique_ptr<CMesh3d>(testmeshes::MakeGrid(nx, ny));
}

// Every neighbour pointer and every listed face is a face of the mesh.
void ExpectNoForeignFaces(const CMesh3d& mesh) {
  for (int i = 0; i < mesh.NbFace(); i++) {
    const CFace3d* f = mesh.GetFace(i);
    ASSERT_NE(f, nullptr);
    for (int k = 0; k < 3; k++) {
      if (f->f(k)) {
        EXPECT_GE(mesh.m_ArrayFace.Find(f->f(k)), 0);
      }
    }
  }
  for (int i = 0; i < mesh.NbVertex(); i++) {
    for (CFace3d* f : mesh.GetVertex(i)->m_ArrayFaceNeighbor)
      EXPECT_GE(mesh.m_ArrayFace.Find(f), 0);
  }
}

} // namespace

TEST(MeshMeasures, RangeMapping) {
  CMesh3d mesh;
  mesh.AddVertex(new CVertex3d(1, 3, 2));
  mesh.AddVertex(new CVertex3d(2, 4, 2));
  mesh.AddVertex(new CVertex3d(3, 5, 2));
  float min = 0, max = 0;
  mesh.Range(1, &min, &max);
  EXPECT_FLOAT_EQ(min, 3.0f);
  EXPECT_FLOAT_EQ(max, 5.0f);

  mesh.m_Modified = 0;
  mesh.Range(1, -0.2f, 0.2f);
  EXPECT_NEAR(mesh.GetVertex(0)->y, -0.2, 1e-6);
  EXPECT_NEAR(mesh.GetVertex(1)->y, 0.0, 1e-6);
  EXPECT_NEAR(mesh.GetVertex(2)->y, 0.2, 1e-6);
  EXPECT_EQ(mesh.m_Modified, 1);

  // a flat coordinate lands in the middle of the new range, no NaN
  mesh.Range(2, 1.0f, 3.0f);
  for (int i = 0; i < 3; i++) EXPECT_DOUBLE_EQ(mesh.GetVertex(i)->z, 2.0);
  mesh.Range(2, -1.0f, 1.0f);
  for (int i = 0; i < 3; i++) EXPECT_DOUBLE_EQ(mesh.GetVertex(i)->z, 0.0);

  // the saved positions are separate; empty meshes give 0, 0
  mesh.SavePositions();
  mesh.TranslateSaved(0, 10);
  mesh.ScaleSaved(0, 2);
  mesh.RangeSaved(0, &min, &max);
  EXPECT_FLOAT_EQ(min, 22.0f);
  EXPECT_FLOAT_EQ(max, 26.0f);
  mesh.Range(0, &min, &max);
  EXPECT_FLOAT_EQ(max, 3.0f);
  const CMesh3d empty;
  empty.Range(0, &min, &max);
  EXPECT_EQ(min, 0.0f);
  EXPECT_EQ(max, 0.0f);
  EXPECT_EQ(empty.BoundingDiagonal(), 0.0);
  EXPECT_EQ(empty.DisplacementDecibels(), 0.0);
}

TEST(MeshMeasures, DisplacementAndSwap) {
  CMesh3d mesh;
  mesh.AddVertex(new CVertex3d(0, 0, 0));
  mesh.AddVertex(new CVertex3d(1, 2, 2));
  EXPECT_DOUBLE_EQ(mesh.BoundingDiagonal(), 3.0);

  mesh.SavePositions();
  EXPECT_EQ(mesh.RmsDisplacement(), 0.0);
  EXPECT_EQ(mesh.DisplacementDecibels(), 0.0);
  EXPECT_EQ(mesh.DisplacementRatio(), 0.0);

  // move one vertex by 0.3: rms = sqrt(0.09 / 2)
  mesh.GetVertex(0)->z = 0.3;
  double rms = std::sqrt(0.09 / 2);
  EXPECT_NEAR(mesh.RmsDisplacement(), rms, 1e-12);
  double diagonal = mesh.BoundingDiagonal();
  EXPECT_NEAR(mesh.DisplacementRatio(), rms / diagonal, 1e-12);
  EXPECT_NEAR(mesh.DisplacementDecibels(), 20 * std::log10(diagonal / rms), 1e-9);

  // swapping exchanges and toggles; twice restores
  mesh.SwapPositions();
  EXPECT_EQ(mesh.m_PositionsSwapped, 1);
  EXPECT_EQ(mesh.GetVertex(0)->z, 0.0);
  EXPECT_EQ(mesh.GetVertex(0)->SavedPosition().z, 0.3);
  mesh.SwapPositions();
  EXPECT_EQ(mesh.m_PositionsSwapped, 0);
  EXPECT_EQ(mesh.GetVertex(0)->z, 0.3);
}

TEST(MeshMeasures, CopySkipsFacesWithForeignCorners) {
  std::unique_ptr<CMesh3d> source = Grid(2, 2);
  source->m_Transform.m_Translation.Set(1, 2, 3);
  source->SetColor(9, 9, 9);
  source->SetNormalBinding(0);
  source->SetFaceColors(CColor(1, 2, 3));
  for (int i = 0; i < source->NbVertex(); i++) source->GetVertex(i)->m_Flag = 40 + i;
  CVertex3d foreign(7, 7, 7);
  source->AddFace(new CFace3d(source->GetVertex(0), &foreign, source->GetVertex(1)));
  source->AddFace(new CFace3d(source->GetVertex(0), nullptr, source->GetVertex(1)));
  source->AddFace(new CFace3d(source->GetVertex(3), source->GetVertex(4), source->GetVertex(7)));

  CMesh3d copy;
  copy.AddVertex(new CVertex3d(5, 5, 5)); // replaced by the copy
  copy.Copy(source.get());
  EXPECT_EQ(copy.NbVertex(), source->NbVertex());
  ASSERT_EQ(copy.NbFace(), 8 + 1); // the last face keeps its place, compactly
  for (int i = 0; i < copy.NbFace(); i++) ASSERT_NE(copy.GetFace(i), nullptr);
  const CFace3d* last = copy.GetFace(8);
  EXPECT_EQ(last->v(0), copy.GetVertex(3));
  EXPECT_EQ(last->v(2), copy.GetVertex(7));
  for (int i = 0; i < source->NbVertex(); i++) {
    EXPECT_EQ(source->GetVertex(i)->m_Flag, 40 + i);
    EXPECT_EQ(copy.GetVertex(i)->x, source->GetVertex(i)->x);
    EXPECT_EQ(copy.GetVertex(i)->m_Flag, 0);
  }
  EXPECT_EQ(copy.m_Transform.m_Translation.z, 3.0);
  EXPECT_EQ(copy.m_Color.r, 0);
  EXPECT_EQ(copy.m_NormalBinding, 1);
  EXPECT_EQ(copy.GetFace(0)->m_Color.r, 255);
  EXPECT_EQ(copy.GetFace(0)->f(0), nullptr);
  EXPECT_EQ(copy.BuildAdjacency(), 1);
  ExpectNoForeignFaces(copy);

  // the source's stray faces go before the foreign vertex does
  source->SetFaceCount(8);
  EXPECT_EQ(source->NbFace(), 8);
}

TEST(MeshMeasures, SetFaceCountShrinksOnly) {
  std::unique_ptr<CMesh3d> sphere(testmeshes::MakeIcoSphere(1));
  sphere->SetFaceCount(500);
  EXPECT_EQ(sphere->NbFace(), 80);
  sphere->SetFaceCount(30);
  EXPECT_EQ(sphere->NbFace(), 30);
  EXPECT_EQ(sphere->m_Modified, 1);
  ExpectNoForeignFaces(*sphere);
  EXPECT_GT(testmeshes::CountBoundaryEdges(sphere.get()), 0);

  // down to nothing: no vertex keeps a deleted face
  sphere->SetFaceCount(-3);
  EXPECT_EQ(sphere->NbFace(), 0);
  for (int i = 0; i < sphere->NbVertex(); i++) EXPECT_EQ(sphere->GetVertex(i)->NbFace(), 0);

  // two vertices: the adjacency cannot be rebuilt, the links are cut anyway
  CMesh3d tiny;
  CVertex3d* a = new CVertex3d(0, 0, 0);
  CVertex3d* b = new CVertex3d(1, 0, 0);
  tiny.AddVertex(a);
  tiny.AddVertex(b);
  CFace3d* kept = new CFace3d(a, b, a);
  CFace3d* gone = new CFace3d(b, a, b);
  tiny.AddFace(kept);
  tiny.AddFace(gone);
  kept->SetNeighbors(gone, nullptr, gone);
  a->AddFace(kept);
  a->AddFace(gone);
  tiny.SetFaceCount(1);
  EXPECT_EQ(kept->f(0), nullptr);
  EXPECT_EQ(kept->f(2), nullptr);
  EXPECT_EQ(a->NbFace(), 1);
}

TEST(MeshMeasures, FloodLayersOnGrid) {
  std::unique_ptr<CMesh3d> grid = Grid(3, 3);
  grid->SetFlagOnVertices(-5);
  EXPECT_EQ(grid->FloodLayers(-1), 0);
  EXPECT_EQ(grid->FloodLayers(grid->NbVertex()), 0);
  EXPECT_EQ(grid->NbVertexWithFlag(-5), grid->NbVertex());

  // the diagonals run from (i, j) to (i + 1, j + 1): ring of (i, j) from
  // the corner is max(i, j) + 1
  EXPECT_EQ(grid->FloodLayers(0), 4);
  for (int j = 0; j <= 3; j++)
    for (int i = 0; i <= 3; i++) EXPECT_EQ(grid->GetVertex(j * 4 + i)->m_Flag, std::max(i, j) + 1);
  for (int j = 0; j < 3; j++)
    for (int i = 0; i < 3; i++) {
      EXPECT_EQ(grid->GetFace(2 * (j * 3 + i))->m_Flag, std::max(i, j) + 1);
      EXPECT_EQ(grid->GetFace(2 * (j * 3 + i) + 1)->m_Flag, std::max(i, j) + 1);
    }
  EXPECT_EQ(grid->MaxFaceFlag(), 3);
}

TEST(MeshMeasures, NearestPointAndProjection) {
  std::unique_ptr<CMesh3d> target = Grid(4, 4);
  CVector3d point;
  CFace3d* face = nullptr;
  double d = target->NearestPoint(CVector3d(0.5, 0.3, 2), point, face);
  EXPECT_NEAR(d, 4.0, 1e-9);
  EXPECT_NEAR(point.x, 0.5, 1e-9);
  EXPECT_NEAR(point.y, 0.3, 1e-9);
  EXPECT_NEAR(point.z, 0.0, 1e-9);
  EXPECT_EQ(face, target->GetFace(0)); // triangle (0,0) (1,0) (1,1) of the first quad
  CMesh3d empty;
  EXPECT_EQ(empty.NearestPoint(CVector3d(0, 0, 0), point, face), 1.7e308);
  EXPECT_EQ(face, nullptr);

  // a smaller grid floating above: inner vertices drop straight down,
  // boundary vertices go to the target's border
  std::unique_ptr<CMesh3d> source = Grid(2, 2);
  for (int i = 0; i < source->NbVertex(); i++) {
    CVertex3d* v = source->GetVertex(i);
    v->Set(0.5 + 1.5 * v->x, 0.5 + 1.5 * v->y, 1.0);
  }
  EXPECT_EQ(source->ProjectOnto(nullptr), 0);
  EXPECT_EQ(source->ProjectOnto(source.get()), 0);
  EXPECT_EQ(source->ProjectOnto(target.get()), 1);
  const CVertex3d* inner = source->GetVertex(4);
  EXPECT_NEAR(inner->x, 2.0, 1e-9);
  EXPECT_NEAR(inner->y, 2.0, 1e-9);
  EXPECT_NEAR(inner->z, 0.0, 1e-9);
  const CVertex3d* side = source->GetVertex(3); // was (0.5, 2, 1)
  EXPECT_NEAR(side->x, 0.0, 1e-9);
  EXPECT_NEAR(side->y, 2.0, 1e-9);
  EXPECT_NEAR(side->z, 0.0, 1e-9);

  // a closed target has no boundary: every vertex goes to the surface
  std::unique_ptr<CMesh3d> big(testmeshes::MakeIcoSphere(1));
  std::unique_ptr<CMesh3d> unit(testmeshes::MakeIcoSphere(2));
  for (int c = 0; c < 3; c++) big->Scale(c, 2.0);
  big->ProjectOnto(unit.get());
  for (int i = 0; i < big->NbVertex(); i++) {
    double r = big->GetVertex(i)->Position().Length();
    EXPECT_LE(r, 1.0 + 1e-9);
    EXPECT_GT(r, 0.9);
  }
}

TEST(MeshMeasures, QueriesOverFlags) {
  std::unique_ptr<CMesh3d> grid = Grid(1, 1);
  double mean = (2.0 * (2.0 + std::sqrt(2.0)) / 3.0 + 2.0) / 4.0;
  EXPECT_NEAR(grid->MeanEdgeLength(), mean, 1e-12);
  EXPECT_EQ(CMesh3d().MeanEdgeLength(), 0.0);
  EXPECT_EQ(grid->HasBoundary(), 1);
  std::unique_ptr<CMesh3d> sphere(testmeshes::MakeIcoSphere(0));
  EXPECT_EQ(sphere->HasBoundary(), 0);

  // vertices 1 = (1, 0) and 3 = (1, 1) flagged 3, vertex 2 = (0, 1) flagged 8
  EXPECT_EQ(grid->SetFlagOnVertices(0), 4);
  grid->GetVertex(1)->m_Flag = 3;
  grid->GetVertex(3)->m_Flag = 3;
  grid->GetVertex(2)->m_Flag = 8;
  EXPECT_EQ(grid->NbVertexWithFlag(3), 2);
  EXPECT_EQ(grid->FirstVertexWithFlag(3), grid->GetVertex(1));
  EXPECT_EQ(grid->FirstVertexWithFlag(9), nullptr);
  // 1 and 3 are both flag 3 and neighbours of each other: the last wins
  EXPECT_EQ(grid->VertexWithFlagPreferEnd(3), grid->GetVertex(3));
  int found = 0;
  EXPECT_EQ(grid->SmallestVertexFlagExcept(0, found), 3);
  EXPECT_EQ(found, 1);
  grid->SetFlagOnVertices(2);
  EXPECT_EQ(grid->AnyVertexFlagDiffers(2), 0);
  grid->SmallestVertexFlagExcept(2, found);
  EXPECT_EQ(found, 0);
  EXPECT_EQ(grid->SetFlagOnFaces(6), 2);
  EXPECT_EQ(grid->NbFaceWithFlag(6), 2);
  grid->ClearVertexHistoryAndFaceFlags();
  EXPECT_EQ(grid->NbFaceWithFlag(0), 2);
  grid->SetTagBOnVerticesAndTagOnFaces(4);
  EXPECT_EQ(grid->NbVertexWithTagB(4), 4);
  EXPECT_EQ(grid->GetFace(1)->GetTag(), 4);
}

TEST(MeshMeasures, DrawingGuardsNeedNoContext) {
  // a hidden mesh draws nothing; an empty one builds no list
  std::unique_ptr<CMesh3d> grid = Grid(1, 1);
  grid->Show(0);
  EXPECT_EQ(grid->glDraw(), 0);
  CMesh3d empty;
  EXPECT_EQ(empty.glBuildList(), 0);
  EXPECT_EQ(empty.m_GlList.List(), 0u);
}
