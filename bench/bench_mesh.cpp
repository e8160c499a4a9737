// Speed and memory of the mesh core on million-face meshes.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "geometry/HeapRelease.h"
#include "geometry/Mesh3d.h"
#include "tests/support/ResidentMemory.h"
#include "tests/support/TestMeshes.h"

namespace {

// A closed torus of 2 * 708 * 706 = 999,696 faces.
constexpr int kTorusU = 708, kTorusV = 706;

std::unique_ptr<CMesh3d> MillionFaceTorus() {
  return std::unique_ptr<CMesh3d>(testmeshes::MakeTorus(kTorusU, kTorusV));
}

void BM_Rebuild(benchmark::State& state) {
  auto mesh = MillionFaceTorus();
  for (auto _ : state) mesh->Rebuild();
  state.counters["faces"] = mesh->NbFace();
  state.counters["faces/s"] =
      benchmark::Counter(double(mesh->NbFace()), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_Rebuild)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The first Rebuild of a mesh just read: every adjacency list is allocated.
void BM_RebuildFirst(benchmark::State& state) {
  auto closed = MillionFaceTorus();
  std::vector<double> xyz;
  std::vector<int> triangles;
  for (int i = 0; i < closed->NbVertex(); i++) {
    CVertex3d* v = closed->GetVertex(i);
    v->m_Flag = i;
    xyz.insert(xyz.end(), {v->x, v->y, v->z});
  }
  for (int i = 0; i < closed->NbFace(); i++)
    for (int k = 0; k < 3; k++) triangles.push_back(closed->GetFace(i)->v(k)->m_Flag);
  for (auto _ : state) {
    state.PauseTiming();
    std::unique_ptr<CMesh3d> mesh(testmeshes::MakeMesh(xyz, triangles, false));
    state.ResumeTiming();
    mesh->Rebuild();
    state.PauseTiming();
    mesh.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_RebuildFirst)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_BuildAdjacency(benchmark::State& state) {
  auto mesh = MillionFaceTorus();
  for (auto _ : state) mesh->BuildAdjacency();
}
BENCHMARK(BM_BuildAdjacency)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_Weld(benchmark::State& state) {
  auto closed = MillionFaceTorus();
  for (auto _ : state) {
    state.PauseTiming();
    std::unique_ptr<CMesh3d> soup(testmeshes::MakeSoup(closed.get()));
    state.ResumeTiming();
    soup->Weld();
    benchmark::DoNotOptimize(soup->NbVertex());
    state.PauseTiming();
    soup.reset();
    state.ResumeTiming();
  }
  state.counters["soup vertices"] = 3.0 * closed->NbFace();
}
BENCHMARK(BM_Weld)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_DeleteDuplicateFaces(benchmark::State& state) {
  auto mesh = MillionFaceTorus();
  for (auto _ : state) benchmark::DoNotOptimize(mesh->DeleteDuplicateFaces());
  state.counters["faces"] = mesh->NbFace();
}
BENCHMARK(BM_DeleteDuplicateFaces)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The neighbour of p with the fewest neighbours (the first of equals).
CVertex3d* LeastConnectedNeighbor(const CVertex3d* p) {
  CVertex3d* best = nullptr;
  for (CVertex3d* n : p->m_ArrayVertexNeighbor)
    if (!best || n->NbNeighbor() < best->NbNeighbor()) best = n;
  return best;
}

// CollapseEdge called state.range(0) times in a row on a 1000 x 1000 grid
// (2M faces, 1M vertices), as a simplification loop does: each call takes the
// next surviving vertex p, in array order or (state.range(1) = 1) in a
// shuffled order, and merges into it its least connected neighbour, so that
// valences stay moderate. Nothing reads the arrays between the calls. The
// shuffled order shows the cost of cache misses on a mesh of this size.
void BM_CollapseEdgeRun(benchmark::State& state) {
  const int calls = static_cast<int>(state.range(0));
  int done = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::unique_ptr<CMesh3d> grid(testmeshes::MakeGrid(1000, 1000));
    std::vector<CVertex3d*> order(grid->m_ArrayVertex.begin(), grid->m_ArrayVertex.end());
    std::vector<char> alive(order.size(), 1);
    if (state.range(1)) std::shuffle(order.begin(), order.end(), std::mt19937(1));
    for (size_t i = 0; i < order.size(); i++) order[i]->m_Flag = static_cast<int>(i);
    done = 0;
    state.ResumeTiming();
    size_t next = 0;
    for (int call = 0; call < calls; call++) {
      while (!alive[next % order.size()]) next++;
      CVertex3d* p = order[next++ % order.size()];
      CVertex3d* q = LeastConnectedNeighbor(p);
      if (!q) continue;
      int gone = q->m_Flag;
      if (grid->CollapseEdge(p, q, p->Position(), nullptr, 1)) {
        alive[static_cast<size_t>(gone)] = 0;
        done++;
      }
    }
    benchmark::DoNotOptimize(grid->NbFace()); // the one compaction of the arrays
    state.PauseTiming();
    grid.reset();
    state.ResumeTiming();
  }
  state.counters["calls"] = calls;
  state.counters["collapses"] = done;
}
BENCHMARK(BM_CollapseEdgeRun)
    ->Args({1000, 0})
    ->Args({1000000, 0})
    ->Args({1000000, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

// Resident bytes per vertex (the vertex object, its array slot and, after
// Rebuild, its adjacency lists) and per face (the face object and its slot),
// measured in a child process that holds only the mesh being built.
void BM_MemoryAfterRebuild(benchmark::State& state) {
  std::vector<double> figures;
  for (auto _ : state) {
    figures = residentmemory::MeasureInChild([](std::vector<double>& out) {
      std::vector<double> xyz;
      std::vector<int> triangles;
      {
        auto source = MillionFaceTorus();
        for (int i = 0; i < source->NbVertex(); i++) {
          CVertex3d* v = source->GetVertex(i);
          v->m_Flag = i;
          xyz.insert(xyz.end(), {v->x, v->y, v->z});
        }
        for (const CFace3d* f : source->m_ArrayFace)
          for (int k = 0; k < 3; k++) triangles.push_back(f->v(k)->m_Flag);
      }
      // the source's pages (heap and element pools) go back first
      ReleaseFreedMemory();
      double start = double(residentmemory::ResidentBytes());
      auto mesh = std::make_unique<CMesh3d>();
      // vertices
      for (size_t i = 0; i < xyz.size(); i += 3)
        mesh->AddVertex(new CVertex3d(xyz[i], xyz[i + 1], xyz[i + 2]));
      double afterVertices = double(residentmemory::ResidentBytes());
      // faces
      for (size_t i = 0; i < triangles.size(); i += 3)
        mesh->AddFace(new CFace3d(mesh->GetVertex(triangles[i]), mesh->GetVertex(triangles[i + 1]),
                                  mesh->GetVertex(triangles[i + 2])));
      double afterFaces = double(residentmemory::ResidentBytes());
      // adjacency lists and normals
      mesh->Rebuild();
      double afterRebuild = double(residentmemory::ResidentBytes());
      out.push_back((afterVertices - start + afterRebuild - afterFaces) / mesh->NbVertex());
      out.push_back((afterFaces - afterVertices) / mesh->NbFace());
      out.push_back((afterRebuild - start) / (1 << 20));
    });
  }
  if (figures.size() != 3) {
    state.SkipWithError("the measuring child process failed");
    return;
  }
  state.counters["bytes/vertex"] = figures[0];
  state.counters["bytes/face"] = figures[1];
  state.counters["mesh MB"] = figures[2];
}
BENCHMARK(BM_MemoryAfterRebuild)->Unit(benchmark::kMillisecond)->Iterations(1);

// A worker thread builds a million-face mesh, the main thread frees it, 20
// times over. The resident memory after each round must stay flat: memory
// freed by another thread than the one that allocated it is reused. Then
// ReleaseFreedMemory gives it back to the system.
void BM_AllocateOnWorkerFreeOnMain(benchmark::State& state) {
  constexpr int kRounds = 20;
  std::vector<double> rounds;
  for (auto _ : state) {
    rounds = residentmemory::MeasureInChild([](std::vector<double>& out) {
      for (int round = 0; round < kRounds; round++) {
        std::unique_ptr<CMesh3d> mesh;
        std::thread worker([&mesh] { mesh = MillionFaceTorus(); });
        worker.join();
        mesh.reset();
        out.push_back(double(residentmemory::ResidentBytes()) / (1 << 20));
      }
      ReleaseFreedMemory();
      out.push_back(double(residentmemory::ResidentBytes()) / (1 << 20));
    });
  }
  if (rounds.size() != kRounds + 1) {
    state.SkipWithError("the measuring child process failed");
    return;
  }
  for (int round : {0, 1, 4, 9, 14, 19})
    state.counters["MB after round " + std::to_string(round + 1)] = rounds[size_t(round)];
  state.counters["MB growth rounds 2-20"] = rounds[kRounds - 1] - rounds[1];
  state.counters["MB after release"] = rounds[kRounds];
}
BENCHMARK(BM_AllocateOnWorkerFreeOnMain)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
