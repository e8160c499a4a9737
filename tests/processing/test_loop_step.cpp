#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "processing/LoopSubdivision.h"
#include "tests/processing/SubdivisionChecks.h"
#include "tests/support/TestMeshes.h"

using subdivisionchecks::MeshPtr;

namespace {

void ExpectAt(const CVertex3d* v, double x, double y, double z, double tol = 1e-9) {
  EXPECT_NEAR(v->x, x, tol);
  EXPECT_NEAR(v->y, y, tol);
  EXPECT_NEAR(v->z, z, tol);
}

bool FaceIs(const CMesh3d& mesh, int face, int a, int b, int c) {
  const CFace3d* f = mesh.GetFace(face);
  return f->v(0) == mesh.GetVertex(a) && f->v(1) == mesh.GetVertex(b) &&
         f->v(2) == mesh.GetVertex(c);
}

// Centre (0, 0, 1) over n ring vertices on the unit circle in z = 0.
MeshPtr Fan(int n) {
  std::vector<double> xyz = {0, 0, 1};
  std::vector<int> triangles;
  for (int k = 0; k < n; k++) {
    double a = 2.0 * PI_3D * k / n;
    xyz.insert(xyz.end(), {std::cos(a), std::sin(a), 0.0});
    triangles.insert(triangles.end(), {0, 1 + k, 1 + (k + 1) % n});
  }
  return MeshPtr(testmeshes::MakeMesh(xyz, triangles));
}

// Tetrahedron on the unit axes; every vertex has valence 3.
MeshPtr Tetrahedron() {
  return MeshPtr(testmeshes::MakeMesh({0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1},
                                      {0, 2, 1, 0, 1, 3, 0, 3, 2, 1, 2, 3}));
}

} // namespace

TEST(LoopAlpha, TellingValues) {
  EXPECT_NEAR(static_cast<double>(LoopAlpha(3)), 7.0 / 3.0, 1e-6);
  EXPECT_NEAR(static_cast<double>(LoopAlpha(4)), 4.258064, 1e-5);
  EXPECT_NEAR(static_cast<double>(LoopAlpha(5)), 6.891565, 1e-5);
  EXPECT_NEAR(static_cast<double>(LoopAlpha(6)), 10.0, 1e-5);
  EXPECT_NEAR(static_cast<double>(LoopAlpha(7)), 13.397789, 1e-5);
  EXPECT_NEAR(static_cast<double>(LoopAlpha(8)), 16.95769, 1e-4);
  // 2 pi is the single-precision constant: alpha(6) is not exactly 10
  EXPECT_NE(LoopAlpha(6), 10.0L);
  // no neighbours: the vertex keeps its place, no division by zero
  EXPECT_EQ(LoopAlpha(0), 0.0L);
  EXPECT_EQ(LoopAlpha(-2), 0.0L);
}

TEST(SubdivisionLoop, TetrahedronNumberingAndValence3Masks) {
  MeshPtr mesh = Tetrahedron();
  EXPECT_EQ(SubdivisionLoop(mesh.get()), 1);
  ASSERT_EQ(mesh->NbFace(), 16);
  ASSERT_EQ(mesh->NbVertex(), 10); // V + E

  // edge vertices numbered by face, edges 0, 1, 2, each shared edge once;
  // interior mask (3A + 3B + O + Q) / 8
  ExpectAt(mesh->GetVertex(4), 1 / 8.0, 3 / 8.0, 1 / 8.0); // edge 0-2 of face 0
  ExpectAt(mesh->GetVertex(5), 3 / 8.0, 3 / 8.0, 1 / 8.0); // edge 2-1
  ExpectAt(mesh->GetVertex(6), 3 / 8.0, 1 / 8.0, 1 / 8.0); // edge 1-0
  ExpectAt(mesh->GetVertex(7), 3 / 8.0, 1 / 8.0, 3 / 8.0); // edge 1-3 of face 1
  ExpectAt(mesh->GetVertex(8), 1 / 8.0, 1 / 8.0, 3 / 8.0); // edge 3-0
  ExpectAt(mesh->GetVertex(9), 1 / 8.0, 3 / 8.0, 3 / 8.0); // edge 3-2 of face 2

  // valence 3: 7/16 of itself and 3/16 of each neighbour
  ExpectAt(mesh->GetVertex(0), 3 / 16.0, 3 / 16.0, 3 / 16.0, 1e-7);
  ExpectAt(mesh->GetVertex(1), 7 / 16.0, 3 / 16.0, 3 / 16.0, 1e-7);

  // face 0 = (0, 2, 1) keeps its index as the corner at P0, its three other
  // faces appended in table order; face 1 follows
  EXPECT_TRUE(FaceIs(*mesh, 0, 0, 4, 6));
  EXPECT_TRUE(FaceIs(*mesh, 4, 4, 2, 5));
  EXPECT_TRUE(FaceIs(*mesh, 5, 4, 5, 6));
  EXPECT_TRUE(FaceIs(*mesh, 6, 6, 5, 1));
  EXPECT_TRUE(FaceIs(*mesh, 1, 0, 6, 8));
  EXPECT_TRUE(FaceIs(*mesh, 7, 6, 1, 7));
  EXPECT_TRUE(FaceIs(*mesh, 8, 6, 7, 8));
  EXPECT_TRUE(FaceIs(*mesh, 9, 8, 7, 3));

  EXPECT_TRUE(subdivisionchecks::ScratchCleared(*mesh));
  EXPECT_EQ(testmeshes::CountBoundaryEdges(mesh.get()), 0);
  EXPECT_EQ(mesh->NbVertexWithFlag(0), 10);
}

