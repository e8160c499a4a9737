// CVertex3d, CFace3d and the free triangle functions, on small meshes built
// by hand (the mesh class is not used).

#include <GL/gl.h>
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <set>
#include <utility>
#include <vector>

#include "geometry/Edge3d.h"
#include "geometry/Face3d.h"
#include "geometry/Transform.h"
#include "geometry/Vertex3d.h"
#include "geometry/render/InstallRenderers.h"

namespace {

// Owns a handful of vertices and faces and links them by brute force.
struct Fixture {
  std::vector<CVertex3d*> v;
  std::vector<CFace3d*> f;
  std::vector<CEdge3d*> e;

  Fixture() = default;
  Fixture(const Fixture&) = delete;
  Fixture& operator=(const Fixture&) = delete;
  ~Fixture() {
    for (CEdge3d* x : e) delete x;
    for (CFace3d* x : f) delete x;
    for (CVertex3d* x : v) delete x;
  }

  CVertex3d* V(double x, double y, double z = 0.0) {
    v.push_back(new CVertex3d(x, y, z));
    return v.back();
  }
  CFace3d* F(int a, int b, int c) {
    f.push_back(new CFace3d(v[a], v[b], v[c]));
    return f.back();
  }

  // Faces taking part in the topology (flag 0).
  std::vector<CFace3d*> Live() const {
    std::vector<CFace3d*> out;
    for (CFace3d* x : f)
      if (x->m_Flag == 0) out.push_back(x);
    return out;
  }

  // Builds face lists, neighbour vertices, face neighbours and normals.
  void Link() {
    for (CVertex3d* x : v) {
      x->m_ArrayFaceNeighbor.RemoveAll();
      x->m_ArrayVertexNeighbor.RemoveAll();
    }
    for (CFace3d* x : Live()) {
      for (int k = 0; k < 3; k++) {
        x->v(k)->AddFace(x);
        x->v(k)->AddNeighbor(x->v((k + 1) % 3));
        x->v((k + 1) % 3)->AddNeighbor(x->v(k));
      }
      x->SetNeighbors(nullptr, nullptr, nullptr);
    }
    for (CFace3d* x : Live()) {
      for (int k = 0; k < 3; k++) x->SetNeighbor(k, Across(x, k));
      x->CalculateNormal();
    }
  }

  // The live face (other than x) holding edge k of x, by brute force.
  CFace3d* Across(const CFace3d* x, int k) const {
    CVertex3d* a = x->v(k);
    CVertex3d* b = x->v((k + 1) % 3);
    for (CFace3d* g : Live())
      if (g != x && g->HasVertex(a) && g->HasVertex(b)) return g;
    return nullptr;
  }

  // Stored links equal the ones recomputed from the live faces' corners.
  void ExpectConsistent() const {
    std::vector<CFace3d*> live = Live();
    for (CFace3d* x : live) {
      EXPECT_TRUE(x->IsValid());
      for (int k = 0; k < 3; k++) EXPECT_EQ(x->f(k), Across(x, k)) << "face neighbour " << k;
    }
    for (CVertex3d* x : v) {
      if (x->GetTarget()) continue; // merged away
      std::set<CFace3d*> faces;
      std::set<CVertex3d*> ring;
      for (CFace3d* g : live)
        if (g->HasVertex(x)) {
          faces.insert(g);
          for (int k = 0; k < 3; k++)
            if (g->v(k) != x) ring.insert(g->v(k));
        }
      std::set<CFace3d*> storedFaces(x->m_ArrayFaceNeighbor.begin(), x->m_ArrayFaceNeighbor.end());
      std::set<CVertex3d*> storedRing(x->m_ArrayVertexNeighbor.begin(),
                                      x->m_ArrayVertexNeighbor.end());
      EXPECT_EQ(storedFaces, faces);
      EXPECT_EQ(static_cast<int>(faces.size()), x->NbFace()); // no duplicates
      EXPECT_EQ(storedRing, ring);
      EXPECT_EQ(static_cast<int>(ring.size()), x->NbNeighbor());
    }
  }

  // Closed tetrahedron, consistently oriented (outward normals).
  void Tetrahedron() {
    V(0, 0, 0);
    V(1, 0, 0);
    V(0, 1, 0);
    V(0, 0, 1);
    F(0, 2, 1);
    F(0, 1, 3);
    F(1, 2, 3);
    F(0, 3, 2);
    Link();
  }

  // Planar grid of (n+1) x (n+1) vertices, quads split along (i,j)-(i+1,j+1).
  void Grid(int n) {
    for (int j = 0; j <= n; j++)
      for (int i = 0; i <= n; i++) V(i, j);
    auto id = [n](int i, int j) { return j * (n + 1) + i; };
    for (int j = 0; j < n; j++)
      for (int i = 0; i < n; i++) {
        F(id(i, j), id(i + 1, j), id(i + 1, j + 1));
        F(id(i, j), id(i + 1, j + 1), id(i, j + 1));
      }
    Link();
  }
};

void ExpectVec(const CVector3d& a, double x, double y, double z, double eps = 1e-12) {
  EXPECT_NEAR(a.x, x, eps);
  EXPECT_NEAR(a.y, y, eps);
  EXPECT_NEAR(a.z, z, eps);
}

} // namespace

//////////////////////////////////////////////////////////////////////
// Construction
//////////////////////////////////////////////////////////////////////

TEST(Vertex3d, Construction) {
  CVertex3d a;
  EXPECT_EQ(a.GetType(), 2);
  EXPECT_EQ(a.m_Flag, 0);
  EXPECT_EQ(a.GetTarget(), nullptr);
  EXPECT_EQ(a.m_Color, CColor(255, 255, 255, 255));
  ExpectVec(a.m_Normal, 0, 0, 0, 0);
  CVertex3d b(1, 2, 3);
  b.m_Flag = 5;
  b.AddNeighbor(&a);
  CVertex3d c(&b);
  EXPECT_EQ(c.x, 1.0);
  EXPECT_EQ(c.z, 3.0);
  EXPECT_EQ(c.m_Flag, 0);
  EXPECT_EQ(c.NbNeighbor(), 0);
}

TEST(Face3d, Construction) {
  CFace3d f;
  EXPECT_EQ(f.GetType(), 6);
  EXPECT_EQ(f.NbVertex(), 0);
  EXPECT_EQ(f.NbNeighbor(), 0);
  EXPECT_TRUE(f.HasNullVertex());
  EXPECT_EQ(f.m_Color, CColor(255, 255, 255, 255));
  ExpectVec(f.GetAux(), 0, 0, 0, 0);
}

//////////////////////////////////////////////////////////////////////
// Normals, area, compacity
//////////////////////////////////////////////////////////////////////

TEST(Face3d, NormalOfRightTriangle) {
  Fixture m;
  m.V(0, 0, 0);
  m.V(1, 0, 0);
  m.V(0, 1, 0);
  CFace3d* f = m.F(0, 1, 2);
  f->CalculateNormal();
  ExpectVec(f->m_Normal, 0, 0, 1, 0);
  EXPECT_DOUBLE_EQ(f->Area(), 0.5);
  EXPECT_DOUBLE_EQ(f->Perimeter(), 2.0 + std::sqrt(2.0));
  // Reversed orientation flips the normal.
  CFace3d g(m.v[0], m.v[2], m.v[1]);
  g.CalculateNormal();
  ExpectVec(g.m_Normal, 0, 0, -1, 0);
}

TEST(Face3d, NormalRoundsYAndZOfEdgeVectorsToFloat) {
  Fixture m;
  m.V(0, 0, 0);
  m.V(1, 0, 0);
  m.V(0, 0.1, 0.3);
  CFace3d* f = m.F(0, 1, 2);
  f->CalculateNormal();
  // u = (1, 0, 0), w = (0, float(0.1), float(0.3)): N = (0, -wz, wy).
  double wy = static_cast<float>(0.1), wz = static_cast<float>(0.3);
  double len = std::sqrt(wy * wy + wz * wz);
  EXPECT_DOUBLE_EQ(f->m_Normal.x, 0.0);
  EXPECT_DOUBLE_EQ(f->m_Normal.y, -wz / len);
  EXPECT_DOUBLE_EQ(f->m_Normal.z, wy / len);
  // Differs from the all-double result.
  double exact = std::sqrt(0.1 * 0.1 + 0.3 * 0.3);
  EXPECT_NE(f->m_Normal.y, -0.3 / exact);
}

