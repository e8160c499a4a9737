// Speed and memory of sqrt(3) steps on the million-face torus: one "Flip
// edges" step as the command runs it (step and finish: normals, adjacency
// kept in place), an adaptive step on 1% of the faces, and
// the recursive undo of two steps from 111k faces. The torus is also written
// as an .off file for the comparison program cgal_sqrt3_step.

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <memory>
#include <string>

#include "bench/BenchFiles.h"
#include "geometry/ElementPool.h"
#include "geometry/Mesh3d.h"
#include "geometry/Random15.h"
#include "geometry/SceneGraph3d.h"
#include "io/WriteOff.h"
#include "processing/Sqrt3Subdivision.h"
#include "tests/support/TestMeshes.h"

namespace {

// One step and its finish, as the commands run them.
void StepAndFinish(CMesh3d* mesh, bool adaptive) {
  bool kept = false;
  CSqrt3Options options;
  options.adaptive = adaptive;
  options.linksKept = &kept;
  SubdivisionSqrt3(mesh, options);
  FinishSqrt3Step(mesh, kept);
}

using MeshPtr = std::unique_ptr<CMesh3d>;

// Where the comparison program reads the torus.
std::string TorusOffPath() {
  const char* dir = std::getenv("TMPDIR");
  return std::string(dir ? dir : "/tmp") + "/orvex_sqrt3_torus.off";
}

// Bytes in use: the heap's (small blocks and mapped ones) and the blocks
// handed out by the element pools, which the heap's counters do not see.
double HeapBytes() {
  struct mallinfo2 info = mallinfo2();
  double bytes = static_cast<double>(info.uordblks + info.hblkhd);
  for (CElementPool* pool :
       {&VertexPool(), &FacePool(), &VertexExtraPool(), &FaceExtraPool(), &HistoryPool()})
    bytes += static_cast<double>(pool->LiveBlocks() * pool->BlockSize());
  return bytes;
}

template <class Make, class Step>
void TimeOnFreshMeshes(benchmark::State& state, Make make, Step step) {
  int before = 0, after = 0;
  for (auto _ : state) {
    state.PauseTiming();
    MeshPtr mesh(make());
    before = mesh->NbFace();
    state.ResumeTiming();
    step(mesh.get());
    state.PauseTiming();
    after = mesh->NbFace();
    mesh.reset();
    state.ResumeTiming();
  }
  state.counters["faces before"] = before;
  state.counters["faces after"] = after;
}

CMesh3d* Torus() {
  return testmeshes::MakeTorus(benchfiles::kTorusU, benchfiles::kTorusV);
}

// 1% of the faces flagged at random.
CMesh3d* TorusOnePercentFlagged() {
  CMesh3d* mesh = Torus();
  CRandom15 random;
  for (CFace3d* f : mesh->m_ArrayFace) f->m_Flag = random.Next() < 328 ? 1 : 0;
  return mesh;
}

void BM_Sqrt3FlipEdgesTorus(benchmark::State& state) {
  TimeOnFreshMeshes(state, Torus, [](CMesh3d* mesh) { StepAndFinish(mesh, false); });
}
BENCHMARK(BM_Sqrt3FlipEdgesTorus)->Unit(benchmark::kMillisecond)->Iterations(3);

// The step followed by a full Rebuild (adjacency rebuilt from scratch).
void BM_Sqrt3FullRebuildTorus(benchmark::State& state) {
  TimeOnFreshMeshes(state, Torus, [](CMesh3d* mesh) {
    SubdivisionSqrt3(mesh, 1, 1, 0, nullptr, 0, 0.0f);
    mesh->Rebuild();
  });
}
BENCHMARK(BM_Sqrt3FullRebuildTorus)->Unit(benchmark::kMillisecond)->Iterations(3);

// The step alone, without the finish the command runs after it.
void BM_Sqrt3StepOnlyTorus(benchmark::State& state) {
  TimeOnFreshMeshes(state, Torus,
                    [](CMesh3d* mesh) { SubdivisionSqrt3(mesh, 1, 1, 0, nullptr, 0, 0.0f); });
}
BENCHMARK(BM_Sqrt3StepOnlyTorus)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Sqrt3AdaptiveOnePercent(benchmark::State& state) {
  TimeOnFreshMeshes(state, TorusOnePercentFlagged,
                    [](CMesh3d* mesh) { SubdivisionSqrt3(mesh, 1, 1, 1, nullptr, 0, 0.0f); });
}
BENCHMARK(BM_Sqrt3AdaptiveOnePercent)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_Sqrt3AdaptiveOnePercentFinished(benchmark::State& state) {
  TimeOnFreshMeshes(state, TorusOnePercentFlagged,
                    [](CMesh3d* mesh) { StepAndFinish(mesh, true); });
}
BENCHMARK(BM_Sqrt3AdaptiveOnePercentFinished)->Unit(benchmark::kMillisecond)->Iterations(3);

// 2 * 236 * 236 = 111,392 faces, two steps, then everything undone.
void BM_Sqrt3RecursiveUndo111k(benchmark::State& state) {
  TimeOnFreshMeshes(
      state,
      [] {
        CMesh3d* mesh = testmeshes::MakeTorus(236, 236);
        for (int step = 0; step < 2; step++) {
          StepAndFinish(mesh, false);
        }
        return mesh;
      },
      [](CMesh3d* mesh) {
        UndoSqrt3All(mesh);
        mesh->Rebuild();
      });
}
BENCHMARK(BM_Sqrt3RecursiveUndo111k)->Unit(benchmark::kMillisecond)->Iterations(5);

// Heap bytes per face of the torus after one step, with its undo records
// and after they are dropped; writes the torus for the comparison program.
void BM_Sqrt3BytesPerFace(benchmark::State& state) {
  double withHistory = 0.0, without = 0.0, history = 0.0;
  for (auto _ : state) {
    double base = HeapBytes();
    MeshPtr mesh(Torus());
    {
      CSceneGraph3d scene;
      scene.Add(mesh.release());
      std::string error;
      WriteOff(&scene, TorusOffPath(), error);
      mesh.reset(static_cast<CMesh3d*>(scene.RemoveAt(0)));
    }
    StepAndFinish(mesh.get(), false);
    const double faces = mesh->NbFace();
    withHistory = (HeapBytes() - base) / faces;
    mesh->DropHistory();
    without = (HeapBytes() - base) / faces;
    history = withHistory - without;
  }
  state.counters["bytes/face with history"] = withHistory;
  state.counters["bytes/face without history"] = without;
  state.counters["history bytes/face"] = history;
}
BENCHMARK(BM_Sqrt3BytesPerFace)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
