// The gate coders on a million faces: a closed torus of triangles and one
// of quads, encoded (half-edge table, conquest, codes, raw positions) and
// decoded from memory. Peak memory is measured in a child process that
// holds only the mesh arrays and the coder's work.
//   build/bench/bench_gate

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cmath>

#include "compression/GateCommands.h"
#include "tests/support/ResidentMemory.h"

using namespace orvex;

namespace {

// A torus of nu x nv vertices as quads, or as two triangles a quad.
CGateArrays TorusArrays(int nu, int nv, bool quads) {
  CGateArrays a;
  for (int i = 0; i < nu; ++i)
    for (int j = 0; j < nv; ++j) {
      const double u = 2 * M_PI * i / nu, v = 2 * M_PI * j / nv;
      const double r = 1.0 + 0.3 * std::cos(v);
      a.m_Xyz.insert(a.m_Xyz.end(),
                     {float(r * std::cos(u)), float(r * std::sin(u)), float(0.3 * std::sin(v))});
    }
  auto at = [nu, nv](int i, int j) { return (i % nu) * nv + (j % nv); };
  for (int i = 0; i < nu; ++i)
    for (int j = 0; j < nv; ++j) {
      const int q[4] = {at(i, j), at(i + 1, j), at(i + 1, j + 1), at(i, j + 1)};
      if (quads) {
        a.m_Corners.insert(a.m_Corners.end(), q, q + 4);
        a.m_Sizes.push_back(4);
      } else {
        a.m_Corners.insert(a.m_Corners.end(), {q[0], q[1], q[2], q[0], q[2], q[3]});
        a.m_Sizes.insert(a.m_Sizes.end(), {3, 3});
      }
    }
  return a;
}

const CGateArrays& Mesh(GateFaces faces) {
  static const CGateArrays triangles = TorusArrays(1000, 500, false);
  static const CGateArrays quads = TorusArrays(1000, 1000, true);
  return faces == GateFaces::kTriangles ? triangles : quads;
}

std::vector<uint8_t> Encoded(GateFaces faces, CGateRun& run) {
  CGateRequest request;
  RunGateEncoding(Mesh(faces), faces, request, run);
  std::vector<uint8_t> bytes;
  CGateFileBits bits;
  std::string error;
  if (faces == GateFaces::kTriangles)
    WriteGateTriangleFile(run.m_Conquest, Mesh(faces).m_Xyz, 1, false, bytes, bits, error);
  else
    WriteGateQuadFile(run.m_Conquest, Mesh(faces).m_Xyz, bytes, bits, error);
  return bytes;
}

int Decode(GateFaces faces, const std::vector<uint8_t>& bytes, CGateDecoded& decoded) {
  std::string error;
  return faces == GateFaces::kTriangles
             ? ReadGateTriangleFile(bytes.data(), bytes.size(), true, decoded, error)
             : ReadGateQuadFile(bytes.data(), bytes.size(), true, decoded, error);
}

double PeakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024.0;
}

void BM_GateEncode(benchmark::State& state) {
  const GateFaces faces = state.range(0) ? GateFaces::kQuads : GateFaces::kTriangles;
  const CGateArrays& mesh = Mesh(faces);
  CGateRun run;
  for (auto _ : state) {
    CGateRequest request;
    RunGateEncoding(mesh, faces, request, run);
    benchmark::DoNotOptimize(run.m_Bits.m_Total);
  }
  state.counters["faces"] = double(mesh.m_Sizes.size());
  state.counters["conn_b/v"] = run.Rate(run.m_Bits.m_Connectivity);
  state.counters["faces/s"] = benchmark::Counter(double(mesh.m_Sizes.size()),
                                                 benchmark::Counter::kIsIterationInvariantRate);
  const std::vector<double> peak =
      residentmemory::MeasureInChild([faces](std::vector<double>& out) {
        CGateRun child;
        CGateRequest request;
        RunGateEncoding(Mesh(faces), faces, request, child);
        out.push_back(PeakMegabytes());
      });
  if (!peak.empty()) state.counters["peak_RSS_MB"] = peak[0];
}

void BM_GateDecode(benchmark::State& state) {
  const GateFaces faces = state.range(0) ? GateFaces::kQuads : GateFaces::kTriangles;
  CGateRun run;
  const std::vector<uint8_t> bytes = Encoded(faces, run);
  int ok = 0;
  for (auto _ : state) {
    CGateDecoded decoded;
    ok = Decode(faces, bytes, decoded);
    benchmark::DoNotOptimize(decoded.m_Xyz.data());
  }
  if (!ok) state.SkipWithError("decoding failed");
  state.counters["faces/s"] =
      benchmark::Counter(double(run.m_NbFace), benchmark::Counter::kIsIterationInvariantRate);
  const std::vector<double> peak =
      residentmemory::MeasureInChild([faces, &bytes](std::vector<double>& out) {
        CGateDecoded decoded;
        Decode(faces, bytes, decoded);
        out.push_back(PeakMegabytes());
      });
  if (!peak.empty()) state.counters["peak_RSS_MB"] = peak[0];
}

} // namespace

// 0: a million triangles, 1: a million quads
BENCHMARK(BM_GateEncode)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_GateDecode)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();
