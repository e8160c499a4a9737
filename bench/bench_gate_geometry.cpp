// Speed of the gate coders' geometry section: writing (ranges,
// quantization with decoded-position prediction, parameter streams) and
// reading a 1M-face torus's 500k positions in a breadth-first gate order,
// angles with 100 levels each or the local frame; the b/v of each.

#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "compression/GateGeometry.h"
#include "tests/support/GateRefs.h"
#include "tests/support/TestMeshes.h"

namespace {

const gaterefs::CConquest& Torus() {
  static std::unique_ptr<gaterefs::CConquest> conquest;
  if (!conquest) {
    std::unique_ptr<CMesh3d> mesh(testmeshes::MakeTorus(1000, 500));
    conquest = std::make_unique<gaterefs::CConquest>(gaterefs::FromMesh(*mesh));
  }
  return *conquest;
}

CGateGeometryOptions Options(bool local) {
  CGateGeometryOptions options;
  options.localFrame = local;
  return options;
}

std::vector<uint8_t> WriteSection(const CGateGeometryOptions& options, std::string& error) {
  CMemoryByteSink sink;
  BitOutputStream out(&sink, 0);
  if (!WriteGateGeometry(out, Torus().refs, Torus().xyz, options, error)) return {};
  out.Close();
  return sink.Bytes();
}

void Write(benchmark::State& state) {
  const CGateGeometryOptions options = Options(state.range(0) != 0);
  std::vector<uint8_t> bytes;
  std::string error;
  Torus(); // built before the clock starts
  for (auto _ : state) {
    bytes = WriteSection(options, error);
    if (bytes.empty()) {
      state.SkipWithError(error.c_str());
      return;
    }
  }
  state.counters["b/v"] = bytes.size() * 8.0 / Torus().refs.size();
  state.SetItemsProcessed(state.iterations() * Torus().refs.size());
}

void Read(benchmark::State& state) {
  std::string error;
  const std::vector<uint8_t> bytes = WriteSection(Options(state.range(0) != 0), error);
  std::vector<float> xyz;
  for (auto _ : state) {
    CMemoryByteSource source(bytes);
    BitInputStream in(&source, 0);
    in.Load();
    if (!ReadGateGeometry(in, Torus().refs, xyz, error)) {
      state.SkipWithError(error.c_str());
      return;
    }
    benchmark::DoNotOptimize(xyz.data());
  }
  state.SetItemsProcessed(state.iterations() * Torus().refs.size());
}

} // namespace

BENCHMARK(Write)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(Read)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
