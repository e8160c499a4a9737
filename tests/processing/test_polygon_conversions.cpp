// Conversions between triangle, quad and polygon meshes, the polygon weld
// and "Triangle -> quad".

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <memory>
#include <set>
#include <utility>
#include <vector>

#include "geometry/Mesh3d.h"
#include "geometry/PolygonMesh.h"
#include "geometry/QuadMesh.h"
#include "processing/PolygonConversions.h"
#include "processing/QuadShapes.h"
#include "processing/TriangleToQuad.h"
#include "tests/support/TestMeshes.h"

namespace {

// One regular n-gon in z = 0.
std::unique_ptr<CPolygonMesh> NGon(int n) {
  std::vector<float> xyz;
  std::vector<int> corners;
  for (int k = 0; k < n; k++) {
    xyz.insert(xyz.end(), {std::cos(6.2831853f * k / n), std::sin(6.2831853f * k / n), 0.0f});
    corners.push_back(k);
  }
  return std::unique_ptr<CPolygonMesh>(MakePolygonMesh(xyz, {n}, corners));
}

std::vector<int> Sizes(const CPolygonMesh& mesh) {
  std::vector<int> sizes;
  for (int f = 0; f < mesh.NbFace(); f++) sizes.push_back(mesh.FaceSize(f));
  return sizes;
}

TEST(PolygonConversions, StarAddsOneCentrePerLargePolygon) {
  struct Case {
    int n, triangles, vertices;
  };
  for (Case c : {Case{3, 1, 3}, Case{4, 4, 5}, Case{7, 7, 8}}) {
    auto polygon = NGon(c.n);
    std::unique_ptr<CMesh3d> mesh(ToTriangleStar(*polygon));
    EXPECT_EQ(mesh->NbFace(), c.triangles) << c.n;
    EXPECT_EQ(mesh->NbVertex(), c.vertices) << c.n;
    // the centre is the corner mean and flagged as added
    if (c.n > 3) {
      const CVertex3d* centre = mesh->GetVertex(c.n);
      EXPECT_NEAR(centre->x, 0.0, 1e-6);
      EXPECT_EQ(centre->m_Flag, 1);
      EXPECT_EQ(mesh->GetVertex(0)->m_Flag, 0);
    }
    EXPECT_EQ(polygon->m_Vertices[c.n - 1].m_Index, c.n - 1);
  }
}

TEST(PolygonConversions, RegularTriangulationAddsNoVertex) {
  for (int n = 3; n <= 12; n++) {
    auto polygon = NGon(n);
    std::unique_ptr<CMesh3d> mesh(ToTriangleRegular(*polygon));
    EXPECT_EQ(mesh->NbFace(), n - 2) << n;
    EXPECT_EQ(mesh->NbVertex(), n) << n;
    EXPECT_EQ(mesh->DeleteDegenerateFaces(), 0);
  }
}

// The first diagonal of a hexagon whose corners all have valence 2: every
// pair costs 18, so the first one found, (0, 2), is cut first.
TEST(PolygonConversions, RegularTriangulationTakesTheFirstBestDiagonal) {
  auto hexagon = NGon(6);
  std::unique_ptr<CMesh3d> mesh(ToTriangleRegular(*hexagon));
  const CFace3d* first = mesh->GetFace(0);
  EXPECT_TRUE(first->HasVertex(mesh->GetVertex(0)) && first->HasVertex(mesh->GetVertex(1)) &&
              first->HasVertex(mesh->GetVertex(2)));
}

TEST(PolygonConversions, SplitIntoQuadsAndTriangles) {
  struct Case {
    int n;
    std::vector<int> sizes;
  };
  for (const Case& c : {Case{3, {3}}, Case{4, {4}}, Case{5, {4, 3}}, Case{6, {4, 4}},
                        Case{7, {4, 4, 3}}, Case{10, {4, 4, 4, 4}}}) {
    auto polygon = NGon(c.n);
    SplitIntoQuadsAndTriangles(*polygon);
    EXPECT_EQ(Sizes(*polygon), c.sizes) << c.n;
  }
  // hexagon: (P0, P1, P2, P3) then (P3, P4, P5, P0)
  auto hexagon = NGon(6);
  SplitIntoQuadsAndTriangles(*hexagon);
  EXPECT_EQ(std::vector<int>(hexagon->m_Corners.begin(), hexagon->m_Corners.end()),
            (std::vector<int>{0, 1, 2, 3, 3, 4, 5, 0}));
}

TEST(PolygonConversions, FromTriangleAndQuadMeshesKeepOrder) {
  std::unique_ptr<CMesh3d> torus(testmeshes::MakeTorus(6, 4));
  CPolygonMesh polygons;
  FromTriangleMesh(polygons, *torus);
  EXPECT_EQ(polygons.NbVertex(), torus->NbVertex());
  EXPECT_EQ(Sizes(polygons), std::vector<int>(static_cast<size_t>(torus->NbFace()), 3));
  EXPECT_EQ(polygons.m_Vertices[5].x, torus->GetVertex(5)->x);

  std::unique_ptr<CQuadMesh> box(MakeQuadBox());
  FromQuadMesh(polygons, *box);
  EXPECT_EQ(polygons.NbVertex(), 8);
  EXPECT_EQ(Sizes(polygons), std::vector<int>(6, 4));
  EXPECT_EQ(polygons.FaceCorners(1)[1], 4);
}

// Two triangles whose common edge was stored twice: the weld joins them,
// the earlier copy going to the later one.
TEST(PolygonConversions, WeldJoinsDuplicatesToTheLaterVertex) {
  const std::vector<float> xyz = {0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};
  std::unique_ptr<CPolygonMesh> mesh(MakePolygonMesh(xyz, {3, 3}, {0, 1, 2, 3, 4, 5}));
  EXPECT_EQ(Weld(*mesh), 2);
  EXPECT_EQ(mesh->NbVertex(), 4);
  // kept in order: vertex 0, then 3 (was 1), 4, 5 (was 2)
  EXPECT_EQ(mesh->m_Corners, (std::vector<int>{0, 1, 3, 1, 2, 3}));
  EXPECT_EQ(mesh->m_Vertices[1].m_Valence, 3);
}

TEST(PolygonConversions, WeldLeavesNaNAloneAndJoinsSignedZeros) {
  const float nan = std::nanf("");
  const std::vector<float> xyz = {nan, 0, 0, nan, 0, 0, 0, 0, 0, -0.0f, 0, 0};
  std::unique_ptr<CPolygonMesh> mesh(MakePolygonMesh(xyz, {4}, {0, 1, 2, 3}));
  EXPECT_EQ(Weld(*mesh), 1);
  EXPECT_EQ(mesh->m_Corners, (std::vector<int>{0, 1, 2, 2}));
}

// A flagged triangle mesh: every quad edge is used by two quads when the
// triangles were closed, whatever the flags' pattern.
int OpenQuadEdges(const CQuadMesh& quads) {
  std::map<std::pair<int, int>, int> uses;
  for (const CQuadFace& q : quads.m_Faces)
    for (int k = 0; k < 4; k++) {
      int a = q.v[k], b = q.v[(k + 1) & 3];
      uses[{std::min(a, b), std::max(a, b)}]++;
    }
  int open = 0;
  for (const auto& [edge, n] : uses) open += n != 2;
  return open;
}

TEST(TriangleToQuad, ClosedMeshGivesCrackFreeQuads) {
  // all faces 1; alternate pairs of flag 2; flags 2 and 3 mixed (some
  // unpaired)
  for (int pattern = 0; pattern < 3; pattern++) {
    std::unique_ptr<CMesh3d> torus(testmeshes::MakeTorus(8, 6));
    int i = 0;
    for (CFace3d* f : torus->m_ArrayFace) {
      f->m_Flag = pattern == 0 ? 1 : pattern == 1 ? 2 : 2 + (i % 3 == 0);
      i++;
    }
    std::unique_ptr<CQuadMesh> quads(ToQuadMesh(*torus));
    ASSERT_TRUE(quads);
    EXPECT_EQ(OpenQuadEdges(*quads), 0) << pattern;
    if (pattern == 1) {
      EXPECT_EQ(quads->NbFace(), 2 * torus->NbFace()) << "four quads per pair";
    } else if (pattern == 0) {
      EXPECT_EQ(quads->NbFace(), 3 * torus->NbFace());
    }
  }
}

TEST(TriangleToQuad, PairMakesFourQuadsAroundTheCommonMidpoint) {
  // two triangles (0, 1, 2), (2, 1, 3) sharing the edge 1-2
  std::unique_ptr<CMesh3d> mesh(
      testmeshes::MakeMesh({0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, 0}, {0, 1, 2, 2, 1, 3}));
  for (CFace3d* f : mesh->m_ArrayFace) f->m_Flag = 4;
  std::unique_ptr<CQuadMesh> quads(ToQuadMesh(*mesh));
  ASSERT_TRUE(quads);
  EXPECT_EQ(quads->NbFace(), 4);
  EXPECT_EQ(quads->NbVertex(), 4 + 5) << "no centre, five midpoints";
  for (const CQuadFace& q : quads->m_Faces) {
    const CQuadVertex& m = quads->m_Vertices[q.v[2]];
    EXPECT_FLOAT_EQ(m.x, 0.5f);
    EXPECT_FLOAT_EQ(m.y, 0.5f);
    EXPECT_GT(q.normal[2], 0.99f) << "oriented as the triangles";
  }
}

TEST(TriangleToQuad, FlagsDecideWhatIsConverted) {
  std::unique_ptr<CMesh3d> mesh(
      testmeshes::MakeMesh({0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, 0}, {0, 1, 2, 2, 1, 3}));
  EXPECT_EQ(ToQuadMesh(*mesh), nullptr) << "no flagged face: nothing to convert";
  // flag 1 and flag 0; flag 2 with a neighbour of flag 3 (unpaired)
  struct Case {
    int a, b, quads;
  };
  for (Case c : {Case{1, 0, 3}, Case{2, 3, 6}, Case{5, 5, 4}}) {
    mesh->GetFace(0)->m_Flag = c.a;
    mesh->GetFace(1)->m_Flag = c.b;
    std::unique_ptr<CQuadMesh> quads(ToQuadMesh(*mesh));
    ASSERT_TRUE(quads);
    EXPECT_EQ(quads->NbFace(), c.quads) << c.a << " " << c.b;
  }
}

} // namespace