TEST(SubdivisionLoop, ClosedMeshCountsAndIndices) {
  MeshPtr mesh(testmeshes::MakeIcoSphere(1)); // 80 faces, 42 vertices, 120 edges
  std::vector<CVertex3d*> corner0;
  for (int i = 0; i < mesh->NbFace(); i++) corner0.push_back(mesh->GetFace(i)->v(0));
  std::vector<CVertex3d*> vertices(mesh->m_ArrayVertex.begin(), mesh->m_ArrayVertex.end());

  SubdivisionLoop(mesh.get());
  EXPECT_EQ(mesh->NbFace(), 320);
  EXPECT_EQ(mesh->NbVertex(), 162);
  for (size_t i = 0; i < vertices.size(); i++) EXPECT_EQ(mesh->GetVertex(int(i)), vertices[i]);
  for (size_t i = 0; i < corner0.size(); i++) EXPECT_EQ(mesh->GetFace(int(i))->v(0), corner0[i]);
  EXPECT_EQ(subdivisionchecks::MaxFacesOnEdge(*mesh), 2);
  EXPECT_EQ(testmeshes::CountBoundaryEdges(mesh.get()), 0);
}

TEST(SubdivisionLoop, SingleTriangleBoundaryRules) {
  MeshPtr mesh(testmeshes::MakeMesh({0, 0, 0, 1, 0, 0, 0, 1, 0}, {0, 1, 2}));
  SubdivisionLoop(mesh.get());
  ASSERT_EQ(mesh->NbFace(), 4);
  ASSERT_EQ(mesh->NbVertex(), 6);
  // boundary edges: midpoints
  ExpectAt(mesh->GetVertex(3), 0.5, 0.0, 0.0);
  ExpectAt(mesh->GetVertex(4), 0.5, 0.5, 0.0);
  ExpectAt(mesh->GetVertex(5), 0.0, 0.5, 0.0);
  // boundary vertices: (6v + b0 + b1) / 8, flagged 1
  ExpectAt(mesh->GetVertex(0), 1 / 8.0, 1 / 8.0, 0.0);
  ExpectAt(mesh->GetVertex(1), 6 / 8.0, 1 / 8.0, 0.0);
  ExpectAt(mesh->GetVertex(2), 1 / 8.0, 6 / 8.0, 0.0);
  EXPECT_EQ(mesh->GetVertex(0)->m_Flag, 1);
  EXPECT_TRUE(FaceIs(*mesh, 0, 0, 3, 5));
  EXPECT_TRUE(FaceIs(*mesh, 1, 3, 1, 4));
  EXPECT_TRUE(FaceIs(*mesh, 2, 3, 4, 5));
  EXPECT_TRUE(FaceIs(*mesh, 3, 5, 4, 2));
  EXPECT_EQ(testmeshes::CountBoundaryEdges(mesh.get()), 6);
}

TEST(SubdivisionLoop, InteriorEdgeBetweenBoundaryVertices) {
  // square split along the diagonal 0-2, both of whose ends are on the
  // boundary; vertex 1 is raised
  MeshPtr mesh(testmeshes::MakeMesh({0, 0, 0, 1, 0, 1, 1, 1, 0, 0, 1, 0}, {0, 1, 2, 0, 2, 3}));
  SubdivisionLoop(mesh.get());
  ASSERT_EQ(mesh->NbVertex(), 9);
  // face 0's edges: 0-1 (boundary), 1-2 (boundary), 2-0 (interior mask)
  ExpectAt(mesh->GetVertex(4), 0.5, 0.0, 0.5);
  ExpectAt(mesh->GetVertex(6), 0.5, 0.5, 1 / 8.0);
  // the diagonal does not count for the boundary rule: vertex 0 uses 1 and 3
  ExpectAt(mesh->GetVertex(0), 1 / 8.0, 1 / 8.0, 1 / 8.0);
  ExpectAt(mesh->GetVertex(2), 6 / 8.0 + 1 / 8.0, 6 / 8.0 + 1 / 8.0, 1 / 8.0);
}

