#include <gtest/gtest.h>

#include <cmath>

#include "geometry/Random15.h"
#include "processing/LoopSubdivision.h"
#include "tests/processing/SubdivisionChecks.h"
#include "tests/support/TestMeshes.h"

using subdivisionchecks::MeshPtr;

namespace {

MeshPtr Tetrahedron() {
  return MeshPtr(testmeshes::MakeMesh({0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1},
                                      {0, 2, 1, 0, 1, 3, 0, 3, 2, 1, 2, 3}));
}

bool FaceIs(const CMesh3d& mesh, int face, int a, int b, int c) {
  const CFace3d* f = mesh.GetFace(face);
  return f->v(0) == mesh.GetVertex(a) && f->v(1) == mesh.GetVertex(b) &&
         f->v(2) == mesh.GetVertex(c);
}

// Boundary edges once the mesh is taken apart into a soup and welded back:
// every T-junction shows up as boundary edges.
int BoundaryEdgesAfterWeld(const CMesh3d& mesh) {
  MeshPtr soup(testmeshes::MakeSoup(&mesh));
  soup->Weld();
  soup->Rebuild();
  return testmeshes::CountBoundaryEdges(soup.get());
}

// True when some boundary edge has a vertex of the mesh at its midpoint: the
// signature of a T-junction left by midpoint refinement.
bool HasTJunction(const CMesh3d& mesh) {
  for (int i = 0; i < mesh.NbFace(); i++)
    for (int k = 0; k < 3; k++) {
      const CFace3d* f = mesh.GetFace(i);
      if (f->f(k)) continue;
      const CVertex3d* a = f->v(k);
      const CVertex3d* b = f->v((k + 1) % 3);
      for (int j = 0; j < mesh.NbVertex(); j++) {
        const CVertex3d* m = mesh.GetVertex(j);
        if (std::fabs(m->x - (a->x + b->x) / 2) < 1e-6 &&
            std::fabs(m->y - (a->y + b->y) / 2) < 1e-6 &&
            std::fabs(m->z - (a->z + b->z) / 2) < 1e-6)
          return true;
      }
    }
  return false;
}

} // namespace

TEST(Subdivision1To4, MidpointsOnlyAndFlagsUntouched) {
  MeshPtr mesh = Tetrahedron();
  mesh->SetFlagOnVertices(7);
  Subdivision1To4(mesh.get());
  ASSERT_EQ(mesh->NbFace(), 16);
  ASSERT_EQ(mesh->NbVertex(), 10);
  EXPECT_EQ(mesh->GetVertex(1)->x, 1.0); // old vertices stay
  EXPECT_EQ(mesh->GetVertex(4)->y, 0.5); // edge 0-2
  EXPECT_EQ(mesh->GetVertex(9)->y, 0.5); // edge 3-2
  EXPECT_EQ(mesh->GetVertex(9)->z, 0.5);
  EXPECT_EQ(mesh->NbVertexWithFlag(7), 4);
  EXPECT_TRUE(FaceIs(*mesh, 0, 0, 4, 6));
  EXPECT_TRUE(FaceIs(*mesh, 5, 4, 5, 6));
  EXPECT_TRUE(subdivisionchecks::ScratchCleared(*mesh));
  EXPECT_EQ(BoundaryEdgesAfterWeld(*mesh), 0);
}

TEST(SubdivisionAdaptive, OneFlaggedFaceOnATetrahedron) {
  // nothing flagged: no face changes, normals are rebuilt all the same
  MeshPtr none = Tetrahedron();
  none->GetFace(0)->m_Normal.Set(0, 0, 0);
  SubdivisionAdaptive(none.get(), 1);
  EXPECT_EQ(none->NbFace(), 4);
  EXPECT_EQ(none->NbVertex(), 4);
  EXPECT_NEAR(none->GetFace(0)->m_Normal.z, -1.0, 1e-9);

  // the first face: its neighbours come later, it gives four, each of them two
  MeshPtr first = Tetrahedron();
  first->GetFace(0)->m_Flag = 1;
  SubdivisionAdaptive(first.get(), 1);
  EXPECT_EQ(first->NbFace(), 10);
  EXPECT_EQ(first->NbVertex(), 7);
  EXPECT_TRUE(FaceIs(*first, 1, 0, 6, 3)); // S0 only: (P0, S0, P2) and (S0, P1, P2)
  EXPECT_TRUE(FaceIs(*first, 7, 6, 1, 3));
  EXPECT_EQ(first->GetVertex(4)->y, 0.5);

  // the second face: the edge shared with the earlier face 0 stays whole
  MeshPtr second = Tetrahedron();
  second->GetFace(1)->m_Flag = 1;
  SubdivisionAdaptive(second.get(), 1);
  EXPECT_EQ(second->NbFace(), 8);
  EXPECT_EQ(second->NbVertex(), 6);
  EXPECT_TRUE(FaceIs(*second, 1, 0, 1, 5)); // S1 and S2: (P0, P1, S2)

  // the last face: every neighbour came first, nothing is split
  MeshPtr last = Tetrahedron();
  last->GetFace(3)->m_Flag = 1;
  SubdivisionAdaptive(last.get(), 1);
  EXPECT_EQ(last->NbFace(), 4);

  for (CMesh3d* mesh : {none.get(), first.get(), second.get(), last.get()}) {
    EXPECT_EQ(subdivisionchecks::MaxFacesOnEdge(*mesh), 2);
    EXPECT_EQ(testmeshes::CountBoundaryEdges(mesh), 0);
    EXPECT_TRUE(subdivisionchecks::ScratchCleared(*mesh));
  }
}

