// Speed and peak memory of the simplification routines on a million-face
// mesh taken down to a tenth of its vertices (a tenth of its faces for the
// face collapses): a noisy torus made here, or a scan named on the command
// line or in ORVEX_SIMPLIFY_MESH (any format File/Open reads).
//
//   build/bench/bench_simplify [mesh file] [--benchmark_filter=EdgeBased]
//
// Each run works on a fresh copy (copying is not timed); the final Rebuild
// is included. "peak MB" is the process's peak resident size during the
// run, "work MB" what the run added to the resident size it started with.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>

#include "geometry/Mesh3d.h"
#include "geometry/Random15.h"
#include "geometry/SceneGraph3d.h"
#include "io/FormatTable.h"
#include "processing/Simplification.h"
#include "tests/support/ResidentMemory.h"
#include "tests/support/TestMeshes.h"

namespace {

std::string g_MeshFile;

// A closed torus of 2 * 708 * 706 = 999,696 faces, every vertex pushed
// along its normal by up to 1% of the tube radius so that costs differ.
CMesh3d* MakeNoisyTorus() {
  CMesh3d* mesh = testmeshes::MakeTorus(708, 706);
  CRandom15 random(17);
  for (CVertex3d* v : mesh->m_ArrayVertex) {
    double noise = 0.003 * (2.0 * random.Next() / CRandom15::kMax - 1.0);
    v->Set(v->Position() + v->m_Normal * noise);
  }
  mesh->Rebuild();
  return mesh;
}

CMesh3d* ReadMesh(const std::string& fileName) {
  const CFileFormat* format = FindFileFormat(fileName);
  if (!format) return nullptr;
  CReadReport report;
  std::string error;
  if (format->open == EFormatOpen::Mesh && format->meshReader) {
    auto* mesh = new CMesh3d;
    if (format->meshReader(mesh, fileName, report, error)) return mesh;
    delete mesh;
  } else if (format->open == EFormatOpen::Scene && format->sceneReader) {
    CSceneGraph3d scene;
    if (format->sceneReader(&scene, fileName, report, error))
      for (int i = 0; i < scene.NbObject(); i++)
        if (scene.GetAt(i)->GetType() == TYPE_MESH3D)
          return static_cast<CMesh3d*>(scene.GetAt(i))->Clone();
  }
  std::fprintf(stderr, "cannot read %s: %s\n", fileName.c_str(), error.c_str());
  return nullptr;
}

// The mesh every benchmark copies, made or read once.
const CMesh3d& Source() {
  static std::unique_ptr<CMesh3d> mesh;
  if (!mesh) {
    mesh.reset(g_MeshFile.empty() ? MakeNoisyTorus() : ReadMesh(g_MeshFile));
    if (!mesh) mesh.reset(MakeNoisyTorus());
    mesh->Rebuild();
  }
  return *mesh;
}

// Peak resident bytes since the last reset (VmHWM), and its reset.
long long PeakResidentBytes() {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::atoll(line.c_str() + 6) * 1024LL;
  return 0;
}
void ResetPeak() {
  std::ofstream out("/proc/self/clear_refs");
  out << "5";
}

template <class Run> void TimeOnCopies(benchmark::State& state, Run run) {
  const CMesh3d& source = Source();
  double peak = 0.0, work = 0.0;
  int after = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::unique_ptr<CMesh3d> mesh(source.Clone());
    double before = static_cast<double>(residentmemory::ResidentBytes());
    ResetPeak();
    state.ResumeTiming();
    run(mesh.get());
    state.PauseTiming();
    double high = static_cast<double>(PeakResidentBytes());
    peak = high / 1e6;
    work = (high - before) / 1e6;
    after = mesh->NbVertex();
    mesh.reset();
    state.ResumeTiming();
  }
  state.counters["faces"] = source.NbFace();
  state.counters["vertices"] = source.NbVertex();
  state.counters["vertices after"] = after;
  state.counters["peak MB"] = peak;
  state.counters["work MB"] = work;
}

int TenthOfVertices(const CMesh3d* mesh) {
  return mesh->NbVertex() / 10;
}

// Edge-based with the dialog's defaults, "Combination" off.
void BM_EdgeBased(benchmark::State& state) {
  TimeOnCopies(state, [](CMesh3d* mesh) {
    CEdgeBasedParams p;
    p.Combination = 0;
    p.Update = 0;
    p.Final = TenthOfVertices(mesh);
    EdgeBasedSimplification(mesh, p, nullptr, {});
  });
}
BENCHMARK(BM_EdgeBased)->Unit(benchmark::kMillisecond)->Iterations(1);

// Edge-based with the dialog's defaults ("Combination" on).
void BM_EdgeBasedCombination(benchmark::State& state) {
  TimeOnCopies(state, [](CMesh3d* mesh) {
    CEdgeBasedParams p;
    p.Update = 0;
    p.Final = TenthOfVertices(mesh);
    EdgeBasedSimplification(mesh, p, nullptr, {});
  });
}
BENCHMARK(BM_EdgeBasedCombination)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_ErrorAccumulation(benchmark::State& state) {
  TimeOnCopies(state, [](CMesh3d* mesh) { ErrorAccumulation(mesh, TenthOfVertices(mesh), 0, {}); });
}
BENCHMARK(BM_ErrorAccumulation)->Unit(benchmark::kMillisecond)->Iterations(1);

// Face-based on the million-face mesh, to a tenth of its faces. The face
// records are fixed from the start, so the collapses gather into fans of
// hundreds of faces.
void BM_FaceBased(benchmark::State& state) {
  TimeOnCopies(state,
               [](CMesh3d* mesh) { FaceBasedSimplification(mesh, mesh->NbFace() / 10, {}); });
}
BENCHMARK(BM_FaceBased)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_IndependentEdgeCollapse(benchmark::State& state) {
  TimeOnCopies(state, [](CMesh3d* mesh) { IndependentEdgeCollapses(mesh); });
}
BENCHMARK(BM_IndependentEdgeCollapse)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv) {
  // a mesh file: the first argument that is not a benchmark flag
  if (const char* env = std::getenv("ORVEX_SIMPLIFY_MESH")) g_MeshFile = env;
  int kept = 1;
  for (int i = 1; i < argc; i++) {
    if (std::strncmp(argv[i], "--", 2) != 0 && g_MeshFile.empty())
      g_MeshFile = argv[i];
    else
      argv[kept++] = argv[i];
  }
  argc = kept;
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
