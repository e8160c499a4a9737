#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <utility>
#include <vector>

#include "geometry/Mesh3d.h"
#include "tests/support/MeshChecks.h"
#include "tests/support/TestMeshes.h"

namespace {

using MeshPtr = std::unique_ptr<CMesh3d>;

using meshchecks::Euler;
using meshchecks::ExpectConsistentAdjacency;
using meshchecks::ExpectNoStaleReferences;
using testmeshes::AddFace;
using testmeshes::AddVertex;

// Mesh from coordinates and index triples, adjacency built.
MeshPtr MakeMesh(const std::vector<double>& xyz, const std::vector<int>& triangles) {
  return MeshPtr(testmeshes::MakeMesh(xyz, triangles));
}

// Octahedron with face 0 split around a raised centre vertex (index 6), which
// is interior with valence 3.
MeshPtr MakeOctahedronWithApex() {
  std::vector<double> xyz = {1, 0, 0, -1, 0, 0, 0,  1,   0,   0,  -1,
                             0, 0, 0, 1,  0, 0, -1, 0.6, 0.6, 0.6};
  std::vector<int> tri = {6, 2, 4, 6, 4, 0, 6, 0, 2, // the apex fan over (0, 2, 4)
                          1, 4, 2, 0, 4, 3, 1, 3, 4, 0, 5, 2, 1, 2, 5, 0, 3, 5, 1, 5, 3};
  return MakeMesh(xyz, tri);
}

} // namespace

//////////////////////////////////////////////////////////////////////
// Weld and duplicates
//////////////////////////////////////////////////////////////////////

TEST(MeshWeld, MergesCoincidentVerticesKeepingTheFirstAndTheOrder) {
  // two triangles whose shared edge is stored as four distinct vertices
  CMesh3d mesh;
  CVertex3d* a = AddVertex(mesh, 0, 0, 0);
  CVertex3d* b = AddVertex(mesh, 1, 0, 0);
  CVertex3d* c = AddVertex(mesh, 1, 1, 0);
  CVertex3d* a2 = AddVertex(mesh, 0, 0, 0);
  CVertex3d* c2 = AddVertex(mesh, 1, 1, 0);
  CVertex3d* d = AddVertex(mesh, 0, 1, 0);
  CFace3d* f = AddFace(mesh, a, b, c);
  CFace3d* g = AddFace(mesh, a2, c2, d);
  (void)a2;
  (void)c2;
  EXPECT_EQ(mesh.Weld(), 2);
  ASSERT_EQ(mesh.NbVertex(), 4);
  EXPECT_EQ(mesh.GetVertex(0), a);
  EXPECT_EQ(mesh.GetVertex(1), b);
  EXPECT_EQ(mesh.GetVertex(2), c);
  EXPECT_EQ(mesh.GetVertex(3), d);
  EXPECT_TRUE(g->HasVertices(a, c, d));
  mesh.Rebuild();
  EXPECT_EQ(f->NbNeighbor() + g->NbNeighbor(), 2);
  EXPECT_EQ(testmeshes::CountBoundaryEdges(&mesh), 4);

  // -0.0 equals 0.0; NaN equals nothing, not even itself
  CMesh3d signs;
  CVertex3d* p = AddVertex(signs, 0.0, -0.0, 1);
  CVertex3d* q = AddVertex(signs, -0.0, 0.0, 1);
  CVertex3d* n1 = AddVertex(signs, NAN, 0, 0);
  CVertex3d* n2 = AddVertex(signs, NAN, 0, 0);
  CVertex3d* r = AddVertex(signs, 2, 0, 0);
  AddFace(signs, p, n1, r);
  AddFace(signs, q, n2, r);
  EXPECT_EQ(signs.Weld(), 1);
  ASSERT_EQ(signs.NbVertex(), 4);
  EXPECT_EQ(signs.GetVertex(0), p);
  EXPECT_EQ(signs.GetVertex(1), n1);
  EXPECT_EQ(signs.GetVertex(2), n2);
  EXPECT_TRUE(signs.GetFace(1)->HasVertex(p));
}

