// The grid's searches with the faces' stored boxes skipping exact tests give
// bit for bit the answers of the searches that test every face: same face
// (the first of equal ones), point, squared distance and debug marks, over
// awkward faces, grid sizes and queries inside, on and far outside the mesh.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>
#include <random>

#include "geometry/HashTable3d.h"
#include "geometry/Mesh3d.h"
#include "tests/support/TestMeshes.h"

namespace {

// Distance, point and face index (and the marks of a debugging query) as
// bytes, so that equal answers are equal bit for bit, NaN included.
std::vector<unsigned char> Ask(CHashTable3d& grid, const CVector3d& p, int mode, bool boxes) {
  grid.m_UseFaceBoxes = boxes;
  grid.ClearMarks();
  CVector3d point(-1, -1, -1);
  CFace3d* face = nullptr;
  const double d[4] = {mode == 2 ? grid.ExactClosestPoint(p, point, face)
                                 : grid.ClosestPoint(p, point, face, mode),
                       point.x, point.y, point.z};
  const int index = grid.LastFaceIndex();
  std::vector<unsigned char> bytes(sizeof d + sizeof index);
  std::memcpy(bytes.data(), d, sizeof d);
  std::memcpy(bytes.data() + sizeof d, &index, sizeof index);
  if (mode == 1)
    for (const CHashTable3d::CellMark& cell : grid.Cells()) bytes.push_back(cell.mark);
  return bytes;
}

TEST(HashTableFilter, SameAnswersAsTestingEveryFace) {
  struct Case {
    const char* name;
    std::function<CMesh3d*()> make;
  } cases[] = {
      {"torus", [] { return testmeshes::MakeTorus(30, 20); }},
      {"sphere", [] { return testmeshes::MakeIcoSphere(3); }},
      {"flat", [] { return testmeshes::MakeGridWithHoles(12, 9, 2); }},
      {"soup", [] { return testmeshes::MakeAwkwardSoup(1400, 5); }},
      {"soup far from the origin", [] { return testmeshes::MakeAwkwardSoup(700, 6, 1e-3, 1e4); }},
      {"large soup", [] { return testmeshes::MakeAwkwardSoup(700, 7, 1e5, -3e5); }},
  };
  const double inf = std::numeric_limits<double>::infinity();
  for (const Case& c : cases) {
    std::unique_ptr<CMesh3d> mesh(c.make());
    float lo[3], hi[3];
    for (int a = 0; a < 3; a++) mesh->Range(a, &lo[a], &hi[a]);
    // queries: around the box (a tenth far outside), on corners and edge
    // midpoints (faces at equal distances), and not finite
    std::mt19937 random(11);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    std::vector<CVector3d> queries = {{std::nan(""), 0, 0}, {inf, 0, 0}, {1e300, -1e300, 0}};
    for (int i = 0; i < 600; i++) {
      const double spread = i % 10 == 0 ? 20.0 : i % 3 == 0 ? 1.2 : 0.55;
      double q[3];
      for (int a = 0; a < 3; a++)
        q[a] =
            0.5 * (lo[a] + hi[a]) + unit(random) * spread * std::max(1e-6, double(hi[a] - lo[a]));
      queries.emplace_back(q[0], q[1], q[2]);
    }
    for (int f = 0; f < mesh->NbFace(); f += 9) {
      const CFace3d* face = mesh->GetFace(f);
      queries.push_back(face->v(f % 3)->Position());
      queries.push_back((face->v(0)->Position() + face->v(1)->Position()) * 0.5);
    }
    for (int size : {1, 3, 12, 40}) {
      SCOPED_TRACE(std::string(c.name) + ", n = " + std::to_string(size));
      CHashTable3d grid(size);
      grid.Build(mesh.get());
      int differ = 0;
      for (size_t i = 0; i < queries.size(); i++)
        for (int mode : {0, 2, 1}) { // ring, exact, ring with marks (every 20th)
          if (mode == 1 && i % 20 != 0) continue;
          differ += Ask(grid, queries[i], mode, true) != Ask(grid, queries[i], mode, false);
        }
      EXPECT_EQ(differ, 0);
    }
  }
}

} // namespace
