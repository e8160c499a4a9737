// The spatial grid against a brute-force search of the mesh: exact answers
// everywhere (inside, outside, flat and single-cell grids), ring answers
// never closer than the truth, and the cells a face is listed in.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>

#include "geometry/HashTable3d.h"
#include "geometry/Mesh3d.h"
#include "tests/support/TestMeshes.h"

namespace {

struct GridCase {
  const char* name;
  CMesh3d* (*make)();
  int size;
};

CMesh3d* Sphere() {
  return testmeshes::MakeIcoSphere(2);
}
CMesh3d* FlatGrid() {
  return testmeshes::MakeGrid(7, 5);
}
CMesh3d* Torus() {
  return testmeshes::MakeTorus(12, 8);
}

// Queries spread over twice the mesh's box, so that a third lie outside.
std::vector<CVector3d> Queries(const CMesh3d& mesh, int count) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> unit(-1.0, 1.0);
  float lo[3], hi[3];
  for (int a = 0; a < 3; a++) mesh.Range(a, &lo[a], &hi[a]);
  std::vector<CVector3d> points;
  for (int i = 0; i < count; i++) {
    double c[3];
    for (int a = 0; a < 3; a++)
      c[a] = (lo[a] + hi[a]) * 0.5 + unit(random) * std::max(0.5, double(hi[a] - lo[a]));
    points.emplace_back(c[0], c[1], c[2]);
  }
  return points;
}

TEST(HashTable, ExactAndRingSearchesAgainstBruteForce) {
  const GridCase cases[] = {{"sphere n=1", Sphere, 1}, {"sphere n=8", Sphere, 8},
                            {"flat n=1", FlatGrid, 1}, {"flat n=16", FlatGrid, 16},
                            {"torus n=5", Torus, 5},   {"torus n=32", Torus, 32}};
  for (const GridCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<CMesh3d> mesh(c.make());
    CHashTable3d grid(c.size);
    ASSERT_EQ(grid.Build(mesh.get()), 1);
    CHashTable3d single(1);
    single.Build(mesh.get());
    EXPECT_EQ(grid.NbFace(), mesh->NbFace());
    std::vector<CVector3d> queries = Queries(*mesh, 200);
    // on the vertices every face around one is at distance 0: the first wins
    for (int v = 0; v < mesh->NbVertex(); v += 3) queries.push_back(mesh->GetVertex(v)->Position());
    for (const CVector3d& p : queries) {
      CVector3d truePoint, exactPoint, ringPoint;
      CFace3d *trueFace = nullptr, *exactFace = nullptr, *ringFace = nullptr;
      const double truth = mesh->NearestPoint(p, truePoint, trueFace);
      const double exact = grid.ExactClosestPoint(p, exactPoint, exactFace);
      // the exact answer is a scan's (one cell holds every face): lowest
      // distance, then first face
      const int exactIndex = grid.LastFaceIndex();
      EXPECT_EQ(exact, single.ClosestPoint(p, truePoint, trueFace));
      EXPECT_EQ(exactIndex, single.LastFaceIndex());
      const double ring = grid.ClosestPoint(p, ringPoint, ringFace);
      ASSERT_NE(exactFace, nullptr);
      ASSERT_NE(ringFace, nullptr);                    // an outside query is answered too
      EXPECT_NEAR(exact, truth, 1e-6 * (1.0 + truth)); // the mesh search rounds its normal
      EXPECT_NEAR((exactPoint - p).LengthSquared(), exact, 1e-9);
      EXPECT_GE(ring, exact - 1e-12);
      // one cell holds every face: the ring answer is the exact one
      if (c.size == 1) {
        EXPECT_EQ(ring, exact);
      }
    }
  }
}

TEST(HashTable, CellsHoldTheFacesTheirBoxesOverlap) {
  std::unique_ptr<CMesh3d> flat(FlatGrid());
  CHashTable3d grid(16);
  grid.Build(flat.get());
  // a flat axis maps to cell 0: only one layer of cells exists
  for (const CHashTable3d::CellMark& cell : grid.Cells()) EXPECT_EQ(cell.k, 0);
  EXPECT_LE(grid.NbCell(), 16 * 16);
  // every corner's cell lists the face
  for (int f = 0; f < flat->NbFace(); f++)
    for (int corner = 0; corner < 3; corner++) {
      int cell[3];
      grid.CellOf(flat->GetFace(f)->v(corner)->Position(), cell);
      const std::vector<int> faces = grid.CellFaces(cell[0], cell[1], cell[2]);
      EXPECT_NE(std::find(faces.begin(), faces.end(), f), faces.end());
    }
  // cell boxes tile the grid's box
  float lo[3], hi[3], min[3], max[3];
  for (int a = 0; a < 3; a++) grid.Range(a, &lo[a], &hi[a]);
  grid.CellBox(0, 0, 0, min, max);
  EXPECT_FLOAT_EQ(min[0], lo[0]);
  grid.CellBox(15, 15, 15, min, max);
  EXPECT_FLOAT_EQ(max[1], hi[1]);
}

TEST(HashTable, EdgeCases) {
  // an empty mesh builds nothing and answers nothing
  CMesh3d empty;
  CHashTable3d grid(4);
  EXPECT_EQ(grid.Build(&empty), 0);
  CVector3d point;
  CFace3d* face = nullptr;
  EXPECT_EQ(grid.ClosestPoint(CVector3d(0, 0, 0), point, face), CHashTable3d::kNothing);
  EXPECT_EQ(face, nullptr);
  // sizes are clamped to 1 ... 256
  EXPECT_EQ(CHashTable3d(0).Size(), 1);
  EXPECT_EQ(CHashTable3d(1000).Size(), CHashTable3d::kMaxSize);
  // 260 faces over every cell of the finest grid: more entries than 32 bits
  // count (the sum wrapped before), refused as out of memory
  std::vector<int> corners;
  for (int f = 0; f < 260; f++) corners.insert(corners.end(), {0, 1, 2});
  std::unique_ptr<CMesh3d> large(testmeshes::MakeMesh({0, 0, 0, 1, 0, 1, 0, 1, 1}, corners, false));
  CHashTable3d fine(CHashTable3d::kMaxSize);
  EXPECT_THROW(fine.Build(large.get()), std::bad_alloc);
  // a copy answers the same distances without naming the original's faces
  std::unique_ptr<CMesh3d> sphere(Sphere());
  CHashTable3d original(6);
  original.Build(sphere.get());
  std::unique_ptr<CObject3d> copy(original.Clone());
  auto* clone = static_cast<CHashTable3d*>(copy.get());
  const CVector3d p(0.3, 2.0, -0.1);
  EXPECT_EQ(clone->ClosestPoint(p, point, face), original.ClosestPoint(p, point, face));
  clone->ClosestPoint(p, point, face);
  EXPECT_EQ(face, nullptr);
  EXPECT_EQ(copy->GetType(), TYPE_OBJECT3D);
  // a debugging query marks the cells it visits and redraws after each ring
  int redraws = 0;
  original.m_Redraw = [&redraws] { redraws++; };
  original.ClosestPoint(CVector3d(0, 0, 0), point, face, 1);
  EXPECT_GT(redraws, 0);
  int marked = 0;
  for (const CHashTable3d::CellMark& cell : original.Cells()) marked += cell.mark;
  EXPECT_GT(marked, 0);
}

} // namespace
