// Removals that keep the mesh valid: the link condition of edge collapses,
// the dropping of undo records by every removal path, and single removals
// through slot hints that keep the order of the arrays.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "geometry/Mesh3d.h"
#include "tests/support/MeshChecks.h"
#include "tests/support/TestMeshes.h"

namespace {

using MeshPtr = std::unique_ptr<CMesh3d>;

int SharedNeighbors(const CVertex3d* p, const CVertex3d* q) {
  int shared = 0;
  for (const CVertex3d* n : p->m_ArrayVertexNeighbor) shared += q->HasNeighbor(n);
  return shared;
}

// Triangular bipyramid over (p, q, t) whose caps have an extra vertex each,
// so that every cap apex has 4 faces: p and q share the neighbour t, which
// is not on a face of edge (p, q). Vertices p, q, t, a, c, b, d.
MeshPtr MakeCappedBipyramid() {
  std::vector<double> xyz = {0, 0,   0,   1, 0,   0,   0.5, 1,   0,   0.4, 0.3,
                             1, 0.7, 0.5, 1, 0.4, 0.3, -1,  0.7, 0.5, -1};
  std::vector<int> tri = {3, 0, 1, 3, 1, 4, 3, 4, 2, 3, 2, 0, 4, 1, 2,  // top cap
                          5, 1, 0, 5, 6, 1, 5, 2, 6, 5, 0, 2, 6, 2, 1}; // bottom cap
  return MeshPtr(testmeshes::MakeMesh(xyz, tri));
}

} // namespace

// Every edge of small tori, where the wrap-around makes the ends of many
// edges share a third neighbour: a collapse goes through exactly when the
// ends share two neighbours, and never leaves an edge with three faces.
TEST(MeshCollapseLink, SmallToriNeverGetAnEdgeWithThreeFaces) {
  int accepted = 0, refused = 0;
  for (int n : {3, 4}) {
    MeshPtr probe(testmeshes::MakeTorus(n, n));
    for (int i = 0; i < probe->NbVertex(); i++)
      for (int k = 0; k < probe->GetVertex(i)->NbNeighbor(); k++) {
        MeshPtr torus(testmeshes::MakeTorus(n, n));
        CVertex3d* p = torus->GetVertex(i);
        CVertex3d* q = p->GetNeighbor(k);
        bool manifold = SharedNeighbors(p, q) == 2;
        int faces = torus->NbFace();
        int done = torus->CollapseEdge(p, q, p->Position(), nullptr, 1);
        ASSERT_EQ(done, manifold ? 1 : 0) << n << "x" << n << " edge " << i << "-" << k;
        if (!done) {
          refused++;
          EXPECT_EQ(torus->NbFace(), faces);
          continue;
        }
        accepted++;
        torus->Rebuild();
        EXPECT_EQ(meshchecks::MaxFacesOnAnEdge(*torus), 2);
        EXPECT_EQ(meshchecks::Euler(*torus), 0);
      }
  }
  // on the 3 x 3 torus every corner has 6 faces: only the link refuses
  EXPECT_GT(refused, 0);
  EXPECT_GT(accepted, 0);
}

TEST(MeshCollapseLink, ASeparatingTriangleIsNotCollapsed) {
  MeshPtr m = MakeCappedBipyramid();
  CVertex3d *p = m->GetVertex(0), *q = m->GetVertex(1);
  ASSERT_EQ(m->GetVertex(3)->NbFace(), 4);
  ASSERT_EQ(m->GetVertex(5)->NbFace(), 4);
  EXPECT_EQ(SharedNeighbors(p, q), 3);
  EXPECT_EQ(m->CollapseEdge(p, q, CVector3d(0.5, 0, 0), nullptr, 1), 0);
  EXPECT_EQ(m->NbFace(), 10);
  EXPECT_EQ(m->NbVertex(), 7);
  EXPECT_EQ(p->x, 0.0);
  meshchecks::ExpectConsistentAdjacency(*m);
  // an edge of a cap whose ends share only its two third corners goes
  EXPECT_EQ(
      m->CollapseEdge(m->GetVertex(3), m->GetVertex(4), m->GetVertex(3)->Position(), nullptr, 1),
      1);
  m->Rebuild();
  EXPECT_EQ(meshchecks::MaxFacesOnAnEdge(*m), 2);
}