TEST(Face3d, CollinearCornersGiveZeroNormal) {
  Fixture m;
  m.V(0, 0, 0);
  m.V(1, 1, 1);
  m.V(2, 2, 2);
  CFace3d* f = m.F(0, 1, 2);
  f->m_Normal.Set(1, 2, 3);
  f->CalculateNormal();
  ExpectVec(f->m_Normal, 0, 0, 0, 0);
  EXPECT_FALSE(std::isnan(f->m_Normal.x));
  EXPECT_EQ(f->Area(), 0.0);
  EXPECT_EQ(f->Compacity(), 0.0); // zero area, non-zero perimeter
  double a, b, c, d;
  EXPECT_EQ(FacePlane(f, a, b, c, d), 0);
  CVector3d out;
  EXPECT_EQ(ProjectOnPlane(CVector3d(0, 0, 5), f, out), 0);
}

TEST(Face3d, CompacityOfEquilateralAndOfZeroPerimeter) {
  Fixture m;
  m.V(0, 0, 0);
  m.V(2, 0, 0);
  m.V(1, std::sqrt(3.0), 0);
  CFace3d* f = m.F(0, 1, 2);
  EXPECT_NEAR(f->Compacity(), 0.6046, 1e-4);
  EXPECT_NEAR(f->Compacity(), 3.14159265359 * std::sqrt(3.0) / 9.0, 1e-9);
  // Mean with another face.
  m.V(0, 0, 0);
  m.V(0, 0, 0);
  m.V(0, 0, 0);
  CFace3d* g = m.F(3, 4, 5); // three coincident corners: perimeter 0
  EXPECT_EQ(g->Perimeter(), 0.0);
  EXPECT_EQ(g->Compacity(), 0.0);
  EXPECT_FALSE(std::isnan(g->Compacity()));
  EXPECT_NEAR(f->Compacity(g), f->Compacity() / 2.0, 1e-15);
}

TEST(Face3d, NullCornerNeverCrashes) {
  CVertex3d a(0, 0, 0), b(1, 0, 0);
  CFace3d f(&a, &b, nullptr);
  f.CalculateNormal();
  ExpectVec(f.m_Normal, 0, 0, 0, 0);
  EXPECT_EQ(f.Area(), 0.0);
  EXPECT_EQ(f.Perimeter(), 0.0);
  EXPECT_EQ(f.Compacity(), 0.0);
  EXPECT_FALSE(f.IsValid());
  EXPECT_TRUE(f.HasNullVertex());
  EXPECT_EQ(f.NbVertex(), 2);
  EXPECT_FALSE(IsInsideTriangle(CVector3d(0.1, 0, 0), &f));
  CVector3d out(7, 7, 7);
  EXPECT_GT(PointTriangleDistance(CVector3d(0, 0, 1), &f, out), 1e300);
  EXPECT_EQ(f.OtherVertex(&a, &b), nullptr);
  EXPECT_EQ(f.SameTags(), 0);
  int sharp[3] = {5, 5, 5};
  EXPECT_EQ(f.SharpEdges(0.1, sharp), 0);
  EXPECT_EQ(sharp[0], 0); // outputs cleared
  CFace3d g(&a, &b, nullptr);
  f.SetNeighbors(&g, nullptr, nullptr);
  g.SetNeighbors(&f, nullptr, nullptr);
  EXPECT_EQ(f.FlipEdge(&g), 0);
  EXPECT_EQ(NormalSine(&f, &g), 0.0);
  EXPECT_EQ(NormalAngle(&f, &g), 0.0);
  EXPECT_EQ(f.SharpEdges(0.1, sharp), 0);
  // A vertex whose face list holds the broken face.
  a.AddFace(&f);
  a.AddFace(nullptr);
  EXPECT_TRUE(a.IsBoundaryVertex());
  EXPECT_EQ(a.MeanFaceArea(), 0.0);
  EXPECT_EQ(a.FindFace(&b, nullptr), nullptr);
}

TEST(Vertex3d, NullEntriesInListsAreSkipped) {
  CVertex3d v(0, 0, 0), n(1, 0, 0), w(0, 1, 0);
  v.m_ArrayVertexNeighbor.Add(nullptr);
  v.AddNeighbor(&n);
  v.m_ArrayFaceNeighbor.Add(nullptr);
  EXPECT_EQ(v.NbNeighborWithFlag(0), 1);
  EXPECT_EQ(v.NearestNeighborWithFlag(0), &n);
  EXPECT_EQ(v.NeighborWithFlagSharingFaceWithFlag(0, 0), nullptr);
  EXPECT_EQ(v.MostAlignedNeighbor(CVector3d(1, 0, 0)), &n);
  EXPECT_DOUBLE_EQ(v.MeanDistanceToNeighbors(), 1.0);
  EXPECT_FALSE(v.HasBoundaryNeighbor());
  CArray3d<CVertex3d> out;
  EXPECT_EQ(v.CollectNeighborsWithTag(0, out), 1);
  EXPECT_EQ(v.NbBoundaryNeighborWithTag(0), 0);
  v.UpdateFaceVertex(&n, &w);
  v.UpdateNeighbor(&n, nullptr);
  EXPECT_FALSE(v.HasNeighbor(&n));
  EXPECT_EQ(v.SharpCount(0.0), 2); // one (null) face entry
  EXPECT_EQ(v.MaxNormalSine(), 0.0);
  // A shared face with a null corner: the merge is refused.
  CFace3d f(&v, &n, nullptr);
  v.AddFace(&f);
  n.AddFace(&f);
  EXPECT_EQ(v.MergeInto(&n, 1, 2), 0);
  EXPECT_EQ(n.GetTarget(), nullptr);
}

//////////////////////////////////////////////////////////////////////
// Corners and neighbours
//////////////////////////////////////////////////////////////////////

TEST(Face3d, CornerAndNeighbourQueries) {
  Fixture m;
  m.Grid(2);
  // Face 0 = (v0, v1, v4), face 1 = (v0, v4, v3).
  CFace3d* f0 = m.f[0];
  CFace3d* f1 = m.f[1];
  int i = -1;
  EXPECT_TRUE(f0->IndexOfVertex(m.v[4], i));
  EXPECT_EQ(i, 2);
  EXPECT_FALSE(f0->IndexOfVertex(m.v[3], i));
  EXPECT_FALSE(f0->IndexOfVertex(nullptr, i));
  EXPECT_TRUE(f0->HasNeighbor(f1));
  EXPECT_TRUE(f0->IndexOfNeighbor(f1, i));
  EXPECT_EQ(i, 2); // edge (v4, v0)
  EXPECT_EQ(f0->OtherVertex(m.v[0], m.v[4]), m.v[1]);
  EXPECT_EQ(f0->VertexSharedWith(m.v[0], f1), m.v[4]);
  EXPECT_TRUE(f0->SharesEdge(f1));
  CVertex3d *a = nullptr, *b = nullptr;
  EXPECT_TRUE(f0->SharedEdge(f1, a, b));
  EXPECT_EQ(a, m.v[4]); // corners 2, 0 in f0's orientation
  EXPECT_EQ(b, m.v[0]);
  EXPECT_TRUE(f1->SharedEdge(f0, a, b));
  EXPECT_EQ(a, m.v[0]);
  EXPECT_EQ(b, m.v[4]);
  EXPECT_FALSE(f0->SharesEdge(m.f[7]));
  EXPECT_FALSE(f0->SharedEdge(m.f[7], a, b));
  EXPECT_TRUE(f0->SameVertices(f0));
  EXPECT_FALSE(f0->SameVertices(f1));
  EXPECT_FALSE(f0->SameVertices(nullptr));
  EXPECT_TRUE(f0->HasVertices(m.v[1], m.v[4], m.v[0]));
  EXPECT_EQ(f0->NbNeighbor(), 2);                        // bottom edge is boundary
  EXPECT_EQ(f0->NeighborWith(m.v[4], m.v[0]), f0->f(1)); // face across (v1, v4)
  EXPECT_EQ(f0->NeighborWithout(m.v[1]), f1);
  CArray3d<CFace3d> list;
  list.Add(f1);
  EXPECT_EQ(f0->NeighborNotIn(m.v[4], list), f0->f(1));
  list.Add(f0->f(1));
  EXPECT_EQ(f0->NeighborNotIn(m.v[4], list), nullptr);
  EXPECT_EQ(f0->OtherNeighbor(f1, nullptr), f0->f(1));
  CVertex3d p(0.9, 0.2, 0);
  EXPECT_EQ(f0->NearestVertex(&p), m.v[1]);
  CVertex3d mid(0.5, 0.0, 0); // equidistant from v0 and v1: first wins
  EXPECT_EQ(f0->NearestVertex(&mid), m.v[0]);
  ExpectVec(f0->Center(), 2.0 / 3.0, 1.0 / 3.0, 0);
}

