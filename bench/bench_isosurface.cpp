// Progressive isosurface coding of sphere volumes: extraction (dual
// contouring at unit step), encoding and decoding of the whole surface, and
// the contouring of every level the decoder shows. "peak_MB" is the
// process's peak resident size so far, the sampled volume (potentials
// included: 540 MB at N = 513) counted in.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

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

double PeakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024.0;
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
  state.counters["peak_MB"] = PeakMegabytes();
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
  state.counters["peak_MB"] = PeakMegabytes();
}

// Level `level` of a depth-D volume as the decoder contours it: cell
// centres on the lattice of step 2^(D - 1 - level); the last level is the
// full surface.
void BM_IsoLevelContour(benchmark::State& state) {
  const int depth = static_cast<int>(state.range(0)), level = static_cast<int>(state.range(1));
  const CIsoVolume& volume = SphereVolume(depth);
  for (auto _ : state) {
    CIsoSurface surface;
    IsoContour(volume.m_Signs, int64_t(1) << (depth - 1 - level), surface);
    state.counters["quads"] = surface.QuadCount();
  }
}

void EveryLevel(benchmark::internal::Benchmark* b) {
  for (int level = 0; level < 9; ++level) b->Args({9, level});
}

} // namespace

// 128^3 cells (N = 129), and N = 513 once (with geometry: the geometry's
// share is the difference)
BENCHMARK(BM_IsoExtract)->Arg(7)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IsoExtract)->Arg(9)->Iterations(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IsoEncode)->Args({7, 0})->Args({7, 1})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IsoDecode)->Args({7, 0})->Args({7, 1})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IsoEncode)->Args({9, 0})->Args({9, 1})->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IsoDecode)->Args({9, 0})->Args({9, 1})->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IsoLevelContour)->Apply(EveryLevel)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
