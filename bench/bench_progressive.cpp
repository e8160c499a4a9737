// Speed of the progressive valence coder on closed tori of 100k and 1M
// faces, regular and made irregular by random edge flips: encoding down
// to 100 vertices (the removal decisions include the geometry check),
// writing the ".vpm" bytes (connectivity and geometry coding), reading
// them back and decoding every layer with its positions. The counters give
// the rates and, measured in a child process, the peak resident memory of
// one encoding and one decoding.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>

#include "compression/ProgressiveDecoder.h"
#include "compression/ProgressiveEncoder.h"
#include "compression/ProgressiveMesh.h"
#include "compression/ProgressiveMeshes.h"
#include "compression/VpmFile.h"
#include "geometry/Mesh3d.h"
#include "tests/compression/ValenceTestMeshes.h"
#include "tests/support/ResidentMemory.h"
#include "tests/support/TestMeshes.h"

namespace {

struct Input {
  std::vector<double> positions;
  std::vector<int> triangles;
  std::vector<uint8_t> bytes;
};

// faces: 100k or 1M; irregular: a fifth of the edges flipped
const Input& Torus(int faces, bool irregular) {
  static std::map<std::pair<int, bool>, Input> inputs;
  Input& input = inputs[{faces, irregular}];
  if (input.positions.empty()) {
    const int nu = faces >= 1000000 ? 1000 : 250, nv = faces / (2 * nu);
    std::unique_ptr<CMesh3d> mesh(testmeshes::MakeTorus(nu, nv));
    if (irregular) valencetest::FlipRandomEdges(*mesh, faces / 10, 1);
    orvex::MeshArrays(*mesh, input.positions, input.triangles);
    orvex::CProgressiveEncoding encoding;
    orvex::CProgressiveOptions options;
    orvex::EncodeProgressive(input.positions, input.triangles, options, encoding);
    orvex::CVpmSizes sizes;
    std::string error;
    orvex::WriteVpm(orvex::VpmFromEncoding(encoding), input.bytes, sizes, error);
  }
  return input;
}

// Peak resident growth (MB) of one run of work, in a child process.
double PeakMegabytes(const std::function<void()>& work) {
  std::vector<double> result = residentmemory::MeasureInChild([&](std::vector<double>& out) {
    // the peak starts again from what the child holds now
    if (std::FILE* clear = std::fopen("/proc/self/clear_refs", "w")) {
      std::fputs("5", clear);
      std::fclose(clear);
    }
    const double before = static_cast<double>(residentmemory::ResidentBytes());
    work();
    double peak = 0.0;
    if (std::FILE* status = std::fopen("/proc/self/status", "r")) {
      char line[256];
      while (std::fgets(line, sizeof line, status))
        if (std::strncmp(line, "VmHWM:", 6) == 0) peak = 1024.0 * std::atof(line + 6);
      std::fclose(status);
    }
    out.push_back((peak - before) / (1024.0 * 1024.0));
  });
  return result.empty() ? 0.0 : result[0];
}

void Encode(benchmark::State& state) {
  const Input& input = Torus(static_cast<int>(state.range(0)), state.range(1) != 0);
  orvex::CProgressiveOptions options;
  orvex::CProgressiveEncoding encoding;
  for (auto _ : state) {
    orvex::EncodeProgressive(input.positions, input.triangles, options, encoding);
    benchmark::DoNotOptimize(encoding.m_Layers.data());
  }
  orvex::CVpmSizes sizes;
  std::vector<uint8_t> bytes;
  std::string error;
  orvex::WriteVpm(orvex::VpmFromEncoding(encoding), bytes, sizes, error);
  const double removed = encoding.NbRemoved(), vertices = encoding.m_NbVertexBefore;
  state.counters["layers"] = static_cast<double>(encoding.m_Layers.size());
  state.counters["base"] = static_cast<double>(encoding.m_BaseVertex.size());
  state.counters["conn_b/rv"] = sizes.m_Connectivity / removed;
  state.counters["geom_b/rv"] = sizes.m_Geometry / removed;
  state.counters["conn_b/v"] = sizes.m_Connectivity / vertices;
  state.counters["total_b/v"] = sizes.m_Total / vertices;
  state.counters["peak_MB"] = PeakMegabytes([&] {
    orvex::CProgressiveEncoding once;
    orvex::EncodeProgressive(input.positions, input.triangles, options, once);
  });
}

void Write(benchmark::State& state) {
  const Input& input = Torus(static_cast<int>(state.range(0)), state.range(1) != 0);
  orvex::CProgressiveEncoding encoding;
  orvex::EncodeProgressive(input.positions, input.triangles, orvex::CProgressiveOptions(),
                           encoding);
  const orvex::CVpmFile file = orvex::VpmFromEncoding(encoding);
  std::vector<uint8_t> bytes;
  orvex::CVpmSizes sizes;
  std::string error;
  for (auto _ : state) {
    orvex::WriteVpm(file, bytes, sizes, error);
    benchmark::DoNotOptimize(bytes.data());
  }
  state.counters["bytes"] = static_cast<double>(bytes.size());
}

void Decode(benchmark::State& state) {
  const Input& input = Torus(static_cast<int>(state.range(0)), state.range(1) != 0);
  size_t faces = 0;
  for (auto _ : state) {
    orvex::CVpmFile file;
    std::string error;
    orvex::ReadVpm(input.bytes.data(), input.bytes.size(), file, error);
    orvex::CProgressiveMesh mesh;
    orvex::DecodeProgressive(file, orvex::CDecodeOptions(), mesh, error);
    faces = mesh.NbFace();
  }
  state.counters["faces"] = static_cast<double>(faces);
  state.counters["peak_MB"] = PeakMegabytes([&] {
    orvex::CVpmFile file;
    std::string error;
    orvex::ReadVpm(input.bytes.data(), input.bytes.size(), file, error);
    orvex::CProgressiveMesh mesh;
    orvex::DecodeProgressive(file, orvex::CDecodeOptions(), mesh, error);
  });
}

// Rates on the single-rate coder's reference meshes (regular and randomly
// flipped tori and spheres), at the quantization the argument gives.
void Rates(benchmark::State& state) {
  const valencetest::ReferenceMesh& reference = valencetest::kReferenceMeshes[state.range(0)];
  std::unique_ptr<CMesh3d> mesh(valencetest::MakeReferenceMesh(reference));
  std::vector<double> positions;
  std::vector<int> triangles;
  orvex::MeshArrays(*mesh, positions, triangles);
  orvex::CProgressiveOptions options;
  options.m_QuantizationBits = static_cast<int>(state.range(1));
  orvex::CProgressiveEncoding encoding;
  for (auto _ : state) {
    encoding = orvex::CProgressiveEncoding();
    orvex::EncodeProgressive(positions, triangles, options, encoding);
  }
  orvex::CVpmSizes sizes;
  std::vector<uint8_t> bytes;
  std::string error;
  orvex::WriteVpm(orvex::VpmFromEncoding(encoding), bytes, sizes, error);
  const double removed = encoding.NbRemoved(), vertices = encoding.m_NbVertexBefore;
  state.SetLabel(reference.name);
  state.counters["layers"] = static_cast<double>(encoding.m_Layers.size());
  state.counters["base"] = static_cast<double>(encoding.m_BaseVertex.size());
  state.counters["conn_b/rv"] = sizes.m_Connectivity / removed;
  state.counters["geom_b/rv"] = sizes.m_Geometry / removed;
  state.counters["total_b/v"] = sizes.m_Total / vertices;
}

} // namespace

// arguments: faces, 0 regular / 1 irregular
#define TORI ->Args({100000, 0})->Args({100000, 1})->Args({1000000, 0})->Args({1000000, 1})
BENCHMARK(Encode) TORI->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(Write) TORI->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(Decode) TORI->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK(Rates)
    ->ArgsProduct({{0, 1, 2, 3, 4}, {10, 12}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

BENCHMARK_MAIN();