TEST(Face3d, UpdateVertexAndNeighbor) {
  Fixture m;
  m.V(0, 0, 0);
  m.V(1, 0, 0);
  m.V(0, 1, 0);
  m.V(0, -1, 0);
  CFace3d* f = m.F(0, 1, 2);
  CFace3d* g = m.F(0, 3, 1);
  f->CalculateNormal();
  EXPECT_EQ(f->UpdateVertex(m.v[3], m.v[2]), 0);
  EXPECT_EQ(f->UpdateVertex(m.v[2], m.v[3]), 1);
  EXPECT_EQ(f->v(2), m.v[3]);
  ExpectVec(f->m_Normal, 0, 0, -1, 0); // recomputed
  EXPECT_EQ(f->UpdateNeighbor(g, nullptr), 0);
  f->SetNeighbor(1, g);
  EXPECT_EQ(f->UpdateNeighbor(g, nullptr), 1);
  EXPECT_EQ(f->f(1), nullptr);
  // v(i) and f(i) wrap modulo 3.
  f->SetVertex(4, m.v[0]);
  EXPECT_EQ(f->v(1), m.v[0]);
  EXPECT_EQ(f->v(7), m.v[0]);
  EXPECT_EQ(f->NbVertex(), 3);
  f->SetNeighbor(0, g);
  EXPECT_EQ(f->f(3), g);
  CFace3d copy;
  copy.CopyVertices(f);
  copy.CopyNeighbors(f);
  EXPECT_EQ(copy.v(1), m.v[0]);
  EXPECT_EQ(copy.f(0), g);
}

TEST(Face3d, CornerFlagsAndTags) {
  CVertex3d a, b, c;
  CFace3d f(&a, &b, &c);
  f.SetCornerFlags(2);
  EXPECT_EQ(f.NbCornerWithFlag(2), 3);
  f.SetCornerFlagsExcept(&b, 5);
  EXPECT_EQ(a.m_Flag, 5);
  EXPECT_EQ(b.m_Flag, 2);
  EXPECT_EQ(f.IndexOfCornerWithFlag(2), 1);
  EXPECT_EQ(f.IndexOfCornerWithFlag(9), 0);
  EXPECT_EQ(f.CornerWithFlag(2), &b);
  EXPECT_EQ(f.CornerWithFlag(9), nullptr);
  EXPECT_TRUE(f.HasCornerWithFlag(5));
  f.SetCornerFlagsIfNot(5, 7);
  EXPECT_EQ(a.m_Flag, 5);
  EXPECT_EQ(b.m_Flag, 7);
  EXPECT_EQ(c.m_Flag, 5);
  a.SetTagB(1);
  b.SetTagB(4);
  c.SetTagB(-2);
  EXPECT_EQ(f.NbCornerWithTag(4), 1);
  EXPECT_EQ(f.MaxTagDifference(), 6);
  EXPECT_FALSE(f.SameTags());
  a.SetTagB(3);
  b.SetTagB(3);
  c.SetTagB(3);
  EXPECT_TRUE(f.SameTags());
  EXPECT_EQ(f.MaxTagDifference(), 0);
}

TEST(Face3d, ValenceTests) {
  Fixture m;
  m.Tetrahedron();
  EXPECT_EQ(m.f[0]->ValenceSum(), 9);
  EXPECT_EQ(m.f[0]->NoValence3Near(), 0);
  EXPECT_FALSE(m.f[0]->HasBoundaryVertex());
  Fixture g;
  g.Grid(6);
  // Only the grid corners (0,0) and (6,6) have valence 3 (the other two
  // have valence 2). Face 28 = ((2,2), (3,2), (3,3)) is far from them.
  CFace3d* inner = g.f[28];
  EXPECT_TRUE(inner->HasVertices(g.v[16], g.v[17], g.v[24]));
  EXPECT_TRUE(inner->IsValid());
  EXPECT_FALSE(inner->HasBoundaryVertex());
  EXPECT_EQ(inner->ValenceSum(), 18);
  EXPECT_EQ(inner->NoValence3Near(), 1);
  // Face 0 has the corner (0,0) itself; face 2 = ((1,0), (2,0), (2,1)) has
  // (1,0), a neighbour of that corner.
  EXPECT_EQ(g.v[0]->NbNeighbor(), 3);
  EXPECT_EQ(g.f[0]->NoValence3Near(), 0);
  EXPECT_EQ(g.f[2]->NoValence3Near(), 0);
  EXPECT_EQ(g.f[4]->NoValence3Near(), 1);
  EXPECT_TRUE(g.f[0]->HasBoundaryVertex());
}

//////////////////////////////////////////////////////////////////////
// Validity
//////////////////////////////////////////////////////////////////////

TEST(Face3d, IsValid) {
  Fixture m;
  m.Grid(1);
  CFace3d* f = m.f[0];
  CFace3d* g = m.f[1];
  EXPECT_TRUE(f->IsValid());
  EXPECT_TRUE(g->IsValid());
  // Same neighbour on two edges.
  f->SetNeighbor(0, g);
  EXPECT_FALSE(f->IsValid());
  m.Link();
  EXPECT_TRUE(f->IsValid());
  // Neighbour that does not point back.
  g->SetNeighbors(nullptr, nullptr, nullptr);
  EXPECT_FALSE(f->IsValid());
  EXPECT_TRUE(g->IsValid());
  m.Link();
  // Own neighbour.
  f->SetNeighbor(0, f);
  EXPECT_FALSE(f->IsValid());
  m.Link();
  // Two equal corners.
  f->SetVertex(1, f->v(0));
  EXPECT_TRUE(f->IsDegenerate());
  EXPECT_FALSE(f->IsValid());
}

//////////////////////////////////////////////////////////////////////
// Edge flip
//////////////////////////////////////////////////////////////////////

TEST(Face3d, FlipEdgeRefusedWhenOppositeCornersAreConnected) {
  Fixture m;
  m.Tetrahedron();
  CFace3d* A = m.f[0];
  CFace3d* B = A->f(0);
  ASSERT_NE(B, nullptr);
  CVertex3d* before[2][3];
  CFace3d* nbefore[2][3];
  for (int k = 0; k < 3; k++) {
    before[0][k] = A->v(k);
    before[1][k] = B->v(k);
    nbefore[0][k] = A->f(k);
    nbefore[1][k] = B->f(k);
  }
  EXPECT_EQ(A->FlipEdge(B), 0);
  for (int k = 0; k < 3; k++) {
    EXPECT_EQ(A->v(k), before[0][k]);
    EXPECT_EQ(B->v(k), before[1][k]);
    EXPECT_EQ(A->f(k), nbefore[0][k]);
    EXPECT_EQ(B->f(k), nbefore[1][k]);
  }
  m.ExpectConsistent();
  // Not a neighbour: refused too.
  Fixture g;
  g.Grid(2);
  EXPECT_EQ(g.f[0]->FlipEdge(g.f[7]), 0);
  EXPECT_EQ(g.f[0]->FlipEdge(nullptr), 0);
  g.ExpectConsistent();
}