TEST(MeshWeld, SoupOfAClosedSphereWeldsBackToIt) {
  MeshPtr sphere(testmeshes::MakeIcoSphere(2));
  MeshPtr soup(testmeshes::MakeSoup(sphere.get()));
  ASSERT_EQ(soup->NbVertex(), 3 * sphere->NbFace());
  soup->Weld();
  soup->Rebuild();
  EXPECT_EQ(soup->NbVertex(), sphere->NbVertex());
  EXPECT_EQ(testmeshes::CountBoundaryEdges(soup.get()), 0);
  EXPECT_EQ(Euler(*soup), 2);
  ExpectConsistentAdjacency(*soup);

  // the survivors come in the order of their first use by the faces
  for (int i = 1; i < soup->NbFace(); i++) {
    const CFace3d* f = soup->GetFace(i);
    for (int k = 0; k < 3; k++) EXPECT_GE(soup->m_ArrayVertex.Find(f->v(k)), 0);
  }
  EXPECT_EQ(soup->GetVertex(0), soup->GetFace(0)->v(0));
}

TEST(MeshWeld, DeleteDuplicateFacesKeepsTheFirstOfEachCornerSet) {
  CMesh3d mesh;
  CVertex3d* a = AddVertex(mesh, 0, 0, 0);
  CVertex3d* b = AddVertex(mesh, 1, 0, 0);
  CVertex3d* c = AddVertex(mesh, 0, 1, 0);
  CVertex3d* d = AddVertex(mesh, 1, 1, 0);
  CFace3d* f0 = AddFace(mesh, a, b, c);
  CFace3d* f1 = AddFace(mesh, b, d, c);
  AddFace(mesh, c, b, a); // same corners, other orientation
  CFace3d* f3 = AddFace(mesh, a, a, b);
  AddFace(mesh, b, c, d);
  AddFace(mesh, b, a, b); // same corner set {a, b} as f3
  CFace3d* f6 = AddFace(mesh, a, b, d);
  mesh.BuildAdjacency();
  EXPECT_EQ(mesh.DeleteDuplicateFaces(), 3);
  ASSERT_EQ(mesh.NbFace(), 4);
  EXPECT_EQ(mesh.GetFace(0), f0);
  EXPECT_EQ(mesh.GetFace(1), f1);
  EXPECT_EQ(mesh.GetFace(2), f3);
  EXPECT_EQ(mesh.GetFace(3), f6);
  ExpectNoStaleReferences(mesh); // the non-manifold input is not reciprocal
  EXPECT_EQ(mesh.DeleteDuplicateFaces(), 0);
}

//////////////////////////////////////////////////////////////////////
// Cleanup and invalid faces
//////////////////////////////////////////////////////////////////////

TEST(MeshClean, CleanupRemovesAFaceListedTwice) {
  MeshPtr sphere(testmeshes::MakeIcoSphere(1));
  int nf = sphere->NbFace();
  CFace3d* twice = sphere->GetFace(5);
  sphere->AddFace(twice);                                  // the same object twice
  AddFace(*sphere, twice->v(2), twice->v(1), twice->v(0)); // a flipped copy
  AddVertex(*sphere, 9, 9, 9);                             // an isolated vertex
  sphere->Cleanup();
  EXPECT_EQ(sphere->NbFace(), nf);
  EXPECT_EQ(sphere->m_ArrayFace.Find(twice), 5);
  EXPECT_EQ(sphere->NbVertex(), 42);
  EXPECT_EQ(testmeshes::CountBoundaryEdges(sphere.get()), 0);
  ExpectConsistentAdjacency(*sphere);
  for (int i = 0; i < sphere->NbFace(); i++) EXPECT_TRUE(sphere->GetFace(i)->IsValid());
  EXPECT_EQ(sphere->Check(), 1);
}

