// Speed of smoothing (ten steps with their normals), colouring, packing,
// spring relaxation, hole filling and compacity swaps on million-face
// meshes.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

#include "geometry/Mesh3d.h"
#include "geometry/Random15.h"
#include "geometry/SceneGraph3d.h"
#include "io/ColorRamp.h"
#include "processing/MeshColoring.h"
#include "processing/Smoothing.h"
#include "processing/SmoothingFrame.h"
#include "processing/SurfaceCleanup.h"
#include "processing/SurfaceCommands.h"
#include "tests/support/TestMeshes.h"

namespace {

using MeshPtr = std::unique_ptr<CMesh3d>;

// 2 * 708 * 706 = 999,696 faces, closed.
CMesh3d* MillionFaceTorus() {
  return testmeshes::MakeTorus(708, 706);
}

// An open grid of 708 x 706 parallelograms (sheared so that one diagonal
// is shorter), each split along a random diagonal (999,696 faces).
CMesh3d* RandomlySplitGrid() {
  const int nx = 708, ny = 706;
  std::vector<double> xyz;
  std::vector<int> triangles;
  for (int j = 0; j <= ny; j++)
    for (int i = 0; i <= nx; i++) xyz.insert(xyz.end(), {i + 0.5 * j, double(j), 0.0});
  CRandom15 random;
  for (int j = 0; j < ny; j++)
    for (int i = 0; i < nx; i++) {
      int a = j * (nx + 1) + i, b = a + 1, c = a + nx + 1, d = c + 1;
      if (random.Next() & 1)
        triangles.insert(triangles.end(), {a, b, d, a, d, c});
      else
        triangles.insert(triangles.end(), {a, b, c, b, d, c});
    }
  return testmeshes::MakeMesh(xyz, triangles);
}

// Runs `step` on a fresh mesh per iteration; making and freeing the meshes
// is not timed.
template <class Make, class Step>
void TimeOnFreshMeshes(benchmark::State& state, Make make, Step step) {
  for (auto _ : state) {
    state.PauseTiming();
    MeshPtr mesh(make());
    state.ResumeTiming();
    step(mesh.get());
    state.PauseTiming();
    state.counters["faces"] = mesh->NbFace();
    mesh.reset();
    state.ResumeTiming();
  }
}

// Ten smoothing steps and their normals, as "Multiple smooth..." runs them
// without views to follow: the first step rebuilds the adjacency.
void BM_SmoothTenSteps(benchmark::State& state) {
  MeshPtr mesh(MillionFaceTorus());
  for (auto _ : state) SmoothRepeatedly(mesh.get(), 1, 10);
  state.counters["faces"] = mesh->NbFace();
}
BENCHMARK(BM_SmoothTenSteps)->Unit(benchmark::kMillisecond)->Iterations(3);

// The ten passes and their normals alone, on a frame of the mesh made
// beforehand (what the command adds is the first step's Rebuild and the
// frame).
void BM_SmoothTenPassesOnFrame(benchmark::State& state) {
  MeshPtr mesh(MillionFaceTorus());
  CSmoothingFrame frame(mesh.get(), 1, true);
  for (auto _ : state)
    for (int k = 0; k < 10; k++) {
      frame.Step();
      frame.ComputeNormals();
    }
}
BENCHMARK(BM_SmoothTenPassesOnFrame)->Unit(benchmark::kMillisecond)->Iterations(5);

// Making the frame of a freshly rebuilt mesh.
void BM_SmoothingFrame(benchmark::State& state) {
  MeshPtr mesh(MillionFaceTorus());
  for (auto _ : state) CSmoothingFrame frame(mesh.get(), 1, true);
}
BENCHMARK(BM_SmoothingFrame)->Unit(benchmark::kMillisecond)->Iterations(3);

// The same with a view following every step (the mesh written each time).
void BM_SmoothTenStepsFollowed(benchmark::State& state) {
  MeshPtr mesh(MillionFaceTorus());
  for (auto _ : state) SmoothRepeatedly(mesh.get(), 1, 10, [](int) {});
  state.counters["faces"] = mesh->NbFace();
}
BENCHMARK(BM_SmoothTenStepsFollowed)->Unit(benchmark::kMillisecond)->Iterations(3);

// One Smooth step (Ctrl+W): the step and the Rebuild it ends with.
void BM_SmoothOneStep(benchmark::State& state) {
  MeshPtr mesh(MillionFaceTorus());
  for (auto _ : state) Smooth(mesh.get(), 1);
}
BENCHMARK(BM_SmoothOneStep)->Unit(benchmark::kMillisecond)->Iterations(3);

// The whole "Multiple smooth..." command, ten iterations in place.
void BM_MultipleSmoothCommand(benchmark::State& state) {
  CSceneGraph3d scene;
  scene.Add(MillionFaceTorus());
  CMultipleSmoothParams params;
  params.Iterations = 10;
  for (auto _ : state) CommandMultipleSmooth(&scene, params, [](int) {});
}
BENCHMARK(BM_MultipleSmoothCommand)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ColorCurvature(benchmark::State& state) {
  MeshPtr mesh(MillionFaceTorus());
  CColorRamp ramp;
  ramp.SetRainbow();
  for (auto _ : state) ColorByMeasure(mesh.get(), CMeasure::Curvature, ramp);
}
BENCHMARK(BM_ColorCurvature)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ColorCompacity(benchmark::State& state) {
  MeshPtr mesh(MillionFaceTorus());
  CColorRamp ramp;
  ramp.SetRainbow();
  for (auto _ : state) ColorByMeasure(mesh.get(), CMeasure::Compacity, ramp);
}
BENCHMARK(BM_ColorCompacity)->Unit(benchmark::kMillisecond)->Iterations(3);

// PackVertices with f = 4, then the Rebuild its command runs.
void BM_PackVertices4(benchmark::State& state) {
  TimeOnFreshMeshes(state, MillionFaceTorus, [](CMesh3d* mesh) { PackVertices(mesh, 4); });
}
BENCHMARK(BM_PackVertices4)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_PackVertices4Command(benchmark::State& state) {
  TimeOnFreshMeshes(state, MillionFaceTorus, [](CMesh3d* mesh) {
    PackVertices(mesh, 4);
    mesh->Rebuild();
  });
}
BENCHMARK(BM_PackVertices4Command)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_SpringIteration(benchmark::State& state) {
  MeshPtr mesh(MillionFaceTorus());
  for (auto _ : state) SpringRelax(mesh.get(), 20.0, 1);
}
BENCHMARK(BM_SpringIteration)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_FillHole(benchmark::State& state) {
  TimeOnFreshMeshes(
      state, [] { return testmeshes::MakeGrid(708, 706); }, FillHole);
}
BENCHMARK(BM_FillHole)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_SwapPass(benchmark::State& state) {
  TimeOnFreshMeshes(state, RandomlySplitGrid, [](CMesh3d* mesh) { SwapForCompacity(mesh); });
}
BENCHMARK(BM_SwapPass)->Unit(benchmark::kMillisecond)->Iterations(2);

// The whole "Improve compacity" command on the randomly split grid.
void BM_ImproveCompacityCommand(benchmark::State& state) {
  int swapped = 0;
  for (auto _ : state) {
    state.PauseTiming();
    CSceneGraph3d scene;
    scene.Add(RandomlySplitGrid());
    state.ResumeTiming();
    int passes = 0;
    CSubdivisionOutcome outcome =
        CommandImproveCompacity(&scene, [&passes](const std::string&) { passes++; });
    state.PauseTiming();
    state.counters["passes"] = passes;
    std::sscanf(outcome.status.c_str(), "Improve compacity done (%d", &swapped);
    state.counters["swapped"] = swapped;
    state.ResumeTiming();
  }
}
BENCHMARK(BM_ImproveCompacityCommand)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