TEST(Face3d, FlipEdgeRelinksEverything) {
  Fixture m;
  CVertex3d* p = m.V(0, 0);
  CVertex3d* q = m.V(2, 0);
  CVertex3d* a = m.V(1, 1);
  CVertex3d* b = m.V(1, -1);
  m.V(2.5, 1);                // 4 c
  m.V(-0.5, 1);               // 5 d
  m.V(-0.5, -1);              // 6 e
  m.V(2.5, -1);               // 7 g
  CFace3d* A = m.F(0, 1, 2);  // (p, q, a)
  CFace3d* B = m.F(1, 0, 3);  // (q, p, b)
  CFace3d* X1 = m.F(2, 1, 4); // across (q, a)
  CFace3d* X2 = m.F(0, 2, 5); // across (a, p)
  CFace3d* Y1 = m.F(3, 0, 6); // across (p, b)
  CFace3d* Y2 = m.F(1, 3, 7); // across (b, q)
  m.Link();
  m.ExpectConsistent();
  ASSERT_EQ(A->f(0), B);
  ASSERT_EQ(A->f(1), X1);
  ASSERT_EQ(B->f(1), Y1);
  EXPECT_TRUE(p->HasNeighbor(q));
  EXPECT_FALSE(a->HasNeighbor(b));

  EXPECT_EQ(A->FlipEdge(B), 1);

  // Corners: A = (p, b, a), B = (q, a, b).
  EXPECT_EQ(A->v(0), p);
  EXPECT_EQ(A->v(1), b);
  EXPECT_EQ(A->v(2), a);
  EXPECT_EQ(B->v(0), q);
  EXPECT_EQ(B->v(1), a);
  EXPECT_EQ(B->v(2), b);
  // Neighbours.
  EXPECT_EQ(A->f(0), Y1);
  EXPECT_EQ(A->f(1), B);
  EXPECT_EQ(A->f(2), X2);
  EXPECT_EQ(B->f(0), X1);
  EXPECT_EQ(B->f(1), A);
  EXPECT_EQ(B->f(2), Y2);
  EXPECT_TRUE(X1->HasNeighbor(B));
  EXPECT_FALSE(X1->HasNeighbor(A));
  EXPECT_TRUE(Y1->HasNeighbor(A));
  EXPECT_FALSE(Y1->HasNeighbor(B));
  // Vertex lists.
  EXPECT_FALSE(p->HasNeighbor(q));
  EXPECT_FALSE(q->HasNeighbor(p));
  EXPECT_TRUE(a->HasNeighbor(b));
  EXPECT_TRUE(b->HasNeighbor(a));
  EXPECT_TRUE(p->HasFace(A));
  EXPECT_FALSE(p->HasFace(B));
  EXPECT_TRUE(q->HasFace(B));
  EXPECT_FALSE(q->HasFace(A));
  EXPECT_TRUE(a->HasFace(A) && a->HasFace(B));
  EXPECT_TRUE(b->HasFace(A) && b->HasFace(B));
  // Orientation kept (all normals +z) and full consistency.
  ExpectVec(A->m_Normal, 0, 0, 1);
  ExpectVec(B->m_Normal, 0, 0, 1);
  m.ExpectConsistent();

  // Flipping back restores the original diagonal.
  EXPECT_EQ(B->FlipEdge(A), 1);
  EXPECT_TRUE(p->HasNeighbor(q));
  EXPECT_FALSE(a->HasNeighbor(b));
  m.ExpectConsistent();
  // ... and the pair can be flipped again; then a face holding the new
  // diagonal's ends as opposite corners is refused.
  EXPECT_EQ(A->FlipEdge(B), 1);
  m.ExpectConsistent();
  p->AddNeighbor(q); // pretend p and q are joined elsewhere
  q->AddNeighbor(p);
  EXPECT_EQ(A->FlipEdge(B), 0);
  EXPECT_EQ(B->FlipEdge(A), 0);
  EXPECT_EQ(A->v(1), b);
}

//////////////////////////////////////////////////////////////////////
// Vertex lists and queries
//////////////////////////////////////////////////////////////////////

TEST(Vertex3d, NeighbourAndFaceLists) {
  CVertex3d a, b, c;
  EXPECT_EQ(a.AddNeighbor(&b), 1);
  EXPECT_EQ(a.AddNeighbor(&b), 0);
  a.AddNeighbor(&c);
  EXPECT_EQ(a.NbNeighbor(), 2);
  EXPECT_TRUE(a.HasNeighbor(&c));
  EXPECT_EQ(a.RemoveNeighbor(&b), 1);
  EXPECT_EQ(a.GetNeighbor(0), &c);
  // UpdateNeighbor: old removed, new added both ways.
  a.UpdateNeighbor(&c, &b);
  EXPECT_FALSE(a.HasNeighbor(&c));
  EXPECT_TRUE(a.HasNeighbor(&b));
  EXPECT_TRUE(b.HasNeighbor(&a));
  EXPECT_EQ(b.NbNeighbor(), 1);
  a.UpdateNeighbor(&b, &b); // already there: no duplicates
  EXPECT_EQ(a.NbNeighbor(), 1);
  EXPECT_EQ(b.NbNeighbor(), 1);
  // Updating to itself only removes.
  a.UpdateNeighbor(&b, &a);
  EXPECT_EQ(a.NbNeighbor(), 0);
  EXPECT_FALSE(a.HasNeighbor(&a));
  CFace3d f(&a, &b, &c);
  EXPECT_EQ(a.AddFace(&f), 1);
  EXPECT_EQ(a.AddFace(&f), 0);
  EXPECT_EQ(a.NbFace(), 1);
  EXPECT_EQ(a.RemoveFace(&f), 1);
  EXPECT_EQ(a.NbFace(), 0);
}

TEST(Vertex3d, FindFaceSharedFacesAndUpdateFaceVertex) {
  Fixture m;
  m.Grid(2); // vertex 4 is the centre
  CVertex3d* c = m.v[4];
  EXPECT_EQ(c->NbFace(), 6);
  EXPECT_EQ(c->NbNeighbor(), 6);
  EXPECT_EQ(c->FindFace(m.v[0], m.v[1]), m.f[0]);
  EXPECT_EQ(c->FindFace(m.v[1], m.v[0]), m.f[0]);
  EXPECT_EQ(c->FindFace(m.v[0], m.v[0]), nullptr);
  EXPECT_EQ(c->FindFace(c, m.v[0]), nullptr);
  EXPECT_EQ(c->FindFace(m.v[0], m.v[8]), nullptr);
  CArray3d<CFace3d> shared;
  EXPECT_EQ(c->SharedFaces(m.v[0], shared), 2);
  EXPECT_EQ(c->SharedFaces(m.v[1], shared), 2);
  EXPECT_EQ(c->SharedFaces(m.v[2], shared), 0); // not adjacent
  EXPECT_EQ(shared.GetSize(), 4);
  EXPECT_EQ(shared[0], m.f[0]);
  EXPECT_EQ(c->SharedFaces(nullptr, shared), 0);
  CVertex3d other(5, 5, 5);
  c->UpdateFaceVertex(m.v[0], &other);
  EXPECT_EQ(m.f[0]->v(0), &other);
  EXPECT_EQ(m.f[1]->v(0), &other);
  EXPECT_EQ(m.f[2]->v(0), m.v[1]); // not incident to c: untouched
  c->UpdateFaceVertex(&other, m.v[0]);
  m.ExpectConsistent();
}

TEST(Vertex3d, Boundary) {
  Fixture m;
  m.Grid(2);
  EXPECT_TRUE(m.v[0]->IsBoundaryVertex());
  EXPECT_TRUE(m.v[1]->IsBoundaryVertex());
  EXPECT_FALSE(m.v[4]->IsBoundaryVertex());
  EXPECT_TRUE(m.v[4]->HasBoundaryNeighbor());
  Fixture t;
  t.Tetrahedron();
  for (CVertex3d* v : t.v) {
    EXPECT_FALSE(v->IsBoundaryVertex());
    EXPECT_FALSE(v->HasBoundaryNeighbor());
  }
  CVertex3d lonely;
  EXPECT_FALSE(lonely.IsBoundaryVertex());
}

