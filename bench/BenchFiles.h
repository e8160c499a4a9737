#pragma once

// What the file benchmarks share: temporary paths, file sizes, the
// million-face torus scene and the bytes-per-second counters.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "geometry/Mesh3d.h"
#include "geometry/SceneGraph3d.h"
#include "tests/support/TestMeshes.h"

namespace benchfiles {

// A closed torus of 2 * 708 * 706 = 999,696 faces.
constexpr int kTorusU = 708, kTorusV = 706;

inline std::string TempPath(const char* name) {
  const char* dir = std::getenv("TMPDIR");
  return std::string(dir ? dir : "/tmp") + "/orvex_bench_" + std::to_string(getpid()) + "_" + name;
}

inline long long FileSize(const std::string& path) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return 0;
  std::fseek(f, 0, SEEK_END);
  const long long n = std::ftell(f);
  std::fclose(f);
  return n;
}

// The scene every benchmark uses, made once.
inline CSceneGraph3d& TorusScene() {
  static CSceneGraph3d scene;
  if (scene.NbObject() == 0) scene.Add(testmeshes::MakeTorus(kTorusU, kTorusV));
  return scene;
}

inline CMesh3d* Torus() {
  return static_cast<CMesh3d*>(TorusScene().GetAt(0));
}

inline void SetBytes(benchmark::State& state, long long bytes) {
  state.counters["bytes"] = static_cast<double>(bytes);
  state.counters["bytes/s"] =
      benchmark::Counter(static_cast<double>(bytes), benchmark::Counter::kIsIterationInvariantRate);
}

} // namespace benchfiles