namespace {

// A small mesh given by indices, with some neighbour pointers corrupted
// afterwards; built twice to run two versions of an algorithm on equal input.
struct BrokenMesh {
  int nv = 0;
  std::vector<int> triangles;
  std::vector<std::pair<int, int>> corruptSlot; // (face, slot) ...
  std::vector<int> corruptTarget;               // ... gets face index, or -1
  bool detachIsolated = false;
};

struct BuiltMesh {
  MeshPtr mesh;
  std::vector<CVertex3d*> vertices;
  std::vector<CFace3d*> faces;
  std::map<const CVertex3d*, int> vertexIndex;
  std::map<const CFace3d*, int> faceIndex;
};

BuiltMesh Build(const BrokenMesh& b) {
  BuiltMesh out;
  out.mesh.reset(new CMesh3d);
  for (int i = 0; i < b.nv; i++) {
    out.vertices.push_back(AddVertex(*out.mesh, i, i * i % 7, i % 3));
    out.vertexIndex[out.vertices.back()] = i;
  }
  for (size_t i = 0; i + 2 < b.triangles.size(); i += 3) {
    out.faces.push_back(AddFace(*out.mesh, out.vertices[b.triangles[i]],
                                out.vertices[b.triangles[i + 1]],
                                out.vertices[b.triangles[i + 2]]));
    out.faceIndex[out.faces.back()] = static_cast<int>(i / 3);
  }
  out.faceIndex[nullptr] = -1;
  out.vertexIndex[nullptr] = -1;
  out.mesh->BuildAdjacency();
  for (size_t i = 0; i < b.corruptSlot.size(); i++) {
    int target = b.corruptTarget[i];
    out.faces[b.corruptSlot[i].first]->m_pFace[b.corruptSlot[i].second] =
        target < 0 ? nullptr : out.faces[target];
  }
  if (b.detachIsolated) out.mesh->RemoveIsolatedVertices();
  return out;
}

// The loop as described: delete the first invalid face, rebuild, again.
// The deletion clears every reference to the face, since the rebuild does
// nothing on a mesh of two vertices or fewer.
int ReferenceRemoveInvalidFaces(CMesh3d* mesh) {
  int removed = 0;
  for (;;) {
    int first = -1;
    for (int i = 0; i < mesh->NbFace() && first < 0; i++)
      if (!mesh->GetFace(i)->IsValid()) first = i;
    if (first < 0) return removed;
    CFace3d* dying = mesh->GetFace(first);
    for (CFace3d* g : mesh->m_ArrayFace)
      for (int k = 0; k < 3; k++)
        if (g->m_pFace[k] == dying) g->m_pFace[k] = nullptr;
    for (CVertex3d* v : mesh->m_ArrayVertex)
      while (v->RemoveFace(dying)) {
      }
    for (CVertex3d* v : mesh->m_ArrayDetachedVertex)
      while (v->RemoveFace(dying)) {
      }
    mesh->m_ArrayFace.RemoveAt(first);
    delete dying;
    removed++;
    mesh->BuildAdjacency();
  }
}

// Everything observable, by original indices.
std::vector<std::vector<int>> Describe(const BuiltMesh& m) {
  std::vector<std::vector<int>> out;
  for (const CFace3d* f : m.mesh->m_ArrayFace) {
    std::vector<int> row = {m.faceIndex.at(f)};
    for (int k = 0; k < 3; k++) row.push_back(m.vertexIndex.at(f->v(k)));
    for (int k = 0; k < 3; k++) row.push_back(m.faceIndex.at(f->f(k)));
    out.push_back(row);
  }
  for (const CVertex3d* v : m.vertices) {
    std::vector<int> row = {-2};
    for (const CFace3d* g : v->m_ArrayFaceNeighbor) row.push_back(m.faceIndex.at(g));
    if (m.mesh->NbFace() > 0)
      for (const CVertex3d* n : v->m_ArrayVertexNeighbor) row.push_back(m.vertexIndex.at(n) + 1000);
    out.push_back(row);
  }
  return out;
}

BrokenMesh RandomBrokenMesh(std::mt19937& rng, int nv, int nf) {
  BrokenMesh b;
  b.nv = nv;
  std::uniform_int_distribution<int> vertex(0, nv - 1), face(0, nf - 1), slot(0, 2), coin(0, 3);
  for (int i = 0; i < 3 * nf; i++) b.triangles.push_back(vertex(rng));
  int corruptions = nf / 3;
  for (int i = 0; i < corruptions; i++) {
    int f = face(rng);
    b.corruptSlot.push_back({f, slot(rng)});
    b.corruptTarget.push_back(coin(rng) == 0 ? -1 : (coin(rng) == 0 ? f : face(rng)));
  }
  b.detachIsolated = coin(rng) == 0;
  return b;
}

} // namespace

