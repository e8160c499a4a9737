// Speed and memory of the wavefront commands: the rings of the
// 999,696-face torus, "Unmeshing" with the dialog's defaults (across, then
// along) on it, "Remeshing" of a 262,144-face torus, and the resident bytes
// per face the rings and the unmeshing add.

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "bench/BenchFiles.h"
#include "geometry/HeapRelease.h"
#include "geometry/Mesh3d.h"
#include "geometry/SceneGraph3d.h"
#include "processing/UnmeshingCommands.h"
#include "processing/Wavefront.h"
#include "tests/support/ResidentMemory.h"
#include "tests/support/TestMeshes.h"

namespace {

CMesh3d* Torus() {
  CMesh3d* mesh = testmeshes::MakeTorus(benchfiles::kTorusU, benchfiles::kTorusV);
  mesh->Rebuild();
  return mesh;
}

// 2 x 512 x 256 = 262,144 faces.
CMesh3d* RemeshTorus() {
  CMesh3d* mesh = testmeshes::MakeTorus(512, 256);
  mesh->Rebuild();
  return mesh;
}

// Times command on a fresh scene holding make()'s mesh; counts faces.
template <class Make, class Command>
void TimeOnFreshScenes(benchmark::State& state, Make make, Command command) {
  int before = 0, after = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto scene = std::make_unique<CSceneGraph3d>();
    scene->Add(make());
    CMesh3d* mesh = static_cast<CMesh3d*>(scene->GetAt(0));
    before = mesh->NbFace();
    state.ResumeTiming();
    command(scene.get());
    state.PauseTiming();
    after = static_cast<CMesh3d*>(scene->GetAt(0))->NbFace();
    scene.reset();
    state.ResumeTiming();
  }
  state.counters["faces before"] = before;
  state.counters["faces after"] = after;
}

void BM_WavefrontTorus(benchmark::State& state) {
  int rings = 0;
  TimeOnFreshScenes(state, Torus, [&rings](CSceneGraph3d* scene) {
    rings = BuildWavefront(static_cast<CMesh3d*>(scene->GetAt(0)), 0);
  });
  state.counters["rings"] = rings;
}
BENCHMARK(BM_WavefrontTorus)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_UnmeshingDefaultsTorus(benchmark::State& state) {
  TimeOnFreshScenes(state, Torus, [](CSceneGraph3d* scene) {
    CommandUnmeshing(scene, CUnmeshingParams(), CWavefrontHooks());
  });
}
BENCHMARK(BM_UnmeshingDefaultsTorus)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_RemeshingTorus262k(benchmark::State& state) {
  TimeOnFreshScenes(state, RemeshTorus,
                    [](CSceneGraph3d* scene) { CommandRemeshing(scene, CWavefrontHooks()); });
}
BENCHMARK(BM_RemeshingTorus262k)->Unit(benchmark::kMillisecond)->Iterations(2);

// Resident bytes per face of the torus: the rebuilt mesh, what the rings
// add (the layer and ring tags and the facing of every element), and the
// peak the unmeshing reaches over the rebuilt mesh.
void BM_UnmeshingBytesPerFace(benchmark::State& state) {
  std::vector<double> figures;
  for (auto _ : state) {
    figures = residentmemory::MeasureInChild([](std::vector<double>& out) {
      ReleaseFreedMemory();
      double start = double(residentmemory::ResidentBytes());
      std::unique_ptr<CMesh3d> mesh(Torus());
      double faces = mesh->NbFace();
      double built = double(residentmemory::ResidentBytes());
      BuildWavefront(mesh.get(), 0);
      double rings = double(residentmemory::ResidentBytes());
      UnmeshAcross(mesh.get(), 0, 2, 0, CUnmeshProgress());
      UnmeshAlong(mesh.get(), 1, 2, kAlongRatio, 0, CUnmeshProgress());
      double unmeshed = double(residentmemory::ResidentBytes());
      out = {(built - start) / faces, (rings - built) / faces, (unmeshed - built) / faces};
    });
  }
  if (figures.size() == 3) {
    state.counters["mesh B/face"] = figures[0];
    state.counters["rings B/face"] = figures[1];
    state.counters["unmeshing B/face"] = figures[2];
  }
}
BENCHMARK(BM_UnmeshingBytesPerFace)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