namespace {

// A 4 x 4 grid with a valence-3 apex raised over face 0 (vertex 25).
MeshPtr MakeGridWithApex() {
  MeshPtr m(testmeshes::MakeGrid(4, 4));
  CFace3d* f = m->GetFace(0);
  CVector3d c = f->Center();
  CVertex3d* apex = testmeshes::AddVertex(*m, c.x, c.y, 0.5);
  CVertex3d *a = f->v(0), *b = f->v(1), *d = f->v(2);
  f->Set(apex, a, b);
  testmeshes::AddFace(*m, apex, b, d);
  testmeshes::AddFace(*m, apex, d, a);
  m->Rebuild();
  return m;
}

// Every undo record of the mesh's elements is gone.
void ExpectNoHistory(const CMesh3d& m, const std::string& path) {
  for (const CFace3d* f : m.m_ArrayFace) EXPECT_EQ(f->GetHistory(), nullptr) << path;
  for (const CVertex3d* v : m.m_ArrayVertex) EXPECT_EQ(v->GetHistory(), nullptr) << path;
  for (const CVertex3d* v : m.m_ArrayDetachedVertex) EXPECT_EQ(v->GetHistory(), nullptr) << path;
}

struct CRemovalPath {
  const char* name;
  int vertex; // the vertex named by the undo records
  std::function<int(CMesh3d&, CVertex3d*)> remove;
};

} // namespace

// The faces around a vertex record it as the previous corner of their slot;
// after any removal the records are gone, so an undo cannot bring back a
// deleted vertex (run under AddressSanitizer, the old behaviour reads freed
// memory here). A record made after a removal is dropped by the next one.
TEST(MeshRemoveHistory, EveryRemovalPathDropsTheUndoRecords) {
  const int kCentre = 12, kApex = 25;
  const std::vector<CRemovalPath> paths = {
      {"RemoveVertex", kCentre, [](CMesh3d& m, CVertex3d* v) { return m.RemoveVertex(v); }},
      {"DeleteVertexAt", kCentre,
       [](CMesh3d& m, CVertex3d* v) { return m.DeleteVertexAt(m.m_ArrayVertex.Find(v)); }},
      {"RemoveFace", kCentre,
       [](CMesh3d& m, CVertex3d*) { return m.RemoveFace(m.GetFace(m.NbFace() - 1)); }},
      {"DeleteFacesWithFlag", kCentre,
       [](CMesh3d& m, CVertex3d*) {
         m.SetFlagOnFaces(0);
         m.GetFace(7)->m_Flag = 3;
         return m.DeleteFacesWithFlag(3);
       }},
      {"DeleteFacesWithVertex", kCentre,
       [](CMesh3d& m, CVertex3d* v) { return m.DeleteFacesWithVertex(v); }},
      {"DeleteVerticesWithFlag", kCentre,
       [](CMesh3d& m, CVertex3d* v) {
         m.SetFlagOnVertices(0);
         v->m_Flag = 4;
         return m.DeleteVerticesWithFlag(4);
       }},
      {"RemoveUnusedVertices", kCentre,
       [](CMesh3d& m, CVertex3d*) {
         testmeshes::AddVertex(m, 9, 9, 9);
         return m.RemoveUnusedVertices();
       }},
      {"RemoveIsolatedVertices", kCentre,
       [](CMesh3d& m, CVertex3d*) {
         testmeshes::AddVertex(m, 9, 9, 9);
         return m.RemoveIsolatedVertices();
       }},
      {"DeleteDuplicateFaces", kCentre,
       [](CMesh3d& m, CVertex3d*) {
         CFace3d* f = m.GetFace(9);
         testmeshes::AddFace(m, f->v(0), f->v(1), f->v(2));
         return m.DeleteDuplicateFaces();
       }},
      {"SetFaceCount", kCentre,
       [](CMesh3d& m, CVertex3d*) {
         m.SetFaceCount(m.NbFace() - 2);
         return 1;
       }},
      {"CollapseEdge", kCentre,
       [](CMesh3d& m, CVertex3d* v) {
         CVertex3d* p = v->GetNeighbor(0);
         return m.CollapseEdge(p, v, p->Position(), nullptr, 1);
       }},
      {"RemoveValence3Vertex", kApex,
       [](CMesh3d& m, CVertex3d* v) { return m.RemoveValence3Vertex(v); }},
      {"RemoveValence3Vertices", kApex,
       [](CMesh3d& m, CVertex3d*) { return m.RemoveValence3Vertices(); }},
  };
  for (const CRemovalPath& path : paths) {
    MeshPtr m = MakeGridWithApex();
    CVertex3d* v = m->GetVertex(path.vertex);
    ASSERT_GT(v->NbFace(), 0) << path.name;
    for (CFace3d* f : v->m_ArrayFaceNeighbor) {
      int slot = 0;
      ASSERT_TRUE(f->IndexOfVertex(v, slot));
      f->PushCorner(slot);
    }
    m->GetVertex(0)->PushPosition();

    // an absent element removes nothing and keeps the records
    CFace3d stranger;
    EXPECT_EQ(m->RemoveFace(&stranger), 0);
    EXPECT_NE(m->GetVertex(0)->GetHistory(), nullptr) << path.name;

    EXPECT_GT(path.remove(*m, v), 0) << path.name;
    ExpectNoHistory(*m, path.name);
    EXPECT_EQ(m->UndoHistory(), 0) << path.name;

    // records made afterwards, on a mesh element and on one added later
    m->GetFace(1)->PushCreated();
    CFace3d* late = new CFace3d(m->GetVertex(1), m->GetVertex(2), m->GetVertex(3));
    late->PushCreated();
    m->RemoveFace(m->GetFace(m->NbFace() - 1)); // the mesh is found without history here
    m->AddFace(late);
    EXPECT_EQ(m->RemoveFace(m->GetFace(2)), 1);
    ExpectNoHistory(*m, path.name);
  }
}

