#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <utility>

#include "geometry/Mesh3d.h"
#include "tests/support/TestMeshes.h"

namespace {

using testmeshes::AddFace;
using testmeshes::AddVertex;

// Every face appears once in each corner's list, every neighbour pointer
// is reciprocal and shares the edge it sits on.
void ExpectConsistentClosedMesh(const CMesh3d& mesh) {
  for (int i = 0; i < mesh.NbFace(); i++) {
    CFace3d* f = mesh.GetFace(i);
    for (int k = 0; k < 3; k++) {
      CVertex3d* v = f->v(k);
      int listed = 0;
      for (CFace3d* g : v->m_ArrayFaceNeighbor) listed += g == f;
      EXPECT_EQ(listed, 1);
      CFace3d* g = f->f(k);
      ASSERT_NE(g, nullptr);
      EXPECT_TRUE(g->HasNeighbor(f));
      EXPECT_TRUE(g->HasVertex(f->v(k)) && g->HasVertex(f->v((k + 1) % 3)));
    }
  }
  for (int i = 0; i < mesh.NbVertex(); i++) {
    CVertex3d* v = mesh.GetVertex(i);
    EXPECT_EQ(v->NbNeighbor(), v->NbFace()); // closed manifold
  }
}

} // namespace

TEST(MeshAdjacency, TwoTrianglesSharingAnEdge) {
  CMesh3d mesh;
  CVertex3d* a = AddVertex(mesh, 0, 0, 0);
  CVertex3d* b = AddVertex(mesh, 1, 0, 0);
  CVertex3d* c = AddVertex(mesh, 1, 1, 0);
  CVertex3d* d = AddVertex(mesh, 0, 1, 0);
  CFace3d* f = AddFace(mesh, a, b, c);
  CFace3d* g = AddFace(mesh, a, c, d);
  EXPECT_EQ(mesh.BuildAdjacency(), 1);

  // shared edge (c, a) is f's edge 2 and g's edge 0
  EXPECT_EQ(f->f(0), nullptr);
  EXPECT_EQ(f->f(1), nullptr);
  EXPECT_EQ(f->f(2), g);
  EXPECT_EQ(g->f(0), f);
  EXPECT_EQ(g->f(1), nullptr);
  EXPECT_EQ(g->f(2), nullptr);
  EXPECT_EQ(a->NbNeighbor(), 3);
  EXPECT_EQ(c->NbNeighbor(), 3);
  EXPECT_EQ(b->NbNeighbor(), 2);
  EXPECT_EQ(d->NbNeighbor(), 2);

  // one-ring: faces in creation order, corners in face order
  ASSERT_EQ(a->NbNeighbor(), 3);
  EXPECT_EQ(a->GetNeighbor(0), b);
  EXPECT_EQ(a->GetNeighbor(1), c);
  EXPECT_EQ(a->GetNeighbor(2), d);
  ASSERT_EQ(c->NbNeighbor(), 3);
  EXPECT_EQ(c->GetNeighbor(0), a);
  EXPECT_EQ(c->GetNeighbor(1), b);
  EXPECT_EQ(c->GetNeighbor(2), d);

  // a second build gives the same lists, not doubled ones
  mesh.Rebuild();
  EXPECT_EQ(a->NbFace(), 2);
  EXPECT_EQ(a->NbNeighbor(), 3);
  EXPECT_EQ(f->f(2), g);
}

TEST(MeshAdjacency, NonManifoldEdgeFirstFaceWins) {
  CMesh3d mesh;
  CVertex3d* a = AddVertex(mesh, 0, 0, 0);
  CVertex3d* b = AddVertex(mesh, 1, 0, 0);
  CVertex3d* p = AddVertex(mesh, 0.5, 1, 0);
  CVertex3d* q = AddVertex(mesh, 0.5, -1, 0);
  CVertex3d* r = AddVertex(mesh, 0.5, 0, 1);
  CFace3d* f1 = AddFace(mesh, a, b, p);
  CFace3d* f2 = AddFace(mesh, a, b, q);
  CFace3d* f3 = AddFace(mesh, a, b, r);
  ASSERT_EQ(mesh.BuildAdjacency(), 1);
  EXPECT_EQ(f1->f(0), f2);
  EXPECT_EQ(f2->f(0), f1);
  EXPECT_EQ(f3->f(0), f1);
  EXPECT_EQ(a->NbFace(), 3);
  EXPECT_EQ(a->NbNeighbor(), 4);

  // a procedural fan of many blades builds without trouble
  std::unique_ptr<CMesh3d> fan(testmeshes::MakeNonManifoldFan(7));
  EXPECT_EQ(fan->GetVertex(0)->NbFace(), 7);
  EXPECT_EQ(fan->GetVertex(0)->NbNeighbor(), 8);
  EXPECT_EQ(fan->GetFace(3)->f(0), fan->GetFace(0));
}

