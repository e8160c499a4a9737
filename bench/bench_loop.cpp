// Speed of one Loop step (rebuild included) on quarter-million-face meshes,
// closed and open, and of adaptive refinement of 1% of a million faces.

#include <benchmark/benchmark.h>

#include <memory>

#include "geometry/Mesh3d.h"
#include "geometry/Progress.h"
#include "geometry/Random15.h"
#include "processing/LoopSubdivision.h"
#include "tests/support/TestMeshes.h"

namespace {

using MeshPtr = std::unique_ptr<CMesh3d>;

// Runs `step` on a fresh mesh per iteration; making and freeing the meshes
// is not timed.
template <class Make, class Step>
void TimeOnFreshMeshes(benchmark::State& state, Make make, Step step) {
  int facesBefore = 0, facesAfter = 0;
  for (auto _ : state) {
    state.PauseTiming();
    MeshPtr mesh(make());
    facesBefore = mesh->NbFace();
    state.ResumeTiming();
    step(mesh.get());
    state.PauseTiming();
    facesAfter = mesh->NbFace();
    mesh.reset();
    state.ResumeTiming();
  }
  state.counters["faces before"] = facesBefore;
  state.counters["faces after"] = facesAfter;
}

// 2 * 512 * 256 = 262,144 faces, closed.
void BM_LoopClosedTorus(benchmark::State& state) {
  TimeOnFreshMeshes(
      state, [] { return testmeshes::MakeTorus(512, 256); },
      [](CMesh3d* mesh) { SubdivisionLoop(mesh); });
}
BENCHMARK(BM_LoopClosedTorus)->Unit(benchmark::kMillisecond)->Iterations(8);

// 2 * 512 * 256 = 262,144 faces, one boundary loop.
void BM_LoopOpenGrid(benchmark::State& state) {
  TimeOnFreshMeshes(
      state, [] { return testmeshes::MakeGrid(512, 256); },
      [](CMesh3d* mesh) { SubdivisionLoop(mesh); });
}
BENCHMARK(BM_LoopOpenGrid)->Unit(benchmark::kMillisecond)->Iterations(8);

// The closed torus step again with a listener hearing every report (no
// interval), as the window's status bar does at its natural pace: the cost
// of reporting is the difference with BM_LoopClosedTorus.
struct CCountingSink : CProgressSink {
  int reports = 0;
  bool OnProgress(double, const char*, bool) override { return ++reports > 0; }
};

void BM_LoopClosedTorusReporting(benchmark::State& state) {
  CProgressScope::SetInterval(std::chrono::milliseconds(0));
  CCountingSink sink;
  CProgressScope scope(&sink, true);
  TimeOnFreshMeshes(
      state, [] { return testmeshes::MakeTorus(512, 256); },
      [](CMesh3d* mesh) { SubdivisionLoop(mesh); });
  state.counters["reports per step"] = double(sink.reports) / double(state.iterations());
  CProgressScope::SetInterval(std::chrono::milliseconds(40));
}
BENCHMARK(BM_LoopClosedTorusReporting)->Unit(benchmark::kMillisecond)->Iterations(8);

// 2 * 708 * 706 = 999,696 faces with about 1% of them flagged.
CMesh3d* MillionFacesOnePercentFlagged() {
  CMesh3d* mesh = testmeshes::MakeTorus(708, 706);
  CRandom15 random;
  for (CFace3d* f : mesh->m_ArrayFace) f->m_Flag = random.Next() < 328 ? 1 : 0;
  return mesh;
}

void BM_AdaptiveOnePercent(benchmark::State& state) {
  TimeOnFreshMeshes(state, MillionFacesOnePercentFlagged,
                    [](CMesh3d* mesh) { SubdivisionAdaptive(mesh, 1); });
}
BENCHMARK(BM_AdaptiveOnePercent)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

BENCHMARK_MAIN();