TEST(MeshClean, RemoveInvalidFacesMatchesTheRebuildLoop) {
  std::mt19937 rng(20240611);
  int compared = 0, removedTotal = 0;
  for (int trial = 0; trial < 300; trial++) {
    int nv = trial < 40 ? 2 + trial % 2 : 4 + trial % 6; // some with <= 2 vertices
    int nf = 2 + trial % 11;
    BrokenMesh b = RandomBrokenMesh(rng, nv, nf);
    BuiltMesh fast = Build(b), reference = Build(b);
    int removedFast = fast.mesh->RemoveInvalidFaces();
    int removedReference = ReferenceRemoveInvalidFaces(reference.mesh.get());
    ASSERT_EQ(removedFast, removedReference) << "trial " << trial;
    ASSERT_EQ(Describe(fast), Describe(reference)) << "trial " << trial;
    for (const CFace3d* f : fast.mesh->m_ArrayFace) EXPECT_TRUE(f->IsValid());
    compared++;
    removedTotal += removedFast;
  }
  EXPECT_EQ(compared, 300);
  EXPECT_GT(removedTotal, 300); // the inputs were broken indeed

  // a larger case: a grid with duplicated, flipped and degenerate faces
  MeshPtr grid(testmeshes::MakeGrid(8, 8));
  for (int i = 0; i < 20; i++) {
    CFace3d* f = grid->GetFace(i * 5);
    AddFace(*grid, f->v(0), f->v(2), f->v(1));
    if (i % 3 == 0) AddFace(*grid, f->v(0), f->v(0), f->v(1));
  }
  grid->BuildAdjacency();
  int removed = grid->RemoveInvalidFaces();
  EXPECT_GT(removed, 0);
  for (const CFace3d* f : grid->m_ArrayFace) EXPECT_TRUE(f->IsValid());
  ExpectConsistentAdjacency(*grid);
}

//////////////////////////////////////////////////////////////////////
// Removals
//////////////////////////////////////////////////////////////////////

