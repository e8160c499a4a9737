// Progressive isosurface coding of sphere volumes: extraction (dual
// contouring at unit step), encoding and decoding of the whole surface.
#include <benchmark/benchmark.h>

#include <string>

#include "compression/IsoCoder.h"
#include "tests/support/TestVolumes.h"

namespace {

const CIsoVolume& SphereVolume(int depth) {
  static CIsoVolume volumes[10];
  if (volumes[depth].m_N == 0)
    volumes[depth] = testvolumes::MakeVolume(testvolumes::SphereField(), depth);
  return volumes[depth];
}

struct Streams {
  CMemoryByteSink sign, leaf, geo;
  CIsoEncodeResult result;
};

void BM_IsoExtract(benchmark::State& state) {
  const CIsoVolume& volume = SphereVolume(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    CIsoSurface surface;
    IsoContour(volume.m_Signs, 1, surface, &volume);
    state.counters["quads"] = surface.QuadCount();
  }
}

void BM_IsoEncode(benchmark::State& state) {
  const CIsoVolume& volume = SphereVolume(static_cast<int>(state.range(0)));
  CIsoEncodeOptions options;
  options.m_Geometry = state.range(1) != 0;
  for (auto _ : state) {
    Streams s;
    std::string error;
    if (!IsoEncode(volume, options, s.sign, s.leaf, s.geo, s.result, error))
      state.SkipWithError(error.c_str());
    state.counters["quads"] = s.result.m_Faces;
    state.counters["bytes"] =
        double(s.result.m_SignBytes + s.result.m_LeafBytes + s.result.m_GeoBytes);
  }
}

void BM_IsoDecode(benchmark::State& state) {
  const CIsoVolume& volume = SphereVolume(static_cast<int>(state.range(0)));
  CIsoEncodeOptions options;
  options.m_Geometry = state.range(1) != 0;
  Streams s;
  std::string error;
  IsoEncode(volume, options, s.sign, s.leaf, s.geo, s.result, error);
  for (auto _ : state) {
    CMemoryByteSource sign(s.sign.Bytes().data(), s.sign.Bytes().size());
    CMemoryByteSource leaf(s.leaf.Bytes().data(), s.leaf.Bytes().size());
    CMemoryByteSource geo(s.geo.Bytes().data(), s.geo.Bytes().size());
    CIsoSurface surface;
    if (!IsoDecode(s.result.m_Header, sign, leaf, &geo, surface, error))
      state.SkipWithError(error.c_str());
  }
}

} // namespace

// 128^3 cells (N = 129), and N = 513 once
BENCHMARK(BM_IsoExtract)->Arg(7)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IsoEncode)->Args({7, 0})->Args({7, 1})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IsoDecode)->Args({7, 0})->Args({7, 1})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IsoEncode)->Args({9, 0})->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IsoDecode)->Args({9, 0})->Iterations(1)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