TEST(Vertex3d, QueriesByFlagAndTag) {
  Fixture m;
  m.Grid(2);
  CVertex3d* c = m.v[4]; // neighbours 1, 5, 8, 7, 3, 0 (some order)
  for (CVertex3d* v : m.v) v->m_Flag = 0;
  m.v[1]->m_Flag = 2;
  m.v[3]->m_Flag = 2;
  m.v[8]->m_Flag = 2;
  EXPECT_EQ(c->NbNeighborWithFlag(2), 3);
  EXPECT_EQ(c->NbNeighborWithFlag(7), 0);
  // v1 and v3 are at distance 1, v8 at sqrt(2): first of the equals wins.
  CVertex3d* firstEqual = nullptr;
  for (CVertex3d* v : c->m_ArrayVertexNeighbor)
    if (v == m.v[1] || v == m.v[3]) {
      firstEqual = v;
      break;
    }
  EXPECT_EQ(c->NearestNeighborWithFlag(2), firstEqual);
  EXPECT_EQ(c->NearestNeighborWithFlag(9), nullptr);
  // Face 7 = (4, 8, 7) has flag 3: v8 shares it.
  for (CFace3d* f : m.f) f->m_Flag = 0;
  m.f[7]->m_Flag = 3;
  EXPECT_EQ(c->NeighborWithFlagSharingFaceWithFlag(2, 3), m.v[8]);
  EXPECT_EQ(c->NeighborWithFlagSharingFaceWithFlag(2, 4), nullptr);
  // Tag B.
  m.v[5]->SetTagB(6);
  m.v[7]->SetTagB(6);
  m.v[7]->m_Flag = 1;
  EXPECT_EQ(c->NbBoundaryNeighborWithTag(6), 2);
  CVertex3d* first = c->FirstBoundaryNeighborWithTag(6);
  EXPECT_TRUE(first == m.v[5] || first == m.v[7]);
  EXPECT_EQ(c->NeighborWithTagAndFlag(6, 1), m.v[7]);
  EXPECT_EQ(c->NeighborWithTagAndFlag(6, 2), nullptr);
  CArray3d<CVertex3d> out;
  EXPECT_EQ(c->CollectNeighborsWithTag(6, out), 2);
  EXPECT_EQ(out.GetSize(), 2);
  EXPECT_EQ(c->CollectNeighborsWithTag(0, out), 4);
  // A tagged interior vertex is not a boundary neighbour.
  Fixture g;
  g.Grid(3); // interior vertices 5, 6, 9, 10
  g.v[6]->SetTagB(1);
  g.v[1]->SetTagB(1);
  EXPECT_EQ(g.v[5]->NbBoundaryNeighborWithTag(1), 1);
  EXPECT_EQ(g.v[5]->FirstBoundaryNeighborWithTag(1), g.v[1]);
}

TEST(Vertex3d, MostAlignedNeighbor) {
  Fixture m;
  m.Grid(2);
  CVertex3d* c = m.v[4];
  EXPECT_EQ(c->MostAlignedNeighbor(CVector3d(1, 0, 0)), m.v[5]);
  EXPECT_EQ(c->MostAlignedNeighbor(CVector3d(1, 1.2, 0)), m.v[8]);
  EXPECT_EQ(c->MostAlignedNeighbor(CVector3d(-1, -1, 0)), m.v[0]);
  EXPECT_EQ(c->MostAlignedNeighbor(CVector3d(0, 0, 1)), nullptr); // none positive
  CVertex3d lonely;
  EXPECT_EQ(lonely.MostAlignedNeighbor(CVector3d(1, 0, 0)), nullptr);
}

//////////////////////////////////////////////////////////////////////
// Measures
//////////////////////////////////////////////////////////////////////

TEST(Vertex3d, Measures) {
  Fixture m;
  m.Grid(2);
  CVertex3d* c = m.v[4];
  EXPECT_DOUBLE_EQ(c->MeanFaceArea(), 0.5);
  EXPECT_DOUBLE_EQ(c->MinFaceArea(), 0.5);
  double comp = 4.0 * 3.14159265359 * 0.5 / std::pow(2.0 + std::sqrt(2.0), 2);
  EXPECT_NEAR(c->MeanCompacity(), comp, 1e-12);
  EXPECT_NEAR(c->MeanDistanceToNeighbors(), (4.0 + 2.0 * std::sqrt(2.0)) / 6.0, 1e-12);
  // Planar: all normal sines are 0.
  EXPECT_EQ(c->SumNormalSine(), 0.0);
  EXPECT_EQ(c->MaxNormalSine(), 0.0);
  EXPECT_EQ(c->MaxNormalAngle(), 0.0);
  CVertex3d lonely;
  EXPECT_EQ(lonely.MeanFaceArea(), 0.0);
  EXPECT_EQ(lonely.MinFaceArea(), 1.7e308);
  EXPECT_EQ(lonely.MeanCompacity(), 0.0);
  EXPECT_EQ(lonely.MeanDistanceToNeighbors(), 0.0);
  EXPECT_EQ(lonely.SumNormalSine(), 0.0);
}

TEST(Vertex3d, NormalSineMeasuresOnFold) {
  Fixture m;
  m.Grid(2);
  // Lift the right column: the faces right of x = 1 fold up by 45 degrees.
  m.v[2]->z = 1;
  m.v[5]->z = 1;
  m.v[8]->z = 1;
  CVertex3d* c = m.v[4];
  // Around v4 the adjacent face pairs are f0-f1, f0-f3, f1-f4, f3-f6, f4-f7
  // and f6-f7; only f0-f3 (edge 1-4) and f4-f7 (edge 4-7) cross the fold.
  double s = std::sin(3.14159265359 / 4);
  EXPECT_NEAR(c->MaxNormalSine(), s, 1e-6);
  EXPECT_NEAR(c->MaxNormalAngle(), 3.14159265359 / 4, 1e-6);
  EXPECT_NEAR(c->SumNormalSine(), 2 * s, 1e-6);
  EXPECT_EQ(c->SharpCount(0.5), 2);
  EXPECT_EQ(c->SharpCount(0.9), 0);
  EXPECT_EQ(c->SharpCount(0.0), 6); // every adjacent pair around the vertex
}

TEST(Vertex3d, SharpCount) {
  Fixture m;
  m.Grid(2);
  // Boundary vertex: 3 regardless of the threshold.
  EXPECT_EQ(m.v[0]->SharpCount(0.0), 3);
  EXPECT_EQ(m.v[1]->SharpCount(100.0), 3);
  EXPECT_EQ(m.v[4]->SharpCount(0.1), 0);
  // Tetrahedron corner: 3 faces, 3 adjacent pairs, all sharp.
  Fixture t;
  t.Tetrahedron();
  EXPECT_EQ(t.v[0]->SharpCount(0.5), 3);
  EXPECT_EQ(t.v[0]->SharpCount(1.1), 0);
  // 0 faces -> 0; 1 face without boundary information -> 2.
  CVertex3d lonely;
  EXPECT_EQ(lonely.SharpCount(0.0), 0);
  CVertex3d a, b(1, 0, 0), c(0, 1, 0);
  CFace3d f(&a, &b, &c), g(&a, &c, &b), h(&a, &c, &b);
  f.SetNeighbors(&g, &g, &h); // not valid, but no null neighbour
  a.AddFace(&f);
  EXPECT_FALSE(a.IsBoundaryVertex());
  EXPECT_EQ(a.SharpCount(0.0), 2);
}

TEST(Vertex3d, EdgeTags) {
  CVertex3d a, b, c;
  CEdge3d ab(&a, &b), ca(&c, &a, 4);
  a.MutableEdgeList().Add(&ab);
  a.MutableEdgeList().Add(&ca);
  EXPECT_EQ(a.SetEdgeTag(&c, 7), 1); // either orientation
  EXPECT_EQ(ca.m_Tag, 7);
  EXPECT_EQ(a.SetEdgeTag(&a, 7), 0);
  EXPECT_EQ(a.NbEdgeWithTag(7), 1);
  EXPECT_EQ(a.GetCounter(), 1);
  EXPECT_EQ(a.NbEdgeWithTag(0), 1);
  EXPECT_EQ(a.NbEdgeWithTag(3), 0);
  EXPECT_EQ(a.GetCounter(), 0);
}

//////////////////////////////////////////////////////////////////////
// History
//////////////////////////////////////////////////////////////////////

