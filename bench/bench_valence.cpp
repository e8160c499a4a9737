// Speed of the valence-driven connectivity coder: one encoding (conquest
// and packing, no geometry, no file) of a 1M-face closed torus, regular and
// made irregular by random edge flips.

#include <benchmark/benchmark.h>

#include <memory>

#include "compression/ValenceEncoder.h"
#include "geometry/Mesh3d.h"
#include "tests/compression/ValenceTestMeshes.h"
#include "tests/support/TestMeshes.h"

namespace {

CMesh3d* Torus(bool irregular) {
  static std::unique_ptr<CMesh3d> meshes[2];
  std::unique_ptr<CMesh3d>& mesh = meshes[irregular ? 1 : 0];
  if (!mesh) {
    mesh.reset(testmeshes::MakeTorus(1000, 500));
    if (irregular) valencetest::FlipRandomEdges(*mesh, 300000, 1);
  }
  return mesh.get();
}

void EncodeTorus(benchmark::State& state) {
  CMesh3d* mesh = Torus(state.range(0) != 0);
  orvex::CValenceOptions options;
  options.m_PackedFile.clear();
  orvex::CValenceResult result;
  for (auto _ : state) {
    orvex::EncodeValence(mesh, options, &result);
    benchmark::DoNotOptimize(result.m_ConnectivityBits);
  }
  state.counters["faces"] = mesh->NbFace();
  state.counters["b/v"] = result.m_ConnectivityRate;
  state.counters["splits"] = result.m_Splits;
  state.SetItemsProcessed(state.iterations() * mesh->NbFace());
}

} // namespace

// argument: 0 regular, 1 irregular
BENCHMARK(EncodeTorus)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();