namespace {

template <class T> std::vector<T*> Entries(const CArray3d<T>& array) {
  return std::vector<T*>(array.begin(), array.end());
}

template <class T> void Erase(std::vector<T*>& model, const T* p) {
  model.erase(std::find(model.begin(), model.end(), p));
}

} // namespace

// Removals found through slot hints, with and without reads in between,
// leave the arrays in the order that shifting removals give.
TEST(MeshRemoveSlots, RunsOfRemovalsKeepTheShiftingOrder) {
  for (unsigned seed : {1u, 2u, 3u}) {
    MeshPtr m(testmeshes::MakeGrid(8, 8));
    std::vector<CFace3d*> faces = Entries(m->m_ArrayFace);
    std::vector<CVertex3d*> vertices = Entries(m->m_ArrayVertex);
    std::mt19937 random(seed);
    for (int step = 0; step < 80; step++) {
      int action = static_cast<int>(random() % 4);
      if (action == 0) {
        CFace3d* f = faces[random() % faces.size()];
        Erase(faces, f);
        ASSERT_EQ(m->RemoveFace(f), 1);
      } else if (action == 1) {
        CVertex3d* v = vertices[random() % vertices.size()];
        Erase(vertices, v);
        ASSERT_EQ(m->RemoveVertex(v), 1);
      } else if (action == 2) {
        // by index: the array is read here
        int i = static_cast<int>(random() % vertices.size());
        vertices.erase(vertices.begin() + i);
        ASSERT_EQ(m->DeleteVertexAt(i), 1);
      } else {
        ASSERT_EQ(Entries(m->m_ArrayFace), faces) << seed << " step " << step;
      }
    }
    EXPECT_EQ(Entries(m->m_ArrayFace), faces);
    EXPECT_EQ(Entries(m->m_ArrayVertex), vertices);
    m->RemoveDeadFaces();
    m->Rebuild();
    meshchecks::ExpectConsistentAdjacency(*m);
  }
}

// Hints made stale by direct writes, and a face listed twice, which lives on
// until its last slot goes.
TEST(MeshRemoveSlots, StaleHintsAndFacesListedTwice) {
  MeshPtr m(testmeshes::MakeGrid(3, 3));
  CFace3d* twice = m->GetFace(3);
  m->AddFace(twice);
  EXPECT_EQ(m->RemoveFace(twice), 1);
  EXPECT_EQ(m->m_ArrayFace.Find(twice), m->NbFace() - 1);
  EXPECT_TRUE(twice->HasVertex(m->GetVertex(5))); // still alive
  EXPECT_EQ(m->RemoveFace(twice), 1);
  EXPECT_EQ(m->m_ArrayFace.Find(twice), -1);

  // reversed by direct writes: every hint is wrong
  std::vector<CFace3d*> faces = Entries(m->m_ArrayFace);
  std::reverse(faces.begin(), faces.end());
  for (int i = 0; i < m->NbFace(); i++) m->m_ArrayFace[i] = faces[static_cast<size_t>(i)];
  for (int k : {0, 5, 2}) {
    CFace3d* f = faces[static_cast<size_t>(k)];
    Erase(faces, f);
    EXPECT_EQ(m->RemoveFace(f), 1);
  }
  EXPECT_EQ(Entries(m->m_ArrayFace), faces);

  // a vertex of another mesh is not found, even at a slot number this one has
  MeshPtr other(testmeshes::MakeGrid(3, 3));
  EXPECT_EQ(m->RemoveVertex(other->GetVertex(2)), 0);
  EXPECT_EQ(m->NbVertex(), 16);
}