TEST(Vertex3d, HistoryPushPop) {
  CVertex3d v(0.1, 0.2, 0.3);
  EXPECT_EQ(v.PopHistory(), 0);
  v.PushPosition();
  v.Set(5, 6, 7);
  v.PushCreated();
  ASSERT_NE(v.GetHistory(), nullptr);
  EXPECT_EQ(v.PopHistory(), 1); // kind 4: nothing else
  EXPECT_EQ(v.x, 5.0);
  EXPECT_EQ(v.PopHistory(), 1); // kind 3: float position
  EXPECT_EQ(v.x, static_cast<double>(0.1f));
  EXPECT_EQ(v.y, static_cast<double>(0.2f));
  EXPECT_EQ(v.z, static_cast<double>(0.3f));
  EXPECT_EQ(v.GetHistory(), nullptr); // freed when empty
  EXPECT_EQ(v.PopHistory(), 0);
  // A destructor with a non-empty history discards it (ASan checks leaks).
  CVertex3d* w = new CVertex3d(1, 1, 1);
  w->PushPosition();
  w->PushPosition();
  delete w;
  // ClearHistory discards without restoring.
  v.PushPosition();
  v.Set(9, 9, 9);
  v.ClearHistory();
  EXPECT_EQ(v.x, 9.0);
  EXPECT_EQ(v.GetHistory(), nullptr);
}

TEST(Face3d, HistoryPushPop) {
  CVertex3d a(0, 0, 0), b(1, 0, 0), c(0, 1, 0), d(0, -1, 0);
  CFace3d f(&a, &b, &c);
  f.CalculateNormal();
  EXPECT_EQ(f.PopHistory(), 0);
  f.PushCorner(2);
  f.SetVertex(2, &d);
  f.CalculateNormal();
  ExpectVec(f.m_Normal, 0, 0, -1, 0);
  EXPECT_EQ(f.PopHistory(), 1);
  EXPECT_EQ(f.v(2), &c);
  ExpectVec(f.m_Normal, 0, 0, 1, 0); // recomputed
  EXPECT_EQ(f.GetHistory(), nullptr);
  f.PushCreated();
  f.PushCorner(0);
  f.SetVertex(0, &d);
  EXPECT_EQ(f.PopHistory(), 1);
  EXPECT_EQ(f.v(0), &a);
  EXPECT_EQ(f.PopHistory(), 1); // created: corners nulled
  EXPECT_EQ(f.v(0), nullptr);
  EXPECT_EQ(f.v(1), nullptr);
  EXPECT_EQ(f.v(2), nullptr);
  EXPECT_EQ(f.PopHistory(), 0);
  CFace3d* g = new CFace3d(&a, &b, &c);
  g->PushCreated();
  g->PushCorner(1);
  delete g; // never touches a, b, c
  EXPECT_EQ(a.x, 0.0);
}

//////////////////////////////////////////////////////////////////////
// Free triangle functions
//////////////////////////////////////////////////////////////////////

TEST(TriangleFunctions, DistancesAreaProject) {
  CVertex3d a(0, 0, 0), b(3, 4, 0), c(0, 4, 0);
  EXPECT_DOUBLE_EQ(DistanceSquared(&a, &b), 25.0);
  EXPECT_DOUBLE_EQ(Distance(&a, &b), 5.0);
  EXPECT_DOUBLE_EQ(Area(&a, &b, &c), 6.0);
  CVertex3d p(1, 1, 0), x0(0, 0, 0), x1(4, 0, 0);
  CVector3d out;
  EXPECT_DOUBLE_EQ(Project(&p, &x0, &x1, out), 1.0);
  ExpectVec(out, 1, 0, 0);
  CVector3d safe(9, 9, 9);
  EXPECT_EQ(ProjectSafe(&p, &x0, &x0, safe), 0);
  ExpectVec(safe, 9, 9, 9, 0); // not written
  EXPECT_EQ(ProjectSafe(&p, &x0, &x1, safe), 1);
  ExpectVec(safe, 1, 0, 0);
  // Beyond the segment: the foot is on the line.
  CVertex3d far(6, -2, 0);
  Project(&far, &x0, &x1, out);
  ExpectVec(out, 6, 0, 0);
  // Coincident ends: no NaN.
  EXPECT_DOUBLE_EQ(Project(&p, &x0, &x0, out), std::sqrt(2.0));
  EXPECT_TRUE(IsObtuseAt(CVector3d(1, 0, 0), CVector3d(0, 0, 0), CVector3d(4, 0, 0)));
  EXPECT_TRUE(IsObtuseAt(CVector3d(0, 0, 0), CVector3d(0, 0, 0), CVector3d(4, 0, 0)));
  EXPECT_FALSE(IsObtuseAt(CVector3d(5, 0, 0), CVector3d(0, 0, 0), CVector3d(4, 0, 0)));
  EXPECT_TRUE(IsObtuseAt(&x0, &c, &x1)); // right angle counts
  CArray3d<CVertex3d> list;
  list.Add(&a);
  list.Add(&b);
  list.Add(&c);
  ExpectVec(Centroid(list), 1, 8.0 / 3.0, 0);
  CArray3d<CVertex3d> empty;
  ExpectVec(Centroid(empty), 0, 0, 0, 0);
}

TEST(TriangleFunctions, FacePlaneNormalSineAngle) {
  Fixture m;
  m.V(0, 0, 2);
  m.V(1, 0, 2);
  m.V(0, 1, 2);
  m.V(0, 0, 3);
  CFace3d* f = m.F(0, 1, 2);
  CFace3d* g = m.F(0, 3, 1); // in the plane y = 0
  double a, b, c, d;
  ASSERT_EQ(FacePlane(f, a, b, c, d), 1);
  EXPECT_EQ(a, 0.0);
  EXPECT_EQ(b, 0.0);
  EXPECT_EQ(c, 1.0);
  EXPECT_EQ(d, -2.0);
  EXPECT_NEAR(NormalSine(f, g), 1.0, 1e-12);
  EXPECT_NEAR(NormalAngle(f, g), 3.14159265359 / 2, 1e-9);
  EXPECT_NEAR(NormalSine(f, f), 0.0, 1e-15);
  EXPECT_EQ(NormalAngle(f, f), 0.0);
  CVector3d out;
  ASSERT_EQ(ProjectOnPlane(CVector3d(5, 6, 7), f, out), 1);
  ExpectVec(out, 5, 6, 2);
  ASSERT_EQ(ProjectOnPlane(m.v[3], g, out), 1);
  ExpectVec(out, 0, 0, 3);
}

TEST(TriangleFunctions, ProjectOnTiltedPlaneUsesFloatCoefficients) {
  Fixture m;
  m.V(0, 0, 0);
  m.V(1, 0, 0.3);
  m.V(0, 1, 0.7);
  CFace3d* f = m.F(0, 1, 2);
  CVector3d p(0.2, 0.3, 5.0), out;
  ASSERT_EQ(ProjectOnPlane(p, f, out), 1);
  // On the plane (within single-precision accuracy) and along the normal.
  f->CalculateNormal();
  CVector3d n = f->m_Normal;
  EXPECT_NEAR((out - m.v[0]->Position()) * n, 0.0, 1e-6);
  CVector3d d = p - out;
  EXPECT_NEAR((d ^ n).Length(), 0.0, 1e-6);
}

TEST(TriangleFunctions, IsInsideTriangle) {
  CVertex3d a(0, 0, 0), b(2, 0, 0), c(0, 2, 0);
  CFace3d f(&a, &b, &c);
  EXPECT_TRUE(IsInsideTriangle(CVector3d(0.5, 0.5, 0), &f));
  EXPECT_TRUE(IsInsideTriangle(CVector3d(1, 0, 0), &f)); // on an edge
  EXPECT_TRUE(IsInsideTriangle(CVector3d(1, 1, 0), &f)); // on the hypotenuse
  EXPECT_TRUE(IsInsideTriangle(CVector3d(0, 0, 0), &f)); // on a corner
  EXPECT_FALSE(IsInsideTriangle(CVector3d(1.5, 1.5, 0), &f));
  EXPECT_FALSE(IsInsideTriangle(CVector3d(-0.1, 0.5, 0), &f));
  // Orientation does not matter.
  CFace3d g(&a, &c, &b);
  EXPECT_TRUE(IsInsideTriangle(CVector3d(0.5, 0.5, 0), &g));
  EXPECT_FALSE(IsInsideTriangle(CVector3d(3, 0, 0), &g));
}