TEST(SubdivisionLoop, RegularAndValence7InteriorVertices) {
  // valence 6: 5/8 of itself and 1/16 of each neighbour
  MeshPtr six = Fan(6);
  SubdivisionLoop(six.get());
  ExpectAt(six->GetVertex(0), 0.0, 0.0, 0.625, 1e-6);
  // ring vertex k = 1 on the boundary: (6 p1 + p0 + p2) / 8 (ring neighbours)
  double c1 = std::cos(2 * PI_3D / 6), s1 = std::sin(2 * PI_3D / 6);
  double c2 = std::cos(4 * PI_3D / 6), s2 = std::sin(4 * PI_3D / 6);
  ExpectAt(six->GetVertex(2), (6 * c1 + 1 + c2) / 8, (6 * s1 + s2) / 8, 0.0, 1e-12);

  // valence 7: centre weight alpha / (alpha + 7) with alpha(7) = 13.397789
  MeshPtr seven = Fan(7);
  SubdivisionLoop(seven.get());
  ExpectAt(seven->GetVertex(0), 0.0, 0.0, 13.397789 / 20.397789, 1e-6);
  // a spoke 0-k gets (3 (c + p_k) + p_(k-1) + p_(k+1)) / 8
  EXPECT_EQ(seven->NbFace(), 28);
}

TEST(SubdivisionLoop, NewVerticesAreSinglePrecision) {
  MeshPtr mesh(testmeshes::MakeMesh({0.1, 0.2, 0.3, 1.7, 0.1, 0.9, 0.3, 1.3, 0.7}, {0, 1, 2}));
  SubdivisionLoop(mesh.get());
  double mx = (0.1 + 1.7) / 2.0, my = (0.2 + 0.1) / 2.0, mz = (0.3 + 0.9) / 2.0;
  EXPECT_EQ(mesh->GetVertex(3)->x, static_cast<double>(static_cast<float>(mx)));
  EXPECT_EQ(mesh->GetVertex(3)->y, static_cast<double>(static_cast<float>(my)));
  EXPECT_EQ(mesh->GetVertex(3)->z, static_cast<double>(static_cast<float>(mz)));
  // moved old vertices keep double precision
  EXPECT_EQ(mesh->GetVertex(0)->x, (6 * 0.1 + 1.7 + 0.3) / 8.0);
}

TEST(SubdivisionLoop, InvalidFaceLeavesNoCrack) {
  // three blades on edge 0-1: the third is not its neighbour's neighbour
  // and fails IsValid, so it stays whole, and edge 0-1 stays whole for all
  MeshPtr fan(testmeshes::MakeNonManifoldFan(3));
  ASSERT_FALSE(fan->GetFace(2)->IsValid());
  SubdivisionLoop(fan.get());
  // blades 0 and 1: three faces each (two edges split); blade 2 unchanged
  EXPECT_EQ(fan->NbFace(), 3 + 2 + 2);
  EXPECT_EQ(fan->NbVertex(), 5 + 4);
  EXPECT_EQ(subdivisionchecks::EdgeFaceCounts(*fan).at({0, 1}), 3);
  // no T-junction: only the blades' outer edges are on the boundary
  EXPECT_EQ(testmeshes::CountBoundaryEdges(fan.get()), 4 + 4 + 2);
  EXPECT_TRUE(subdivisionchecks::ScratchCleared(*fan));
}

TEST(SubdivisionLoop, DegenerateInputDoesNotCrash) {
  MeshPtr empty(new CMesh3d);
  EXPECT_EQ(SubdivisionLoop(empty.get()), 1);
  EXPECT_EQ(empty->NbFace(), 0);

  // a face with a null corner and a face with a repeated corner stay whole
  MeshPtr mesh(testmeshes::MakeMesh({0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, 0}, {0, 1, 2, 1, 3, 2}));
  mesh->AddFace(new CFace3d(mesh->GetVertex(0), nullptr, mesh->GetVertex(3)));
  mesh->AddFace(new CFace3d(mesh->GetVertex(1), mesh->GetVertex(1), mesh->GetVertex(3)));
  mesh->Rebuild();
  SubdivisionLoop(mesh.get());
  // the first face into four, the second into three (its edge 1-3 is held
  // by the degenerate face), the broken faces unchanged
  EXPECT_EQ(mesh->NbFace(), 4 + 3 + 2);
  EXPECT_EQ(mesh->GetFace(2)->v(1), nullptr);

  // an isolated vertex stays where it is
  MeshPtr lone(testmeshes::MakeMesh({0, 0, 0, 1, 0, 0, 0, 1, 0, 5, 5, 5}, {0, 1, 2}));
  SubdivisionLoop(lone.get());
  ExpectAt(lone->GetVertex(3), 5, 5, 5);
}
