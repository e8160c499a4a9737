// Rates of the progressive isosurface coder at N = 257 (depth 8): bits per
// surface vertex in all, for the connectivity (sign and occupancy streams)
// and for the geometry, and the bytes each octree level adds ("L1" ...).
// Volumes: the synthetic fields of the tests, and the signed distance to
// closed meshes shaped like scans (a bumpy blob and a torus, both with
// sensor-like noise on every vertex), as File/Open of a ".dat" makes it.
//   build/bench/bench_iso_rates --benchmark_counters_tabular=true
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <string>

#include "compression/IsoCoder.h"
#include "compression/IsoDistanceField.h"
#include "geometry/Mesh3d.h"
#include "geometry/VertexIndexMap.h"
#include "tests/support/TestMeshes.h"
#include "tests/support/TestVolumes.h"

namespace {

constexpr int kDepth = 8;

// The mesh as the grid file holds it.
CGridFileMesh GridMesh(const CMesh3d& mesh) {
  CGridFileMesh out;
  for (const CVertex3d* v : mesh.m_ArrayVertex)
    out.m_Xyz.insert(out.m_Xyz.end(), {v->x, v->y, v->z});
  const CVertexIndexMap index(mesh.m_ArrayVertex);
  for (const CFace3d* f : mesh.m_ArrayFace)
    for (int k = 0; k < 3; k++) out.m_Triangles.push_back(index.IndexOf(f->v(k)));
  return out;
}

// A sphere of 327,680 faces with broad bumps and ridges, then range noise.
CMesh3d* BumpyBlob() {
  CMesh3d* mesh = testmeshes::MakeIcoSphere(7);
  for (CVertex3d* v : mesh->m_ArrayVertex) {
    const CVector3d p = v->Position();
    const double r = p.Length(), theta = std::acos(p.z / r), phi = std::atan2(p.y, p.x);
    const double bump = 1.0 + 0.12 * std::sin(3 * theta) * std::cos(2 * phi) +
                        0.04 * std::sin(9 * theta + 1.0) * std::sin(7 * phi);
    v->Set(p * (bump / r));
  }
  mesh->Rebuild();
  testmeshes::AddNormalNoise(mesh, 0.003, 11);
  return mesh;
}

CMesh3d* NoisyTorus() {
  CMesh3d* mesh = testmeshes::MakeTorus(600, 240);
  testmeshes::AddNormalNoise(mesh, 0.003, 13);
  return mesh;
}

void Report(benchmark::State& state, const CIsoVolume& volume) {
  CIsoEncodeOptions options;
  CIsoEncodeResult result;
  for (auto _ : state) {
    CMemoryByteSink sign, leaf, geo;
    std::string error;
    result = CIsoEncodeResult();
    if (!IsoEncode(volume, options, sign, leaf, geo, result, error))
      state.SkipWithError(error.c_str());
  }
  const double vertices = result.m_Vertices > 0 ? result.m_Vertices : 1.0;
  const double connectivity = 8.0 * double(result.m_SignBytes + result.m_LeafBytes);
  state.counters["vertices"] = result.m_Vertices;
  state.counters["quads"] = result.m_Faces;
  state.counters["b/v conn"] = connectivity / vertices;
  state.counters["b/v geo"] = 8.0 * double(result.m_GeoBytes) / vertices;
  state.counters["b/v total"] = (connectivity + 8.0 * double(result.m_GeoBytes)) / vertices;
  uint64_t before = 0;
  for (size_t level = 0; level < result.m_LevelBytes.size(); level++) {
    state.counters["L" + std::to_string(level + 1)] = double(result.m_LevelBytes[level] - before);
    before = result.m_LevelBytes[level];
  }
}

void BM_IsoRateField(benchmark::State& state, testvolumes::Field field) {
  const CIsoVolume volume = testvolumes::MakeVolume(field, kDepth);
  Report(state, volume);
}

void BM_IsoRateScan(benchmark::State& state, CMesh3d* (*make)()) {
  std::unique_ptr<CMesh3d> mesh(make());
  CIsoVolume volume;
  std::string error, warnings;
  if (!IsoDistanceVolume(GridMesh(*mesh), (int64_t(1) << kDepth) + 1, 0.0, volume, error,
                         warnings)) {
    state.SkipWithError(error.c_str());
    return;
  }
  state.counters["mesh faces"] = mesh->NbFace();
  Report(state, volume);
}

} // namespace

BENCHMARK_CAPTURE(BM_IsoRateField, sphere, testvolumes::SphereField())->Iterations(1);
BENCHMARK_CAPTURE(BM_IsoRateField, torus, testvolumes::TorusField())->Iterations(1);
BENCHMARK_CAPTURE(BM_IsoRateField, double_torus, testvolumes::DoubleTorusField())->Iterations(1);
BENCHMARK_CAPTURE(BM_IsoRateField, two_blobs, testvolumes::TwoBlobsField())->Iterations(1);
BENCHMARK_CAPTURE(BM_IsoRateScan, bumpy_blob, BumpyBlob)->Iterations(1);
BENCHMARK_CAPTURE(BM_IsoRateScan, noisy_torus, NoisyTorus)->Iterations(1);

BENCHMARK_MAIN();