TEST(TriangleFunctions, PointTriangleDistanceRegions) {
  CVertex3d a(0, 0, 0), b(2, 0, 0), c(0, 2, 0);
  CFace3d f(&a, &b, &c);
  CVector3d out;
  // Inside: the plane projection.
  EXPECT_NEAR(PointTriangleDistance(CVector3d(0.5, 0.5, 3), &f, out), 9.0, 1e-12);
  ExpectVec(out, 0.5, 0.5, 0);
  // Edge region of (a, b): the foot of the perpendicular.
  EXPECT_NEAR(PointTriangleDistance(CVector3d(1, -1, 1), &f, out), 2.0, 1e-12);
  ExpectVec(out, 1, 0, 0);
  // Edge region of the hypotenuse.
  EXPECT_NEAR(PointTriangleDistance(CVector3d(2, 2, 0), &f, out), 2.0, 1e-12);
  ExpectVec(out, 1, 1, 0);
  // Corner regions: feet fall outside every edge.
  EXPECT_NEAR(PointTriangleDistance(CVector3d(-1, -1, 0), &f, out), 2.0, 1e-12);
  ExpectVec(out, 0, 0, 0);
  EXPECT_NEAR(PointTriangleDistance(CVector3d(3, -1, 2), &f, out), 6.0, 1e-12);
  ExpectVec(out, 2, 0, 0);
  // On the triangle: distance 0.
  EXPECT_NEAR(PointTriangleDistance(CVector3d(1, 0, 0), &f, out), 0.0, 1e-15);
}

TEST(TriangleFunctions, PointTriangleDistanceTieRules) {
  // Degenerate (collinear) face: no plane, so corners and edges decide.
  CVertex3d a(0, 0, 0), b(2, 0, 0), c(4, 0, 0);
  CFace3d f(&a, &b, &c);
  CVector3d out;
  // Above b: corner b is at distance 1, and the feet on edges (a, b) and
  // (b, c) are b itself, also at distance 1: ties go to the later edge,
  // which is still b.
  EXPECT_NEAR(PointTriangleDistance(CVector3d(2, 1, 0), &f, out), 1.0, 1e-15);
  ExpectVec(out, 2, 0, 0);
  // Above (1, 0): the edge foot beats the corners.
  EXPECT_NEAR(PointTriangleDistance(CVector3d(1, 1, 0), &f, out), 1.0, 1e-15);
  ExpectVec(out, 1, 0, 0);
  // Edge (c, a) covers the whole segment: above (3, 0) its foot wins a tie
  // with the foot on (b, c).
  EXPECT_NEAR(PointTriangleDistance(CVector3d(3, 2, 0), &f, out), 4.0, 1e-15);
  ExpectVec(out, 3, 0, 0);
  // Equidistant corners, feet outside: the first corner wins.
  CVertex3d p(0, 0, 0), q(0, 0, 0), r(0, 0, 0);
  CFace3d g(&p, &q, &r);
  EXPECT_NEAR(PointTriangleDistance(CVector3d(0, 0, 1), &g, out), 1.0, 1e-15);
  ExpectVec(out, 0, 0, 0);
}

//////////////////////////////////////////////////////////////////////
// MergeInto
//////////////////////////////////////////////////////////////////////

TEST(Vertex3d, MergeIntoInteriorEdge) {
  Fixture m;
  m.Grid(3); // 16 vertices, 18 faces; interior 5, 6, 9, 10
  CVertex3d* keep = m.v[5];
  CVertex3d* gone = m.v[6];
  CArray3d<CFace3d> shared;
  ASSERT_EQ(keep->SharedFaces(gone, shared), 2);
  int valenceBefore = keep->NbNeighbor() + gone->NbNeighbor() - 2 - 2;
  ASSERT_EQ(keep->MergeInto(gone, 1, 2), 1);
  EXPECT_EQ(gone->m_Flag, 2);
  EXPECT_EQ(gone->GetTarget(), keep);
  EXPECT_EQ(gone->NbFace(), 0);
  EXPECT_EQ(gone->NbNeighbor(), 0);
  EXPECT_EQ(keep->GetTarget(), nullptr);
  for (int i = 0; i < 2; i++) {
    CFace3d* f = shared[i];
    EXPECT_EQ(f->m_Flag, 1);
    EXPECT_EQ(f->NbNeighbor(), 0);
    EXPECT_TRUE(f->IsDegenerate());
    EXPECT_EQ(f->Area(), 0.0);
  }
  int live = 0;
  for (CFace3d* f : m.f)
    if (f->m_Flag == 0) {
      live++;
      EXPECT_FALSE(f->HasVertex(gone));
      for (int k = 0; k < 3; k++) EXPECT_NE(f->f(k), shared[0]);
    }
  EXPECT_EQ(live, 16);
  EXPECT_EQ(keep->NbNeighbor(), valenceBefore);
  for (CVertex3d* v : m.v) EXPECT_FALSE(v->HasNeighbor(gone));
  m.ExpectConsistent();
}

TEST(Vertex3d, MergeIntoBoundaryEdge) {
  Fixture m;
  m.Grid(3);
  // Boundary edge (1, 2) at the bottom: one shared face.
  CVertex3d* keep = m.v[1];
  CVertex3d* gone = m.v[2];
  ASSERT_EQ(keep->MergeInto(gone, 1, 2), 1);
  EXPECT_EQ(gone->GetTarget(), keep);
  int live = 0;
  for (CFace3d* f : m.f) live += f->m_Flag == 0;
  EXPECT_EQ(live, 17);
  m.ExpectConsistent();
  EXPECT_TRUE(keep->IsBoundaryVertex());
}

TEST(Vertex3d, MergeIntoRefusals) {
  Fixture m;
  m.Grid(3);
  // No shared face.
  EXPECT_EQ(m.v[0]->MergeInto(m.v[15], 1, 2), 0);
  EXPECT_EQ(m.v[0]->MergeInto(nullptr, 1, 2), 0);
  EXPECT_EQ(m.v[0]->MergeInto(m.v[0], 1, 2), 0);
  m.ExpectConsistent();
  for (CVertex3d* v : m.v) EXPECT_EQ(v->GetTarget(), nullptr);
  // Third vertex of valence 3 not on the boundary: every edge of a
  // tetrahedron.
  Fixture t;
  t.Tetrahedron();
  EXPECT_EQ(t.v[0]->MergeInto(t.v[1], 1, 2), 0);
  EXPECT_EQ(t.v[1]->m_Flag, 0);
  for (CFace3d* f : t.f) EXPECT_EQ(f->m_Flag, 0);
  t.ExpectConsistent();
  // A valence-3 third vertex on the boundary is accepted: grid corner 0 has
  // neighbours 1, 4, 5; merging 5 and 1 gives shared faces with third
  // vertices 0 (valence 3, boundary) and 6.
  Fixture g;
  g.Grid(3);
  ASSERT_EQ(g.v[0]->NbNeighbor(), 3);
  EXPECT_EQ(g.v[5]->MergeInto(g.v[1], 1, 2), 1);
  g.ExpectConsistent();
  // Three shared faces (non-manifold fan): refused.
  Fixture fan;
  fan.V(0, 0, 0);
  fan.V(1, 0, 0);
  fan.V(0, 1, 0);
  fan.V(0, -1, 0);
  fan.V(0, 0, 1);
  fan.F(0, 1, 2);
  fan.F(1, 0, 3);
  fan.F(0, 1, 4);
  fan.Link();
  EXPECT_EQ(fan.v[0]->MergeInto(fan.v[1], 1, 2), 0);
}

//////////////////////////////////////////////////////////////////////
// Drawing, checked in an offscreen Mesa context when one is available
// (libEGL is opened at run time so that the suite needs no EGL link).
//////////////////////////////////////////////////////////////////////

