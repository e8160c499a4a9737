// Speed and memory of the mesh core on million-face meshes.

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <memory>
#include <vector>

#include "geometry/Mesh3d.h"
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

size_t HeapInUse() {
  struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
}

// Heap bytes per vertex (the vertex object, its array slot and, after
// Rebuild, its adjacency lists) and per face (the face object and its slot).
void BM_MemoryAfterRebuild(benchmark::State& state) {
  double perVertex = 0, perFace = 0;
  for (auto _ : state) {
    auto source = MillionFaceTorus();
    source->SetFlagOnVertices(0);
    for (int i = 0; i < source->NbVertex(); i++) source->GetVertex(i)->m_Flag = i;
    size_t start = HeapInUse();
    auto mesh = std::make_unique<CMesh3d>();
    // vertices
    for (int i = 0; i < source->NbVertex(); i++) {
      const CVertex3d* v = source->GetVertex(i);
      mesh->AddVertex(new CVertex3d(v->x, v->y, v->z));
    }
    size_t afterVertices = HeapInUse();
    // faces
    for (int i = 0; i < source->NbFace(); i++) {
      const CFace3d* f = source->GetFace(i);
      mesh->AddFace(new CFace3d(mesh->GetVertex(f->v(0)->m_Flag), mesh->GetVertex(f->v(1)->m_Flag),
                                mesh->GetVertex(f->v(2)->m_Flag)));
    }
    size_t afterFaces = HeapInUse();
    // adjacency lists and normals
    mesh->Rebuild();
    size_t afterRebuild = HeapInUse();
    perVertex = double(afterVertices - start + afterRebuild - afterFaces) / mesh->NbVertex();
    perFace = double(afterFaces - afterVertices) / mesh->NbFace();
  }
  state.counters["bytes/vertex"] = perVertex;
  state.counters["bytes/face"] = perFace;
}
BENCHMARK(BM_MemoryAfterRebuild)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
