// Speed and memory of surface tiling on the million-face torus
// (2 * 708 * 706 = 999,696 faces): "Build..." with split polygons and three
// generated levels as the command runs it (copy, tiling, levels), one
// tiling alone, and the 20 relaxation steps of "Optimize nodal positions...".

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "geometry/SceneGraph3d.h"
#include "geometry/TilingMesh3d.h"
#include "processing/Tiling.h"
#include "processing/TilingCommands.h"
#include "tests/support/ResidentMemory.h"
#include "tests/support/TestMeshes.h"

namespace {

constexpr int kTorusU = 708, kTorusV = 706;

const CMesh3d& Torus() {
  static std::unique_ptr<CMesh3d> torus(testmeshes::MakeTorus(kTorusU, kTorusV));
  return *torus;
}

std::unique_ptr<CTilingMesh3d> CopyOfTorus() {
  auto tiling = std::make_unique<CTilingMesh3d>();
  tiling->Copy(&Torus());
  tiling->Rebuild();
  return tiling;
}

void BM_BuildSplitGenerateThreeLevels(benchmark::State& state) {
  CTilingParams params;
  params.Split = 1;
  params.GenerateMesh = 1;
  params.Recursive = 1;
  params.Levels = 3;
  int objects = 0;
  for (auto _ : state) {
    state.PauseTiming();
    CSceneGraph3d scene;
    scene.Add(Torus().Clone());
    state.ResumeTiming();
    CTilingReport report;
    CommandTilingBuild(&scene, params, report);
    state.PauseTiming();
    objects = scene.NbObject();
    scene.Free();
    state.ResumeTiming();
  }
  state.counters["objects"] = objects;
}
BENCHMARK(BM_BuildSplitGenerateThreeLevels)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_TileOnly(benchmark::State& state) {
  std::unique_ptr<CMesh3d> source(Torus().Clone());
  int tiles = 0, polygons = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::unique_ptr<CTilingMesh3d> tiling = CopyOfTorus();
    state.ResumeTiming();
    polygons = Tile(tiling.get(), 1, 1, source.get());
    state.PauseTiming();
    tiles = tiling->NbTile();
    tiling.reset();
    state.ResumeTiming();
  }
  state.counters["tiles"] = tiles;
  state.counters["polygons"] = polygons;
}
BENCHMARK(BM_TileOnly)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_OptimizeNodes(benchmark::State& state) {
  std::unique_ptr<CMesh3d> source(Torus().Clone());
  std::unique_ptr<CTilingMesh3d> tiling = CopyOfTorus();
  Tile(tiling.get(), 1, 1, source.get());
  for (auto _ : state) OptimizeNodes(tiling.get(), kOptimizeIterations, nullptr);
  state.counters["tiles"] = tiling->NbTile();
}
BENCHMARK(BM_OptimizeNodes)->Unit(benchmark::kMillisecond)->Iterations(3);

// Resident bytes per source face of a tiling: its rebuilt copy, then what
// the tiles, links, polygons and face records add.
void BM_TilingMemory(benchmark::State& state) {
  std::vector<double> figures;
  for (auto _ : state) {
    figures = residentmemory::MeasureInChild([](std::vector<double>& out) {
      std::unique_ptr<CMesh3d> source(Torus().Clone());
      const double start = double(residentmemory::ResidentBytes());
      std::unique_ptr<CTilingMesh3d> tiling = CopyOfTorus();
      const double copied = double(residentmemory::ResidentBytes());
      Tile(tiling.get(), 1, 1, source.get());
      const double tiled = double(residentmemory::ResidentBytes());
      out.push_back((copied - start) / source->NbFace());
      out.push_back((tiled - copied) / source->NbFace());
    });
  }
  if (figures.size() != 2) {
    state.SkipWithError("the measuring child process failed");
    return;
  }
  state.counters["copy bytes/face"] = figures[0];
  state.counters["tiles bytes/face"] = figures[1];
}
BENCHMARK(BM_TilingMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