TEST(MeshAdjacency, RefusesTinyMeshesAndSurvivesBadFaces) {
  // at most two vertices: nothing is touched
  CMesh3d tiny;
  CVertex3d* a = AddVertex(tiny, 0, 0, 0);
  CVertex3d* b = AddVertex(tiny, 1, 0, 0);
  CFace3d* f = AddFace(tiny, a, b, a);
  CFace3d marker;
  f->SetNeighbors(&marker, nullptr, nullptr);
  EXPECT_EQ(tiny.BuildAdjacency(), 0);
  EXPECT_EQ(f->f(0), &marker);
  EXPECT_EQ(a->NbFace(), 0);
  f->SetNeighbors(nullptr, nullptr, nullptr);

  // no faces
  CMesh3d empty;
  AddVertex(empty, 0, 0, 0);
  AddVertex(empty, 1, 0, 0);
  AddVertex(empty, 0, 1, 0);
  EXPECT_EQ(empty.BuildAdjacency(), 0);
  empty.Rebuild();

  // null corners and a degenerate face
  CMesh3d bad;
  CVertex3d* p = AddVertex(bad, 0, 0, 0);
  CVertex3d* q = AddVertex(bad, 1, 0, 0);
  CVertex3d* r = AddVertex(bad, 0, 1, 0);
  AddFace(bad, p, q, r);
  AddFace(bad, p, nullptr, r);
  AddFace(bad, nullptr, nullptr, nullptr);
  AddFace(bad, q, q, r);
  bad.Rebuild();
  EXPECT_EQ(p->NbFace(), 2);
  EXPECT_EQ(q->NbFace(), 2); // the degenerate face is listed once
  bad.BuildEdges(0);
  EXPECT_EQ(bad.NbEdge(), 3);
  bad.DeleteEdges();
}

TEST(MeshAdjacency, CornerOutsideTheVertexArray) {
  CVertex3d foreign(1, 1, 1);
  CMesh3d mesh;
  CVertex3d* a = AddVertex(mesh, 0, 0, 0);
  CVertex3d* b = AddVertex(mesh, 1, 0, 0);
  CVertex3d* c = AddVertex(mesh, 1, 1, 0);
  CVertex3d* d = AddVertex(mesh, 0, 1, 0);
  CFace3d* f = AddFace(mesh, a, b, c);
  CFace3d* g = AddFace(mesh, a, c, d);
  CFace3d* h = AddFace(mesh, b, &foreign, c);
  for (int pass = 0; pass < 2; pass++) {
    ASSERT_EQ(mesh.BuildAdjacency(), 1);
    EXPECT_EQ(f->f(1), h); // edge (b, c): h comes first in b's list
    EXPECT_EQ(f->f(2), g);
    EXPECT_EQ(g->f(0), f);
    EXPECT_EQ(h->f(2), f); // edge (c, b)
    EXPECT_EQ(foreign.NbFace(), 1);
    EXPECT_EQ(b->NbNeighbor(), 3);
    EXPECT_EQ(b->GetNeighbor(2), &foreign);
  }
}

TEST(MeshAdjacency, VertexFlagsSurviveAdjacencyAndEdges) {
  std::unique_ptr<CMesh3d> mesh(testmeshes::MakeIcoSphere(1));
  for (int i = 0; i < mesh->NbVertex(); i++) mesh->GetVertex(i)->m_Flag = 100 + i;
  mesh->Rebuild();
  mesh->BuildEdges(5);
  for (int i = 0; i < mesh->NbVertex(); i++) EXPECT_EQ(mesh->GetVertex(i)->m_Flag, 100 + i);
}

