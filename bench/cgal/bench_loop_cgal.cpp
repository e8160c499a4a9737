// One Loop step of our mesh next to CGAL's Loop subdivision on a Surface_mesh,
// in the same run, on two meshes given to both as the same triangle list:
// a closed torus of 262,144 faces and a scan-like surface (jittered grid with
// random diagonals, holes and faces split at their centroid, so that the
// valences are irregular and the surface has many boundary loops). Built only
// when CMake finds CGAL; nothing else depends on it.

#include <benchmark/benchmark.h>

#include <CGAL/Simple_cartesian.h>
#include <CGAL/Surface_mesh.h>
#include <CGAL/subdivision_method_3.h>

#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "geometry/Mesh3d.h"
#include "processing/LoopSubdivision.h"
#include "tests/support/TestMeshes.h"

namespace {

using Kernel = CGAL::Simple_cartesian<double>;
using SurfaceMesh = CGAL::Surface_mesh<Kernel::Point_3>;

struct CSoup {
  std::vector<double> xyz;
  std::vector<int> triangles;
};

// The torus of the Loop benchmark as a triangle list.
CSoup TorusSoup() {
  std::unique_ptr<CMesh3d> torus(testmeshes::MakeTorus(512, 256));
  CSoup soup;
  for (int i = 0; i < torus->NbVertex(); i++) {
    CVertex3d* v = torus->GetVertex(i);
    v->m_Flag = i;
    soup.xyz.insert(soup.xyz.end(), {v->x, v->y, v->z});
  }
  for (const CFace3d* f : torus->m_ArrayFace)
    for (int k = 0; k < 3; k++) soup.triangles.push_back(f->v(k)->m_Flag);
  return soup;
}

// Scan-like surface: an n x n grid of jittered heights, each quad cut along a
// random diagonal, quads inside random discs left out (holes), and one face
// in five split into three at its centroid.
CSoup ScanSoup(int n) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  CSoup soup;
  for (int j = 0; j <= n; j++)
    for (int i = 0; i <= n; i++)
      soup.xyz.insert(soup.xyz.end(),
                      {i + 0.3 * unit(random), j + 0.3 * unit(random),
                       2.0 * std::sin(0.05 * i) * std::cos(0.07 * j) + 0.05 * unit(random)});
  struct CDisc {
    double x, y, r;
  };
  std::vector<CDisc> holes;
  for (int h = 0; h < n / 8; h++)
    holes.push_back({unit(random) * n, unit(random) * n, 1.5 + 3 * unit(random)});
  auto inHole = [&holes](double x, double y) {
    for (const CDisc& d : holes)
      if ((x - d.x) * (x - d.x) + (y - d.y) * (y - d.y) < d.r * d.r) return true;
    return false;
  };
  auto add = [&soup, &random, &unit](int a, int b, int c) {
    if (unit(random) >= 0.2) {
      soup.triangles.insert(soup.triangles.end(), {a, b, c});
      return;
    }
    int m = static_cast<int>(soup.xyz.size() / 3);
    for (int k = 0; k < 3; k++)
      soup.xyz.push_back((soup.xyz[3 * a + k] + soup.xyz[3 * b + k] + soup.xyz[3 * c + k]) / 3.0);
    soup.triangles.insert(soup.triangles.end(), {a, b, m, b, c, m, c, a, m});
  };
  for (int j = 0; j < n; j++)
    for (int i = 0; i < n; i++) {
      if (inHole(i + 0.5, j + 0.5)) continue;
      int v00 = j * (n + 1) + i, v10 = v00 + 1, v01 = v00 + n + 1, v11 = v01 + 1;
      if (unit(random) < 0.5) {
        add(v00, v10, v11);
        add(v00, v11, v01);
      } else {
        add(v00, v10, v01);
        add(v10, v11, v01);
      }
    }
  return soup;
}

// The soup as a Surface_mesh; faces it refuses (a corner that would become
// non-manifold) are dropped from the soup, so both sides get the same faces.
SurfaceMesh ToSurfaceMesh(CSoup& soup) {
  SurfaceMesh mesh;
  std::vector<SurfaceMesh::Vertex_index> vertices;
  for (size_t i = 0; i < soup.xyz.size(); i += 3)
    vertices.push_back(
        mesh.add_vertex(Kernel::Point_3(soup.xyz[i], soup.xyz[i + 1], soup.xyz[i + 2])));
  std::vector<int> kept;
  for (size_t i = 0; i < soup.triangles.size(); i += 3) {
    const int* t = &soup.triangles[i];
    if (mesh.add_face(vertices[size_t(t[0])], vertices[size_t(t[1])], vertices[size_t(t[2])]) !=
        SurfaceMesh::null_face())
      kept.insert(kept.end(), t, t + 3);
  }
  soup.triangles.swap(kept);
  return mesh;
}

// Leaves out the vertices no triangle uses (the inside of the holes), which
// neither side should carry.
void DropUnusedVertices(CSoup& soup) {
  std::vector<int> index(soup.xyz.size() / 3, -1);
  std::vector<double> kept;
  for (int& corner : soup.triangles) {
    if (index[size_t(corner)] < 0) {
      index[size_t(corner)] = static_cast<int>(kept.size() / 3);
      kept.insert(kept.end(), &soup.xyz[3 * size_t(corner)], &soup.xyz[3 * size_t(corner)] + 3);
    }
    corner = index[size_t(corner)];
  }
  soup.xyz.swap(kept);
}

const CSoup& Soup(int which) {
  static CSoup soups[2];
  static bool made[2] = {false, false};
  if (!made[which]) {
    soups[which] = which == 0 ? TorusSoup() : ScanSoup(300);
    ToSurfaceMesh(soups[which]); // settles the face list both sides take
    DropUnusedVertices(soups[which]);
    made[which] = true;
  }
  return soups[which];
}

// state.range(0): 0 = closed torus, 1 = scan-like surface.
void BM_LoopOurs(benchmark::State& state) {
  const CSoup& soup = Soup(static_cast<int>(state.range(0)));
  int before = 0, after = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::unique_ptr<CMesh3d> mesh(testmeshes::MakeMesh(soup.xyz, soup.triangles, true));
    before = mesh->NbFace();
    state.ResumeTiming();
    SubdivisionLoop(mesh.get());
    state.PauseTiming();
    after = mesh->NbFace();
    mesh.reset();
    state.ResumeTiming();
  }
  state.counters["faces before"] = before;
  state.counters["faces after"] = after;
}

void BM_LoopCgal(benchmark::State& state) {
  CSoup soup = Soup(static_cast<int>(state.range(0)));
  int before = 0, after = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto mesh = std::make_unique<SurfaceMesh>(ToSurfaceMesh(soup));
    before = static_cast<int>(mesh->number_of_faces());
    state.ResumeTiming();
    CGAL::Subdivision_method_3::Loop_subdivision(*mesh, CGAL::parameters::number_of_iterations(1));
    state.PauseTiming();
    after = static_cast<int>(mesh->number_of_faces());
    mesh.reset();
    state.ResumeTiming();
  }
  state.counters["faces before"] = before;
  state.counters["faces after"] = after;
}

BENCHMARK(BM_LoopOurs)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(6);
BENCHMARK(BM_LoopCgal)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(6);

} // namespace

BENCHMARK_MAIN();