TEST(SubdivisionAdaptive, RandomSelectionsStayCrackFree) {
  CRandom15 random(7);
  MeshPtr torus(testmeshes::MakeTorus(12, 8));
  MeshPtr holes(testmeshes::MakeGridWithHoles(8, 8, 3));
  int holesBoundary = testmeshes::CountBoundaryEdges(holes.get());
  for (int round = 0; round < 3; round++)
    for (CMesh3d* mesh : {torus.get(), holes.get()}) {
      int before = mesh->NbFace();
      for (int i = 0; i < mesh->NbFace(); i++)
        mesh->GetFace(i)->m_Flag = random.Next() < 8000 ? 1 : 0;
      SubdivisionAdaptive(mesh, 1);
      EXPECT_GT(mesh->NbFace(), before);
      EXPECT_EQ(subdivisionchecks::MaxFacesOnEdge(*mesh), 2);
      EXPECT_FALSE(HasTJunction(*mesh));
      EXPECT_TRUE(subdivisionchecks::ScratchCleared(*mesh));
    }
  EXPECT_EQ(testmeshes::CountBoundaryEdges(torus.get()), 0);
  EXPECT_EQ(BoundaryEdgesAfterWeld(*torus), 0);
  EXPECT_GT(testmeshes::CountBoundaryEdges(holes.get()), holesBoundary);
}

TEST(SubdivisionAdaptive, BoundaryFaceAndBrokenNeighbor) {
  // a flagged face on the boundary splits its boundary edges at midpoints
  MeshPtr grid(testmeshes::MakeGrid(3, 3));
  int boundary = testmeshes::CountBoundaryEdges(grid.get());
  CFace3d* face = grid->GetFace(0);
  int open = 3 - face->NbNeighbor();
  ASSERT_GT(open, 0);
  face->m_Flag = 1;
  SubdivisionAdaptive(grid.get(), 1);
  EXPECT_EQ(testmeshes::CountBoundaryEdges(grid.get()), boundary + open);
  EXPECT_FALSE(HasTJunction(*grid));

  // a neighbour with a null corner keeps the common edge whole
  MeshPtr pair(testmeshes::MakeMesh({0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, 0}, {0, 1, 2, 2, 1, 3}));
  pair->GetFace(1)->SetVertex(2, nullptr);
  pair->GetFace(0)->m_Flag = 1;
  SubdivisionAdaptive(pair.get(), 1);
  EXPECT_EQ(pair->NbFace(), 2 + 2);
  EXPECT_EQ(pair->NbVertex(), 6);
}

TEST(SubdivisionFractal, PyramidOverEachFace) {
  // equilateral face of side 1: apex 0.25 above the centre
  double h = std::sqrt(3.0) / 2;
  MeshPtr tri(testmeshes::MakeMesh({0, 0, 0, 1, 0, 0, 0.5, h, 0}, {0, 1, 2}));
  SubdivisionFractal(tri.get());
  ASSERT_EQ(tri->NbFace(), 6);
  ASSERT_EQ(tri->NbVertex(), 7);
  const CVertex3d* apex = tri->GetVertex(6);
  EXPECT_EQ(apex->z, 0.25);
  EXPECT_EQ(apex->x, 0.5);
  EXPECT_EQ(apex->y, static_cast<double>(static_cast<float>(h / 3)));
  EXPECT_TRUE(FaceIs(*tri, 0, 0, 3, 5));
  EXPECT_TRUE(FaceIs(*tri, 1, 3, 1, 4));
  EXPECT_TRUE(FaceIs(*tri, 2, 5, 4, 2));
  EXPECT_TRUE(FaceIs(*tri, 3, 3, 4, 6));
  EXPECT_TRUE(FaceIs(*tri, 4, 6, 4, 5));
  EXPECT_TRUE(FaceIs(*tri, 5, 5, 3, 6));

  // closed mesh: 6F faces, V + E + F vertices, still closed
  MeshPtr tetra = Tetrahedron();
  SubdivisionFractal(tetra.get());
  EXPECT_EQ(tetra->NbFace(), 24);
  EXPECT_EQ(tetra->NbVertex(), 14);
  EXPECT_EQ(subdivisionchecks::MaxFacesOnEdge(*tetra), 2);
  EXPECT_EQ(testmeshes::CountBoundaryEdges(tetra.get()), 0);
  EXPECT_TRUE(subdivisionchecks::ScratchCleared(*tetra));
}