TEST(MeshRemove, RemovalsKeepOrderAndClearReferences) {
  MeshPtr grid(testmeshes::MakeGrid(3, 3)); // 16 vertices, 18 faces
  std::vector<CFace3d*> faces(grid->m_ArrayFace.begin(), grid->m_ArrayFace.end());
  std::vector<int> texture;
  for (int i = 0; i < 18; i++) texture.insert(texture.end(), {i, i, i});
  float uv[2] = {0, 0};
  grid->SetTextureCoordinates(uv, 1, texture.data(), 18);

  // by flag: order of the others kept, texture indices follow their faces
  grid->SetFlagOnFaces(0);
  faces[1]->m_Flag = faces[4]->m_Flag = faces[17]->m_Flag = 7;
  EXPECT_EQ(grid->DeleteFacesWithFlag(7), 3);
  ASSERT_EQ(grid->NbFace(), 15);
  EXPECT_EQ(grid->GetFace(0), faces[0]);
  EXPECT_EQ(grid->GetFace(1), faces[2]);
  EXPECT_EQ(grid->GetFace(3), faces[5]);
  EXPECT_EQ(grid->m_NbTextureCoordinateIndex, 15);
  EXPECT_EQ(grid->m_pTextureCoordinateIndex[3 * 3], 5);
  ExpectConsistentAdjacency(*grid);

  // single face: shifts, texture too
  EXPECT_EQ(grid->RemoveFace(faces[2]), 1);
  EXPECT_EQ(grid->RemoveFace(faces[2]), 0);
  EXPECT_EQ(grid->GetFace(1), faces[3]);
  EXPECT_EQ(grid->m_pTextureCoordinateIndex[3], 3);
  ExpectConsistentAdjacency(*grid);

  // a vertex used by faces: its corners become null, the faces are dead
  CVertex3d* centre = grid->GetVertex(5);
  int used = centre->NbFace();
  EXPECT_EQ(grid->RemoveVertex(centre), 1);
  EXPECT_EQ(grid->NbVertex(), 15);
  EXPECT_EQ(grid->RemoveDeadFaces(), used);
  ExpectConsistentAdjacency(*grid);
  for (int i = 0; i < grid->NbVertex(); i++) EXPECT_FALSE(grid->GetVertex(i)->HasNeighbor(centre));

  // unused vertices go, the order of the others kept
  grid->Rebuild();
  EXPECT_GT(grid->DeleteFacesWithVertex(grid->GetVertex(15)), 0);
  std::vector<CVertex3d*> inUse;
  for (CVertex3d* v : grid->m_ArrayVertex)
    if (v->NbFace() > 0) inUse.push_back(v);
  EXPECT_EQ(grid->RemoveUnusedVertices(), 15 - static_cast<int>(inUse.size()));
  EXPECT_EQ(std::vector<CVertex3d*>(grid->m_ArrayVertex.begin(), grid->m_ArrayVertex.end()), inUse);
  EXPECT_EQ(grid->DeleteVertexAt(grid->NbVertex()), 0);
  EXPECT_EQ(grid->DeleteVertexAt(-1), 0);

  // truncation at the first face with a null corner
  int nf = grid->NbFace();
  grid->GetFace(4)->m_pVertex[1] = nullptr;
  EXPECT_EQ(grid->TruncateAtFirstNullFace(), nf - 4);
  EXPECT_EQ(grid->NbFace(), 4);
  ExpectConsistentAdjacency(*grid);
}

TEST(MeshRemove, NonManifoldFansAndNullCornersNeverCrash) {
  auto fan = [] { return MeshPtr(testmeshes::MakeNonManifoldFan(5)); };
  {
    // every blade has one neighbour on the shared edge
    MeshPtr m = fan();
    EXPECT_EQ(m->DeleteFacesWithNeighborCount(2), 0);
    EXPECT_EQ(m->DeleteFacesWithNeighborCount(1), 5);
    EXPECT_EQ(m->RemoveUnusedVertices(), 7);
    m->Rebuild();
  }
  {
    MeshPtr m = fan();
    EXPECT_EQ(m->RemoveVertex(m->GetVertex(0)), 1); // every blade loses a corner
    EXPECT_EQ(m->RemoveDeadFaces(), 5);
    EXPECT_EQ(m->RemoveUnusedVertices(), 6);
    m->Rebuild();
  }
  {
    MeshPtr m = fan();
    CArray3d<CFace3d> list;
    CVector3d at(0.5, 0, 0);
    EXPECT_EQ(m->CollapseEdge(m->GetVertex(0), m->GetVertex(1), at, &list, 1), 0); // 5 faces
    EXPECT_EQ(m->RemoveValence3Vertices(), 0);
    EXPECT_EQ(m->DeleteDegenerateFaces(), 0);
    m->Cleanup();
    for (const CFace3d* f : m->m_ArrayFace) EXPECT_TRUE(f->IsValid());
    EXPECT_EQ(m->DeleteFacesWithVertex(m->GetVertex(1)), m->NbFace());
    m->Rebuild();
  }
  {
    // null corners, degenerate faces, (v, v, v) faces on an isolated vertex
    MeshPtr m = fan();
    CVertex3d* lone = AddVertex(*m, 5, 5, 5);
    AddFace(*m, lone, lone, lone);
    m->GetFace(2)->m_pVertex[0] = nullptr;
    AddFace(*m, m->GetVertex(2), m->GetVertex(2), m->GetVertex(3));
    m->Rebuild();
    m->Cleanup(); // the lone vertex is set aside before its face goes
    EXPECT_EQ(m->m_ArrayVertex.Find(lone), -1);
    for (const CFace3d* f : m->m_ArrayFace) EXPECT_TRUE(f->IsValid());
    m->RemoveDeadFaces();
    m->DeleteDegenerateFaces();
    m->RemoveValence3Vertices();
    m->Rebuild();
  }
  {
    // a mesh of two vertices: the adjacency is never rebuilt
    CMesh3d m;
    CVertex3d* a = AddVertex(m, 0, 0, 0);
    CVertex3d* b = AddVertex(m, 1, 0, 0);
    CFace3d* f = AddFace(m, a, a, b);
    CFace3d* g = AddFace(m, b, b, a);
    f->SetNeighbors(g, g, nullptr);
    g->SetNeighbors(f, nullptr, nullptr);
    a->AddFace(f);
    b->AddFace(g);
    EXPECT_EQ(m.RemoveInvalidFaces(), 2);
    EXPECT_EQ(a->NbFace() + b->NbFace(), 0);
    EXPECT_EQ(m.Cleanup(), 2);
  }
  {
    CMesh3d empty;
    EXPECT_EQ(empty.Weld(), 0);
    EXPECT_EQ(empty.Cleanup(), 0);
    EXPECT_EQ(empty.RemoveValence3Vertices(), 0);
    EXPECT_EQ(empty.RemoveVertex(nullptr), 0);
    EXPECT_EQ(empty.RemoveFace(nullptr), 0);
    EXPECT_EQ(empty.UndoHistory(), 0);
  }
}