namespace {

// The few EGL 1.4 types and constants used below (libEGL is opened at run
// time, so the suite needs neither the EGL headers nor an EGL link).
using EGLDisplay = void*;
using EGLSurface = void*;
using EGLContext = void*;
using EGLConfig = void*;
using EGLint = int32_t;
using EGLenum = unsigned int;
using EGLBoolean = unsigned int;
constexpr EGLDisplay EGL_NO_DISPLAY = nullptr;
constexpr EGLSurface EGL_NO_SURFACE = nullptr;
constexpr EGLContext EGL_NO_CONTEXT = nullptr;
constexpr void* EGL_DEFAULT_DISPLAY = nullptr;
constexpr EGLBoolean EGL_TRUE = 1;
constexpr EGLint EGL_NONE = 0x3038, EGL_SURFACE_TYPE = 0x3033, EGL_PBUFFER_BIT = 0x0001,
                 EGL_RENDERABLE_TYPE = 0x3040, EGL_OPENGL_BIT = 0x0008, EGL_RED_SIZE = 0x3024,
                 EGL_GREEN_SIZE = 0x3023, EGL_BLUE_SIZE = 0x3022, EGL_DEPTH_SIZE = 0x3025,
                 EGL_WIDTH = 0x3057, EGL_HEIGHT = 0x3056;
constexpr EGLenum EGL_OPENGL_API = 0x30A2;

class OffscreenGl {
public:
  OffscreenGl() {
    lib_ = dlopen("libEGL.so.1", RTLD_NOW | RTLD_LOCAL);
    if (!lib_) return;
    auto getProc = reinterpret_cast<void* (*)(const char*)>(dlsym(lib_, "eglGetProcAddress"));
    if (!getProc) return;
    auto load = [&](const char* name) {
      void* p = dlsym(lib_, name);
      return p ? p : getProc(name);
    };
    using GetPlatformDisplay = EGLDisplay (*)(EGLenum, void*, const EGLint*);
    auto getPlatformDisplay =
        reinterpret_cast<GetPlatformDisplay>(load("eglGetPlatformDisplayEXT"));
    auto initialize =
        reinterpret_cast<EGLBoolean (*)(EGLDisplay, EGLint*, EGLint*)>(load("eglInitialize"));
    auto bindApi = reinterpret_cast<EGLBoolean (*)(EGLenum)>(load("eglBindAPI"));
    auto chooseConfig =
        reinterpret_cast<EGLBoolean (*)(EGLDisplay, const EGLint*, EGLConfig*, EGLint, EGLint*)>(
            load("eglChooseConfig"));
    auto createPbuffer = reinterpret_cast<EGLSurface (*)(EGLDisplay, EGLConfig, const EGLint*)>(
        load("eglCreatePbufferSurface"));
    auto createContext =
        reinterpret_cast<EGLContext (*)(EGLDisplay, EGLConfig, EGLContext, const EGLint*)>(
            load("eglCreateContext"));
    auto makeCurrent =
        reinterpret_cast<EGLBoolean (*)(EGLDisplay, EGLSurface, EGLSurface, EGLContext)>(
            load("eglMakeCurrent"));
    if (!getPlatformDisplay || !initialize || !bindApi || !chooseConfig || !createPbuffer ||
        !createContext || !makeCurrent)
      return;
    const EGLenum kPlatformSurfaceless = 0x31DD; // EGL_PLATFORM_SURFACELESS_MESA
    display_ = getPlatformDisplay(kPlatformSurfaceless, EGL_DEFAULT_DISPLAY, nullptr);
    if (display_ == EGL_NO_DISPLAY || !initialize(display_, nullptr, nullptr)) {
      display_ = EGL_NO_DISPLAY;
      return;
    }
    if (!bindApi(EGL_OPENGL_API)) return;
    const EGLint configAttribs[] = {EGL_SURFACE_TYPE,
                                    EGL_PBUFFER_BIT,
                                    EGL_RENDERABLE_TYPE,
                                    EGL_OPENGL_BIT,
                                    EGL_RED_SIZE,
                                    8,
                                    EGL_GREEN_SIZE,
                                    8,
                                    EGL_BLUE_SIZE,
                                    8,
                                    EGL_DEPTH_SIZE,
                                    16,
                                    EGL_NONE};
    EGLConfig config;
    EGLint n = 0;
    if (!chooseConfig(display_, configAttribs, &config, 1, &n) || n < 1) return;
    const EGLint surfaceAttribs[] = {EGL_WIDTH, kSize, EGL_HEIGHT, kSize, EGL_NONE};
    surface_ = createPbuffer(display_, config, surfaceAttribs);
    if (surface_ == EGL_NO_SURFACE) return;
    context_ = createContext(display_, config, EGL_NO_CONTEXT, nullptr);
    if (context_ == EGL_NO_CONTEXT) return;
    ok_ = makeCurrent(display_, surface_, surface_, context_) == EGL_TRUE;
  }
  // Never destroyed (see Shared): Mesa's EGL teardown leaks a little,
  // which LeakSanitizer would report.
  ~OffscreenGl() = delete;

  // One context per process, made once and kept current.
  static OffscreenGl& Shared() {
    InstallRenderers();
    static OffscreenGl* gl = new OffscreenGl;
    return *gl;
  }
  bool ok() const { return ok_; }

  void Clear() {
    glViewport(0, 0, kSize, kSize);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
  }
  // Pixel at normalised device coordinates (x, y).
  CColor Pixel(double x, double y) {
    glFinish();
    int px = static_cast<int>((x + 1.0) / 2.0 * kSize);
    int py = static_cast<int>((y + 1.0) / 2.0 * kSize);
    unsigned char rgba[4] = {0, 0, 0, 0};
    glReadPixels(px, py, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return CColor(rgba[0], rgba[1], rgba[2], rgba[3]);
  }

  static constexpr int kSize = 64;

private:
  void* lib_ = nullptr;
  bool ok_ = false;
  EGLDisplay display_ = EGL_NO_DISPLAY;
  EGLSurface surface_ = EGL_NO_SURFACE;
  EGLContext context_ = EGL_NO_CONTEXT;
};

bool SameRgb(const CColor& a, const CColor& b) {
  return a.r == b.r && a.g == b.g && a.b == b.b;
}

} // namespace

TEST(ElementDraw, FaceHighlightAndVertexSpheres) {
  OffscreenGl& gl = OffscreenGl::Shared();
  if (!gl.ok()) GTEST_SKIP() << "no offscreen OpenGL context";
  const CColor black(0, 0, 0), red(255, 0, 0), green(0, 255, 0), blue(0, 0, 255);

  // Two triangles covering the lower-left and upper-right halves.
  CVertex3d a(-1, -1, 0), b(1, -1, 0), c(1, 1, 0), d(-1, 1, 0);
  CFace3d f(&a, &b, &c), g(&a, &c, &d);
  f.SetNeighbors(nullptr, nullptr, &g);
  g.SetNeighbors(&f, nullptr, nullptr);

  gl.Clear();
  f.glDrawHighlight(red, nullptr, &green);
  EXPECT_TRUE(SameRgb(gl.Pixel(0.5, -0.5), red));
  EXPECT_TRUE(SameRgb(gl.Pixel(-0.5, 0.5), green));

  // Without a neighbour colour only the face is drawn.
  gl.Clear();
  f.glDrawHighlight(red, nullptr, nullptr);
  EXPECT_TRUE(SameRgb(gl.Pixel(0.5, -0.5), red));
  EXPECT_TRUE(SameRgb(gl.Pixel(-0.5, 0.5), black));

  // The owner's transform is applied: translated out of the right half.
  CTransform t;
  t.m_Translation.Set(-2.0, 0.0, 0.0);
  gl.Clear();
  f.glDrawHighlight(red, &t, nullptr);
  EXPECT_TRUE(SameRgb(gl.Pixel(0.5, -0.5), black));

  // A face with a null corner does not crash.
  CFace3d broken(&a, nullptr, &c);
  gl.Clear();
  broken.glDrawHighlight(red, nullptr, &green);

  // Vertex highlight: sphere of the given radius and colour.
  CVertex3d v(0.25, 0.25, 0);
  gl.Clear();
  v.glDrawHighlight(0.5f, blue, nullptr);
  EXPECT_TRUE(SameRgb(gl.Pixel(0.25, 0.25), blue));
  EXPECT_TRUE(SameRgb(gl.Pixel(0.25, 0.6), blue));
  EXPECT_TRUE(SameRgb(gl.Pixel(-0.5, -0.5), black));
  gl.Clear();
  v.glDrawHighlight(0.5f, blue, &t);
  EXPECT_TRUE(SameRgb(gl.Pixel(0.25, 0.25), black));

  // glDraw: a tiny sphere (radius 0.0001) in the vertex colour; scaled up by
  // the modelview matrix it becomes visible.
  v.m_Color.Set(10, 200, 30);
  gl.Clear();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glScalef(5000.0f, 5000.0f, 1.0f);
  glTranslatef(-0.25f, -0.25f, 0.0f);
  EXPECT_EQ(v.glDraw(), 1);
  glLoadIdentity();
  EXPECT_TRUE(SameRgb(gl.Pixel(0.0, 0.0), CColor(10, 200, 30)));
  EXPECT_TRUE(SameRgb(gl.Pixel(0.8, 0.8), black));
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