TEST(MeshAdjacency, ClosedSurfaceInvariants) {
  std::unique_ptr<CMesh3d> sphere(testmeshes::MakeIcoSphere(2));
  ExpectConsistentClosedMesh(*sphere);
  std::unique_ptr<CMesh3d> torus(testmeshes::MakeTorus(12, 8));
  ExpectConsistentClosedMesh(*torus);

  // Euler: E = V + F - 2 on a sphere, each edge created once
  sphere->BuildEdges(7);
  int nv = sphere->NbVertex(), nf = sphere->NbFace();
  EXPECT_EQ(sphere->NbEdge(), nv + nf - 2);
  std::set<std::pair<const CVertex3d*, const CVertex3d*>> seen;
  int incidences = 0;
  for (int i = 0; i < sphere->NbEdge(); i++) {
    const CEdge3d* e = sphere->GetEdge(i);
    EXPECT_EQ(e->m_Tag, 7);
    const CVertex3d* p = e->v1();
    const CVertex3d* q = e->v2();
    EXPECT_TRUE(seen.insert(p < q ? std::make_pair(p, q) : std::make_pair(q, p)).second);
  }
  for (int i = 0; i < nv; i++) {
    const CVertex3d* v = sphere->GetVertex(i);
    EXPECT_EQ(v->NbEdge(), v->NbNeighbor());
    incidences += v->NbEdge();
  }
  EXPECT_EQ(incidences, 2 * sphere->NbEdge());

  // rebuilding the edges replaces them
  sphere->BuildEdges(1);
  EXPECT_EQ(sphere->NbEdge(), nv + nf - 2);
  sphere->DeleteEdges();
  EXPECT_EQ(sphere->NbEdge(), 0);
  EXPECT_EQ(sphere->GetVertex(0)->NbEdge(), 0);

  // vertex normals of the unit sphere point outwards
  for (int i = 0; i < nv; i++) {
    const CVertex3d* v = sphere->GetVertex(i);
    EXPECT_GT(v->m_Normal * v->Position(), 0.95);
  }
}

TEST(MeshAdjacency, EdgeListFacesAndBoundary) {
  std::unique_ptr<CMesh3d> grid(testmeshes::MakeGrid(2, 1));
  CArray3d<CEdge3d> edges;
  int found = -1;
  grid->BuildEdgeList(edges, 1, 9, found);
  // 6 vertices, 4 faces: 9 edges; every vertex of a 2 x 1 grid is on the
  // boundary, so every edge is marked
  EXPECT_EQ(edges.GetSize(), 9);
  EXPECT_EQ(found, 1);
  int inner = 0;
  for (CEdge3d* e : edges) {
    EXPECT_EQ(e->m_Tag, 9);
    ASSERT_NE(e->m_pFace1, nullptr);
    EXPECT_TRUE(e->m_pFace1->HasVertex(e->v1()) && e->m_pFace1->HasVertex(e->v2()));
    if (e->m_pFace2) inner++;
    delete e;
  }
  EXPECT_EQ(inner, 3);
  EXPECT_EQ(grid->NbVertexWithFlag(1), grid->NbVertex());
  EXPECT_EQ(grid->NbEdge(), 0); // the mesh's own edges are untouched

  // a closed surface has no boundary edge to mark
  std::unique_ptr<CMesh3d> sphere(testmeshes::MakeIcoSphere(0));
  CArray3d<CEdge3d> closed;
  sphere->BuildEdgeList(closed, 1, 9, found);
  EXPECT_EQ(closed.GetSize(), 30);
  EXPECT_EQ(found, 0);
  for (CEdge3d* e : closed) {
    EXPECT_EQ(e->m_Tag, 0);
    EXPECT_NE(e->m_pFace2, nullptr);
    delete e;
  }
}

TEST(MeshAdjacency, VertexNormalOfOppositeFacesIsZero) {
  CMesh3d mesh;
  CVertex3d* a = AddVertex(mesh, 0, 0, 0);
  CVertex3d* b = AddVertex(mesh, 1, 0, 0);
  CVertex3d* c = AddVertex(mesh, 0, 1, 0);
  CVertex3d* lone = AddVertex(mesh, 5, 5, 5);
  lone->m_Normal.Set(0, 0, 3);
  AddFace(mesh, a, b, c);
  AddFace(mesh, a, c, b);
  mesh.Rebuild();
  EXPECT_DOUBLE_EQ(a->m_Normal.Length(), 0.0);
  EXPECT_DOUBLE_EQ(b->m_Normal.Length(), 0.0);
  EXPECT_DOUBLE_EQ(mesh.GetFace(0)->m_Normal.z, 1.0);
  // a vertex without faces keeps its normal
  EXPECT_DOUBLE_EQ(lone->m_Normal.z, 3.0);
}
