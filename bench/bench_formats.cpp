// Speed of the PLY, STL and binary scene readers and writers on million-face binary
// files, in bytes of file per second. A load builds the whole mesh, so the
// baseline BM_MakeMeshObjects of bench_scene_io bounds it.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>

#include "bench/BenchFiles.h"
#include "geometry/Mesh3d.h"
#include "geometry/SceneGraph3d.h"
#include "io/MeshBuilder.h"
#include "io/ReadBinaryScene.h"
#include "io/ReadObj.h"
#include "io/ReadPly.h"
#include "io/ReadStl.h"
#include "io/TextFile.h"
#include "io/WriteBinaryScene.h"
#include "io/WriteObj.h"
#include "io/WritePly.h"
#include "io/WriteStl.h"

namespace {

using namespace benchfiles;

using SceneWriter = int (*)(const CSceneGraph3d*, const std::string&, std::string&);
using MeshReader = int (*)(CMesh3d*, const std::string&, CReadReport&, std::string&);

void Save(benchmark::State& state, SceneWriter write, const char* name) {
  const std::string path = TempPath(name);
  std::string error;
  for (auto _ : state)
    if (!write(&TorusScene(), path, error)) state.SkipWithError(error.c_str());
  SetBytes(state, FileSize(path));
  std::remove(path.c_str());
}

void Load(benchmark::State& state, SceneWriter write, MeshReader read, const char* name) {
  const std::string path = TempPath(name);
  std::string error;
  write(&TorusScene(), path, error);
  int faces = 0, vertices = 0;
  for (auto _ : state) {
    auto mesh = std::make_unique<CMesh3d>();
    CReadReport report;
    if (!read(mesh.get(), path, report, error)) state.SkipWithError(error.c_str());
    faces = mesh->NbFace();
    vertices = mesh->NbVertex();
    state.PauseTiming();
    mesh.reset();
    state.ResumeTiming();
  }
  state.counters["faces"] = faces;
  state.counters["vertices"] = vertices;
  SetBytes(state, FileSize(path));
  std::remove(path.c_str());
}

void BM_SavePly(benchmark::State& state) {
  Save(state, WritePly, "save.ply");
}
BENCHMARK(BM_SavePly)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_LoadPly(benchmark::State& state) {
  Load(state, WritePly, ReadPly, "load.ply");
}
BENCHMARK(BM_LoadPly)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The parser alone: the file in memory into the checked builder, without
// making the mesh's vertex and face objects.
void BM_ParsePly(benchmark::State& state) {
  const std::string path = TempPath("parse.ply");
  std::string error;
  WritePly(&TorusScene(), path, error);
  std::string bytes;
  ReadWholeFile(path, bytes, error);
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
  for (auto _ : state) {
    CMeshBuilder builder;
    CReadReport report;
    if (!ReadPlyToBuilder(builder, data, bytes.size(), report, error))
      state.SkipWithError(error.c_str());
    benchmark::DoNotOptimize(builder.NbFace());
  }
  SetBytes(state, static_cast<long long>(bytes.size()));
  std::remove(path.c_str());
}
BENCHMARK(BM_ParsePly)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_SaveStl(benchmark::State& state) {
  Save(state, WriteStl, "save.stl");
}
BENCHMARK(BM_SaveStl)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Welding the corners back into shared vertices included.
void BM_LoadStl(benchmark::State& state) {
  Load(state, WriteStl, ReadStl, "load.stl");
}
BENCHMARK(BM_LoadStl)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_SaveBinaryScene(benchmark::State& state) {
  Save(state, WriteBinary, "save.raw");
}
BENCHMARK(BM_SaveBinaryScene)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_LoadBinaryScene(benchmark::State& state) {
  const std::string path = TempPath("load.raw");
  std::string error;
  WriteBinary(&TorusScene(), path, error);
  for (auto _ : state) {
    auto scene = std::make_unique<CSceneGraph3d>();
    CReadReport report;
    if (!ReadBinaryScene(scene.get(), path, report, error)) state.SkipWithError(error.c_str());
    state.PauseTiming();
    scene.reset();
    state.ResumeTiming();
  }
  SetBytes(state, FileSize(path));
  std::remove(path.c_str());
}
BENCHMARK(BM_LoadBinaryScene)->Unit(benchmark::kMillisecond)->MinTime(2.0);
void BM_SaveObj(benchmark::State& state) {
  Save(state, WriteObj, "save.obj");
}
BENCHMARK(BM_SaveObj)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_LoadObj(benchmark::State& state) {
  Load(state, WriteObj, ReadObj, "load.obj");
}
BENCHMARK(BM_LoadObj)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The OBJ text parser alone, into the checked builder.
void BM_ParseObj(benchmark::State& state) {
  const std::string path = TempPath("parse.obj");
  std::string error;
  WriteObj(&TorusScene(), path, error);
  std::string bytes;
  ReadWholeFile(path, bytes, error);
  for (auto _ : state) {
    CMeshBuilder builder;
    CReadReport report;
    if (!ReadObjToBuilder(builder, bytes.data(), bytes.size(), report, error))
      state.SkipWithError(error.c_str());
    benchmark::DoNotOptimize(builder.NbFace());
  }
  SetBytes(state, static_cast<long long>(bytes.size()));
  std::remove(path.c_str());
}
BENCHMARK(BM_ParseObj)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

BENCHMARK_MAIN();