//////////////////////////////////////////////////////////////////////
// Collapse and valence-3 removal
//////////////////////////////////////////////////////////////////////

TEST(MeshCollapse, RefusalsLeaveTheMeshUnchanged) {
  MeshPtr grid(testmeshes::MakeGrid(2, 2)); // vertices 0..8, row by row
  CVector3d at(5, 5, 5);
  CVertex3d* corner = grid->GetVertex(0);
  // not neighbours
  EXPECT_EQ(grid->CollapseEdge(corner, grid->GetVertex(8), at, nullptr, 1), 0);
  // edge (4, 0) lies on faces (0, 1, 4) and (0, 4, 3), whose third corners
  // 1 and 3 have only 3 faces each
  EXPECT_EQ(grid->CollapseEdge(grid->GetVertex(4), corner, at, nullptr, 1), 0);
  EXPECT_EQ(grid->NbFace(), 8);
  EXPECT_EQ(grid->NbVertex(), 9);
  EXPECT_EQ(corner->x, 0.0);
  EXPECT_EQ(grid->CollapseEdge(corner, corner, at, nullptr, 1), 0);
  EXPECT_EQ(grid->CollapseEdge(nullptr, corner, at, nullptr, 1), 0);
}

TEST(MeshCollapse, BoundaryAndInteriorCollapses) {
  // across a boundary edge: one face goes and, with deletion, one vertex
  MeshPtr grid(testmeshes::MakeGrid(4, 4)); // 25 vertices, 32 faces
  CVertex3d* p = grid->GetVertex(2);
  CVertex3d* q = grid->GetVertex(1);
  CArray3d<CFace3d> list;
  ASSERT_EQ(grid->CollapseEdge(p, q, CVector3d(1.5, 0, 0), &list, 1), 1);
  EXPECT_EQ(grid->NbFace(), 31);
  EXPECT_EQ(grid->NbVertex(), 24);
  EXPECT_EQ(list.GetSize(), 2);
  EXPECT_DOUBLE_EQ(p->x, 1.5);
  for (const CFace3d* f : grid->m_ArrayFace) EXPECT_FALSE(f->HasNullVertex());
  grid->Rebuild();
  ExpectConsistentAdjacency(*grid);
  EXPECT_EQ(Euler(*grid), 1);

  // interior collapses on a closed sphere keep it closed
  MeshPtr sphere(testmeshes::MakeIcoSphere(2));
  int collapsed = 0;
  for (int step = 0; step < 30; step++) {
    CVertex3d* a = sphere->GetVertex(step * 3 % sphere->NbVertex());
    if (a->NbNeighbor() == 0) continue;
    CVertex3d* b = a->GetNeighbor(0);
    // keep the surface a manifold: the ends share exactly two neighbours
    int common = 0;
    for (const CVertex3d* n : a->m_ArrayVertexNeighbor) common += b->HasNeighbor(n);
    if (common != 2) continue;
    CArray3d<CFace3d> pairs;
    if (!sphere->CollapseEdge(a, b, a->Position(), &pairs, 1)) continue;
    collapsed++;
    ASSERT_EQ(pairs.GetSize(), 4);
    for (int k = 0; k < 4; k += 2) EXPECT_TRUE(pairs[k]->HasNeighbor(pairs[k + 1]));
    ExpectConsistentAdjacency(*sphere);
    sphere->Rebuild();
  }
  EXPECT_GT(collapsed, 10);
  EXPECT_EQ(sphere->NbFace(), 320 - 2 * collapsed);
  EXPECT_EQ(testmeshes::CountBoundaryEdges(sphere.get()), 0);
  EXPECT_EQ(Euler(*sphere), 2);

  // without deletion q stays, isolated, and can be removed afterwards
  MeshPtr torus(testmeshes::MakeTorus(8, 8));
  CVertex3d* a = torus->GetVertex(9);
  CVertex3d* b = a->GetNeighbor(0);
  ASSERT_EQ(torus->CollapseEdge(a, b, a->Position(), nullptr, 0), 1);
  EXPECT_EQ(b->NbFace(), 0);
  EXPECT_EQ(torus->RemoveVertex(b), 1);
  torus->Rebuild();
  EXPECT_EQ(testmeshes::CountBoundaryEdges(torus.get()), 0);
  EXPECT_EQ(Euler(*torus), 0);
}

