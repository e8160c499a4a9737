// Speed of the scene readers and writers on million-face files, in bytes of
// file text per second.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>

#include "bench/BenchFiles.h"
#include "geometry/Mesh3d.h"
#include "geometry/SceneGraph3d.h"
#include "geometry/VertexIndexMap.h"
#include "io/ReadSmf.h"
#include "io/ReadVrml.h"
#include "io/ReplaceFile.h"
#include "io/TextOutput.h"
#include "io/WriteBinaryScene.h"
#include "io/WriteVrml.h"
#include "tests/support/TestMeshes.h"

namespace {

using namespace benchfiles;

// ".smf" text of a mesh: "v x y z" lines then "f a b c" lines.
int WriteSmf(CMesh3d* mesh, const std::string& path) {
  CReplaceFile file;
  if (!file.Open(path)) return 0;
  CTextOutput out(&file);
  const CVertexIndexMap index(mesh->m_ArrayVertex);
  for (int i = 0; i < mesh->NbVertex(); i++) {
    const CVertex3d* v = mesh->GetVertex(i);
    out.Text("v ").G3(v->x, v->y, v->z).Text("\n");
    out.Flush();
  }
  for (int i = 0; i < mesh->NbFace(); i++) {
    const CFace3d* f = mesh->GetFace(i);
    out.Text("f ").D(index.IndexOf(f->v(0))).Text(" ").D(index.IndexOf(f->v(1)));
    out.Text(" ").D(index.IndexOf(f->v(2))).Text("\n");
    out.Flush();
  }
  return out.Flush(true) && file.Commit();
}

void BM_SaveVrml(benchmark::State& state) {
  const std::string path = TempPath("save.wrl");
  std::string error;
  for (auto _ : state)
    if (!WriteVRML(&TorusScene(), path, error)) state.SkipWithError(error.c_str());
  SetBytes(state, FileSize(path));
  std::remove(path.c_str());
}
BENCHMARK(BM_SaveVrml)->Unit(benchmark::kMillisecond)->MinTime(3.0);

void BM_LoadVrml(benchmark::State& state) {
  const std::string path = TempPath("load.wrl");
  std::string error;
  WriteVRML(&TorusScene(), path, error);
  int faces = 0;
  for (auto _ : state) {
    auto scene = std::make_unique<CSceneGraph3d>();
    CVrmlParser parser;
    if (!parser.Load(path, scene.get())) state.SkipWithError(parser.GetError().c_str());
    faces = static_cast<CMesh3d*>(scene->GetAt(0))->NbFace();
    state.PauseTiming();
    scene.reset();
    state.ResumeTiming();
  }
  state.counters["faces"] = faces;
  SetBytes(state, FileSize(path));
  std::remove(path.c_str());
}
BENCHMARK(BM_LoadVrml)->Unit(benchmark::kMillisecond)->MinTime(3.0);

void BM_SaveSmf(benchmark::State& state) {
  const std::string path = TempPath("save.smf");
  for (auto _ : state)
    if (!WriteSmf(Torus(), path)) state.SkipWithError("write failed");
  SetBytes(state, FileSize(path));
  std::remove(path.c_str());
}
BENCHMARK(BM_SaveSmf)->Unit(benchmark::kMillisecond)->MinTime(3.0);

void BM_LoadSmf(benchmark::State& state) {
  const std::string path = TempPath("load.smf");
  std::string error;
  WriteSmf(Torus(), path);
  int faces = 0;
  for (auto _ : state) {
    auto mesh = std::make_unique<CMesh3d>();
    CReadReport report;
    if (!ReadSmf(mesh.get(), path, report, error)) state.SkipWithError(error.c_str());
    faces = mesh->NbFace();
    state.PauseTiming();
    mesh.reset();
    state.ResumeTiming();
  }
  state.counters["faces"] = faces;
  SetBytes(state, FileSize(path));
  std::remove(path.c_str());
}
BENCHMARK(BM_LoadSmf)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// Baseline of the loads: only making the vertex and face objects of the
// mesh that the files describe, without any text.
void BM_MakeMeshObjects(benchmark::State& state) {
  const int nv = Torus()->NbVertex(), nf = Torus()->NbFace();
  for (auto _ : state) {
    auto mesh = std::make_unique<CMesh3d>();
    mesh->m_ArrayVertex.Reserve(nv);
    for (int i = 0; i < nv; i++) mesh->AddVertex(new CVertex3d(i, 0, 0));
    mesh->m_ArrayFace.Reserve(nf);
    for (int i = 0; i < nf; i++) {
      CVertex3d* v = mesh->GetVertex(i % nv);
      mesh->AddFace(new CFace3d(v, v, v));
    }
    state.PauseTiming();
    mesh.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_MakeMeshObjects)->Unit(benchmark::kMillisecond)->MinTime(3.0);

void BM_SaveBinary(benchmark::State& state) {
  const std::string path = TempPath("save.raw");
  std::string error;
  for (auto _ : state)
    if (!WriteBinary(&TorusScene(), path, error)) state.SkipWithError(error.c_str());
  SetBytes(state, FileSize(path));
  std::remove(path.c_str());
}
BENCHMARK(BM_SaveBinary)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

BENCHMARK_MAIN();
