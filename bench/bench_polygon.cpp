// Speed of the quad and polygon meshes: a Catmull-Clark step of a closed
// 262,144-quad torus beside the Loop step of the 262,144-face torus (same
// run), a Kobbelt step, the polygon text read and write of a million-quad
// mesh, and the polygon weld of a million vertices.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "bench/BenchFiles.h"
#include "geometry/Mesh3d.h"
#include "geometry/PolygonMesh.h"
#include "geometry/QuadMesh.h"
#include "geometry/Random15.h"
#include "io/ReadPolygonFile.h"
#include "io/ReplaceFile.h"
#include "io/TextOutput.h"
#include "io/WriteObjPolygons.h"
#include "processing/LoopSubdivision.h"
#include "processing/PolygonConversions.h"
#include "processing/QuadSubdivision.h"
#include "tests/support/TestMeshes.h"

namespace {

// Runs step on a fresh object per iteration; making and freeing it is not
// timed.
template <class Make, class Step> void TimeOnFresh(benchmark::State& state, Make make, Step step) {
  for (auto _ : state) {
    state.PauseTiming();
    auto object = make();
    state.ResumeTiming();
    step(*object);
    state.PauseTiming();
    object.reset();
    state.ResumeTiming();
  }
}

// 512 x 512 = 262,144 quads, closed.
std::unique_ptr<CQuadMesh> QuadTorus() {
  return std::unique_ptr<CQuadMesh>(testmeshes::MakeQuadTorus(512, 512));
}

void BM_CatmullClarkClosedTorus(benchmark::State& state) {
  double bytesPerQuad = 0;
  TimeOnFresh(state, QuadTorus, [&](CQuadMesh& mesh) {
    SubdivisionCatmullClark(mesh);
    bytesPerQuad = static_cast<double>(QuadMeshBytes(mesh)) / mesh.NbFace();
  });
  state.counters["quads"] = 512 * 512;
  // memory of the refined mesh, adjacency included
  state.counters["bytes/quad"] = bytesPerQuad;
}
BENCHMARK(BM_CatmullClarkClosedTorus)->Unit(benchmark::kMillisecond)->Iterations(8);

// The Loop step of the 2 * 512 * 256 = 262,144-face torus, for comparison.
void BM_LoopClosedTorus(benchmark::State& state) {
  TimeOnFresh(
      state, [] { return std::unique_ptr<CMesh3d>(testmeshes::MakeTorus(512, 256)); },
      [](CMesh3d& mesh) { SubdivisionLoop(&mesh); });
}
BENCHMARK(BM_LoopClosedTorus)->Unit(benchmark::kMillisecond)->Iterations(8);

void BM_KobbeltClosedTorus(benchmark::State& state) {
  TimeOnFresh(state, QuadTorus, [](CQuadMesh& mesh) { SubdivisionKobbelt(mesh); });
}
BENCHMARK(BM_KobbeltClosedTorus)->Unit(benchmark::kMillisecond)->Iterations(8);

// 1024 x 1024 = 1,048,576 quads.
CQuadMesh& MillionQuads() {
  static std::unique_ptr<CQuadMesh> mesh(testmeshes::MakeQuadTorus(1024, 1024));
  return *mesh;
}

void BM_WriteQuadFile(benchmark::State& state) {
  const std::string path = benchfiles::TempPath("quads.quad");
  for (auto _ : state) {
    std::string error;
    if (!WriteQuadMeshFile(MillionQuads(), path, error)) state.SkipWithError(error.c_str());
  }
  benchfiles::SetBytes(state, benchfiles::FileSize(path));
  std::remove(path.c_str());
}
BENCHMARK(BM_WriteQuadFile)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ReadPolygonFile(benchmark::State& state) {
  const std::string path = benchfiles::TempPath("quads.obj");
  std::string error;
  WriteQuadMeshFile(MillionQuads(), path, error);
  double bytesPerPolygon = 0;
  for (auto _ : state) {
    CPolygonMesh mesh;
    CReadReport report;
    if (!ReadPolygonFile(&mesh, path, report, error)) state.SkipWithError(error.c_str());
    bytesPerPolygon = static_cast<double>(PolygonMeshBytes(mesh)) / mesh.NbFace();
  }
  // memory of the mesh read (quads as polygons), vertices included
  state.counters["bytes/polygon"] = bytesPerPolygon;
  benchfiles::SetBytes(state, benchfiles::FileSize(path));
  std::remove(path.c_str());
}
BENCHMARK(BM_ReadPolygonFile)->Unit(benchmark::kMillisecond)->Iterations(3);

// 1,048,576 vertices, every second one a copy of another (shuffled).
std::unique_ptr<CPolygonMesh> MillionVerticesHalfCopies() {
  auto mesh = std::make_unique<CPolygonMesh>();
  CRandom15 random;
  const int n = 1 << 20;
  mesh->Reserve(n, n / 3, n);
  for (int i = 0; i < n; i++) {
    const int k = static_cast<int>((i * 7919LL + random.Next()) % (n / 2));
    mesh->AddVertex(k % 1024, k / 1024, (k * 31) % 17);
  }
  for (int i = 0; i + 2 < n; i += 3) {
    const int c[3] = {i, i + 1, i + 2};
    mesh->AddFace(c, 3);
  }
  return mesh;
}

void BM_PolygonWeldMillion(benchmark::State& state) {
  TimeOnFresh(state, MillionVerticesHalfCopies, [](CPolygonMesh& mesh) { Weld(mesh); });
}
BENCHMARK(BM_PolygonWeldMillion)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