TEST(MeshCollapse, RemoveValence3Vertex) {
  // the apex over an octahedron face goes, the octahedron comes back
  MeshPtr m = MakeOctahedronWithApex();
  CVertex3d* apex = m->GetVertex(6);
  CFace3d* f0 = m->GetFace(0);
  ASSERT_EQ(apex->NbFace(), 3);
  EXPECT_EQ(m->RemoveValence3Vertex(apex), 1);
  EXPECT_EQ(m->NbVertex(), 6);
  EXPECT_EQ(m->NbFace(), 8);
  EXPECT_EQ(m->GetFace(0), f0);
  EXPECT_TRUE(f0->HasVertices(m->GetVertex(0), m->GetVertex(2), m->GetVertex(4)));
  ExpectConsistentAdjacency(*m); // the merged face is linked without a rebuild
  // orientation kept: the new face's normal points outwards
  f0->CalculateNormal();
  EXPECT_GT(f0->m_Normal.x + f0->m_Normal.y + f0->m_Normal.z, 0.0);
  m->Rebuild();
  EXPECT_EQ(testmeshes::CountBoundaryEdges(m.get()), 0);

  // refusals: every vertex of a tetrahedron (the merged face would double
  // the opposite one), a boundary vertex, a vertex of another valence
  MeshPtr tetra =
      MakeMesh({0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1}, {0, 2, 1, 0, 1, 3, 1, 2, 3, 0, 3, 2});
  EXPECT_EQ(tetra->RemoveValence3Vertices(), 0);
  EXPECT_EQ(tetra->NbFace(), 4);
  MeshPtr grid(testmeshes::MakeGrid(1, 1));
  EXPECT_EQ(grid->RemoveValence3Vertex(grid->GetVertex(0)), 0);
  EXPECT_EQ(m->RemoveValence3Vertex(m->GetVertex(0)), 0);
  EXPECT_EQ(m->RemoveValence3Vertex(nullptr), 0);
}

