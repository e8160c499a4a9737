// Speed of the approximating simplifications: the spatial grid's build
// and closest-point queries on a million faces, the progressive mesh taken
// to half its vertices on 20k, 80k and 86k faces (time per collapse), and
// one global volumic iteration of a 10k-face model on a 100k-face
// reference. Every run works on a fresh copy (copying is not timed).
//
//   build/bench/bench_approximation [--benchmark_filter=Grid]

#include <benchmark/benchmark.h>

#include <memory>
#include <random>

#include "geometry/HashTable3d.h"
#include "geometry/Mesh3d.h"
#include "processing/Approximation.h"
#include "tests/support/TestMeshes.h"

namespace {

// A closed torus of 2 * nu * nv faces, every vertex pushed along its
// normal by up to 1% of the tube radius so that costs differ.
CMesh3d* NoisyTorus(int nu, int nv) {
  CMesh3d* mesh = testmeshes::MakeTorus(nu, nv);
  testmeshes::AddNormalNoise(mesh, 0.003, 17);
  return mesh;
}

const CMesh3d& MillionFaces() {
  static std::unique_ptr<CMesh3d> mesh(NoisyTorus(708, 706));
  return *mesh;
}

void BM_GridBuild(benchmark::State& state) {
  const CMesh3d& mesh = MillionFaces();
  for (auto _ : state) {
    CHashTable3d grid(static_cast<int>(state.range(0)));
    benchmark::DoNotOptimize(grid.Build(&mesh));
  }
  state.counters["faces"] = mesh.NbFace();
}
BENCHMARK(BM_GridBuild)->Arg(128)->Unit(benchmark::kMillisecond)->Iterations(3);

// Queries near the surface: every seventh vertex moved off it by up to
// range(1) thousandths of the tube radius (10: as far as the noise, 50: a
// few cells away), through the first ring (range(0) = 0) or the exact
// search.
void BM_ClosestPoint(benchmark::State& state) {
  const CMesh3d& mesh = MillionFaces();
  CHashTable3d grid(128);
  grid.Build(&mesh);
  std::mt19937 random(3);
  const double reach = 0.3 * state.range(1) / 1000.0;
  std::uniform_real_distribution<double> offset(-reach, reach);
  std::vector<CVector3d> queries;
  for (int i = 0; i < mesh.NbVertex(); i += 7) {
    const CVertex3d* v = mesh.GetVertex(i);
    queries.push_back(v->Position() + v->m_Normal * offset(random));
  }
  const bool exact = state.range(0) != 0;
  CVector3d point;
  CFace3d* face = nullptr;
  for (auto _ : state)
    for (const CVector3d& q : queries)
      benchmark::DoNotOptimize(exact ? grid.ExactClosestPoint(q, point, face)
                                     : grid.ClosestPoint(q, point, face));
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(queries.size()));
}
BENCHMARK(BM_ClosestPoint)
    ->Args({0, 10})
    ->Args({0, 50})
    ->Args({1, 10})
    ->Args({1, 50})
    ->Unit(benchmark::kMillisecond);

// Progressive mesh to half the vertices: args are torus (nu, nv) and the
// grid size; "us/collapse" is the time per vertex removed.
void BM_ProgressiveMesh(benchmark::State& state) {
  std::unique_ptr<CMesh3d> source(
      NoisyTorus(static_cast<int>(state.range(0)), static_cast<int>(state.range(1))));
  CProgressiveMeshParams params;
  params.Final = source->NbVertex() / 2;
  params.HashSize = static_cast<int>(state.range(2));
  params.Sharp = 0.9f;
  int removed = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::unique_ptr<CMesh3d> mesh(source->Clone());
    state.ResumeTiming();
    ProgressiveMesh(mesh.get(), params, {});
    removed = source->NbVertex() - mesh->NbVertex();
  }
  state.counters["faces"] = source->NbFace();
  state.counters["removed"] = removed;
  state.counters["us/collapse"] = benchmark::Counter(
      removed * static_cast<double>(state.iterations()),
      benchmark::Counter::kIsRate | benchmark::Counter::kInvert, benchmark::Counter::kIs1000);
}
BENCHMARK(BM_ProgressiveMesh)
    ->Args({100, 100, 20}) // 20,000 faces
    ->Args({200, 200, 40}) // 80,000 faces
    ->Args({294, 147, 40}) // 86,436 faces
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

// One iteration of the global optimisation: a 10k-face model on a
// 100k-face reference, exact closest points (the dialog's default) or the
// grid's first ring.
void BM_GlobalIteration(benchmark::State& state) {
  std::unique_ptr<CMesh3d> source(NoisyTorus(100, 50));
  std::unique_ptr<CMesh3d> reference(NoisyTorus(316, 158));
  CHashTable3d grid(10);
  grid.Build(reference.get());
  CVolumicParams params;
  params.MaxIter = 1;
  params.Save = 0;
  CReferenceSurface surface{&grid, static_cast<int>(state.range(0))};
  for (auto _ : state) {
    state.PauseTiming();
    std::unique_ptr<CMesh3d> model(source->Clone());
    state.ResumeTiming();
    OptimizeVolumicGlobal(model.get(), surface, params, nullptr, {});
  }
  state.counters["model faces"] = source->NbFace();
  state.counters["reference faces"] = reference->NbFace();
}
BENCHMARK(BM_GlobalIteration)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
