// Speed of the degree-and-offset structure coder: encoding (from the mesh,
// its half-edge form included, no file) and decoding (file bytes to faces)
// of a 100k-face and a 1M-face closed torus and a 1M-face open grid, the
// peak memory each adds to a process holding only the mesh, and the rates
// on the single-rate valence coder's reference meshes beside that coder's.

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <fstream>
#include <map>
#include <memory>
#include <string>

#include "compression/StructureDecoder.h"
#include "compression/StructureEncoder.h"
#include "compression/ValenceEncoder.h"
#include "geometry/Mesh3d.h"
#include "tests/compression/ValenceTestMeshes.h"
#include "tests/support/ResidentMemory.h"
#include "tests/support/TestMeshes.h"

namespace {

enum MeshKind { kTorus100k = 0, kTorus1M = 1, kGrid1M = 2 };

CMesh3d* MakeKind(int kind) {
  switch (kind) {
  case kTorus100k:
    return testmeshes::MakeTorus(250, 200);
  case kTorus1M:
    return testmeshes::MakeTorus(1000, 500);
  default:
    return testmeshes::MakeGrid(1000, 500);
  }
}

CMesh3d* Mesh(int kind) {
  static std::map<int, std::unique_ptr<CMesh3d>> meshes;
  std::unique_ptr<CMesh3d>& mesh = meshes[kind];
  if (!mesh) mesh.reset(MakeKind(kind));
  return mesh.get();
}

const orvex::CStructureResult& Encoded(int kind) {
  static std::map<int, orvex::CStructureResult> results;
  auto found = results.find(kind);
  if (found == results.end()) {
    orvex::CStructureResult& result = results[kind];
    orvex::EncodeStructure(*Mesh(kind), "", 0, orvex::CStructureOptions(), result);
    return result;
  }
  return found->second;
}

void Encode(benchmark::State& state) {
  const CMesh3d* mesh = Mesh(static_cast<int>(state.range(0)));
  orvex::CStructureResult result;
  for (auto _ : state) {
    orvex::EncodeStructure(*mesh, "", 0, orvex::CStructureOptions(), result);
    benchmark::DoNotOptimize(result.m_Bits);
  }
  state.counters["faces"] = mesh->NbFace();
  state.counters["bits/face"] = result.m_Cost;
  state.counters["b/v"] = result.m_Cost * mesh->NbFace() / mesh->NbVertex();
  state.counters["offsets"] = result.m_NbOffsets;
  state.counters["dummy"] = result.m_NbDummy;
  state.SetItemsProcessed(state.iterations() * mesh->NbFace());
}

void Decode(benchmark::State& state) {
  const orvex::CStructureResult& encoded = Encoded(static_cast<int>(state.range(0)));
  orvex::CStructureDecoded decoded;
  std::string error;
  for (auto _ : state) {
    if (!orvex::DecodeStructure(encoded.m_Bytes.data(), encoded.m_Bytes.size(), decoded, error)) {
      state.SkipWithError(error.c_str());
      return;
    }
    benchmark::DoNotOptimize(decoded.m_Triangles.data());
  }
  state.counters["faces"] = static_cast<double>(decoded.m_Triangles.size() / 3);
  state.SetItemsProcessed(state.iterations() *
                          static_cast<int64_t>(decoded.m_Triangles.size() / 3));
}

// Peak resident size of this process in bytes (VmHWM), after `reset`
// started the count again from the current size.
double PeakBytes(bool reset) {
  if (reset) std::ofstream("/proc/self/clear_refs") << "5";
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) * 1024.0;
  return 0.0;
}

// Megabytes the encoder and the decoder add at their peak to a process
// holding the 1M-face mesh (and, for the decoder, its file).
void PeakMemory(benchmark::State& state) {
  const int kind = static_cast<int>(state.range(0));
  std::vector<double> figures;
  for (auto _ : state) {
    figures = residentmemory::MeasureInChild([kind](std::vector<double>& out) {
      std::unique_ptr<CMesh3d> mesh(MakeKind(kind));
      malloc_trim(0);
      double base = double(residentmemory::ResidentBytes());
      PeakBytes(true);
      orvex::CStructureResult result;
      orvex::EncodeStructure(*mesh, "", 0, orvex::CStructureOptions(), result);
      out.push_back((PeakBytes(false) - base) / (1 << 20));
      std::vector<uint8_t> bytes = result.m_Bytes;
      result = orvex::CStructureResult();
      malloc_trim(0);
      base = double(residentmemory::ResidentBytes());
      PeakBytes(true);
      orvex::CStructureDecoded decoded;
      std::string error;
      orvex::DecodeStructure(bytes.data(), bytes.size(), decoded, error);
      out.push_back((PeakBytes(false) - base) / (1 << 20));
    });
  }
  if (figures.size() != 2) {
    state.SkipWithError("the measuring child process failed");
    return;
  }
  state.counters["encode MB"] = figures[0];
  state.counters["decode MB"] = figures[1];
}

// Rates on the valence coder's reference meshes (a regular torus, randomly
// flipped spheres and tori): bits per face, bits per vertex, offsets and
// dummy codes, with the valence coder's bits per vertex on the same mesh.
void Rates(benchmark::State& state) {
  const valencetest::ReferenceMesh& reference = valencetest::kReferenceMeshes[state.range(0)];
  std::unique_ptr<CMesh3d> mesh(valencetest::MakeReferenceMesh(reference));
  orvex::CStructureResult result;
  for (auto _ : state) orvex::EncodeStructure(*mesh, "", 0, orvex::CStructureOptions(), result);
  if (!result.m_Ok) {
    state.SkipWithError("the structure coder refused the mesh");
    return;
  }
  orvex::CValenceOptions options;
  options.m_PackedFile.clear();
  orvex::CValenceResult valence;
  orvex::EncodeValence(mesh.get(), options, &valence);
  state.SetLabel(reference.name);
  state.counters["V"] = mesh->NbVertex();
  state.counters["F"] = mesh->NbFace();
  state.counters["bits/face"] = result.m_Cost;
  state.counters["b/v"] = result.m_Cost * mesh->NbFace() / mesh->NbVertex();
  state.counters["offsets"] = result.m_NbOffsets;
  state.counters["dummy"] = result.m_NbDummy;
  state.counters["valence_b/v"] = valence.m_ConnectivityRate;
}

BENCHMARK(Encode)->Arg(kTorus100k)->Arg(kTorus1M)->Arg(kGrid1M)->Unit(benchmark::kMillisecond);
BENCHMARK(Decode)->Arg(kTorus100k)->Arg(kTorus1M)->Arg(kGrid1M)->Unit(benchmark::kMillisecond);
BENCHMARK(PeakMemory)->Arg(kTorus1M)->Arg(kGrid1M)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(Rates)->DenseRange(0, 4)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