TEST(MeshCollapse, RemoveValence3VerticesMatchesTheIndexLoop) {
  // a sphere with apexes raised over several faces, not sharing corners
  auto build = [] {
    MeshPtr m(testmeshes::MakeIcoSphere(1));
    std::vector<CFace3d*> chosen;
    std::set<const CVertex3d*> used;
    for (int i = 0; i < m->NbFace() && chosen.size() < 6; i++) {
      CFace3d* f = m->GetFace(i);
      if (used.count(f->v(0)) || used.count(f->v(1)) || used.count(f->v(2))) continue;
      for (int k = 0; k < 3; k++) used.insert(f->v(k));
      chosen.push_back(f);
    }
    for (CFace3d* f : chosen) {
      CVector3d c = f->Center();
      CVertex3d* apex = new CVertex3d(1.1 * c.x, 1.1 * c.y, 1.1 * c.z);
      m->m_ArrayVertex.InsertAt(3, apex); // apexes among the old vertices
      CVertex3d *a = f->v(0), *b = f->v(1), *d = f->v(2);
      f->Set(apex, a, b);
      AddFace(*m, apex, b, d);
      AddFace(*m, apex, d, a);
    }
    m->Rebuild();
    return m;
  };
  MeshPtr batch = build(), loop = build();
  EXPECT_EQ(batch->NbFace(), 80 + 12);

  EXPECT_EQ(batch->RemoveValence3Vertices(), 6);
  int removed = 0;
  for (int i = 0; i < loop->NbVertex();) {
    if (loop->RemoveValence3Vertex(loop->GetVertex(i)))
      removed++;
    else
      i++;
  }
  EXPECT_EQ(removed, 6);
  ASSERT_EQ(batch->NbFace(), 80);
  ASSERT_EQ(batch->NbVertex(), 42);
  for (int i = 0; i < 42; i++)
    EXPECT_EQ(batch->GetVertex(i)->Position().x, loop->GetVertex(i)->Position().x);
  for (int i = 0; i < 80; i++)
    for (int k = 0; k < 3; k++)
      EXPECT_EQ(batch->m_ArrayVertex.Find(batch->GetFace(i)->v(k)),
                loop->m_ArrayVertex.Find(loop->GetFace(i)->v(k)));
  ExpectConsistentAdjacency(*batch);
  batch->Rebuild();
  EXPECT_EQ(testmeshes::CountBoundaryEdges(batch.get()), 0);
  EXPECT_EQ(Euler(*batch), 2);
}

//////////////////////////////////////////////////////////////////////
// History
//////////////////////////////////////////////////////////////////////

TEST(MeshUndo, UndoPopsOneRecordPerElementAndWeldDropsStaleRecords) {
  MeshPtr grid(testmeshes::MakeGrid(2, 2));
  CFace3d* changed = grid->GetFace(0);
  CFace3d* created = grid->GetFace(1);
  CVertex3d* moved = grid->GetVertex(4);
  CVertex3d* old = changed->v(0);
  changed->PushCorner(0);
  changed->SetVertex(0, grid->GetVertex(8));
  created->PushCreated();
  moved->PushPosition();
  moved->Set(3, 3, 3);

  EXPECT_EQ(grid->UndoHistory(), 2);
  EXPECT_EQ(changed->v(0), old);
  EXPECT_TRUE(created->HasNullVertex());
  EXPECT_EQ(moved->x, 1.0);
  EXPECT_EQ(grid->RemoveDeadFaces(), 1);
  EXPECT_EQ(grid->UndoHistory(), 0);

  // a record naming a vertex that Weld deletes is dropped with the history
  MeshPtr soup(testmeshes::MakeSoup(grid.get()));
  CFace3d* second = soup->GetFace(1);
  second->PushCorner(0); // names a vertex that merges into an earlier one
  soup->GetFace(0)->PushCreated();
  soup->Weld();
  EXPECT_EQ(second->GetHistory(), nullptr);
  EXPECT_EQ(soup->UndoHistory(), 0);
  for (const CFace3d* f : soup->m_ArrayFace) EXPECT_FALSE(f->HasNullVertex());
}
