// The menu commands of "&Algorithms/Surface subdivision" on a scene.

#include "processing/SubdivisionCommands.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

#include "geometry/Mesh3d.h"
#include "geometry/Mesh3dIndexer.h"
#include "geometry/Progress.h"
#include "geometry/SceneGraph3d.h"
#include "processing/LoopSubdivision.h"
#include "processing/SceneMeshes.h"
#include "processing/SubdivisionMemory.h"

// Curvature selection: faces above this share of the sharpest crease.
constexpr double kCurvatureShare = 0.95;

static CMeshCount CountOf(const CMesh3d* mesh) {
  CMeshCount count;
  count.faces = mesh->NbFace();
  count.vertices = mesh->NbVertex();
  return count;
}

// Whether one split of every mesh (facesPerFace faces per face) fits.
static int UniformSplitFits(const std::vector<CMesh3d*>& meshes, int facesPerFace,
                            int extraPerFace) {
  double bytes = 0.0, largest = 0.0;
  for (const CMesh3d* mesh : meshes) {
    CMeshCount after = CountAfterSplits(CountOf(mesh), 1, facesPerFace, extraPerFace);
    bytes += MeshBytes(after) - MeshBytes(CountOf(mesh));
    if (after.faces > largest) largest = after.faces;
  }
  return MemoryAllows(bytes, largest, AvailableMemoryBytes());
}

// Whether the levels of the multiple command fit: the final level in place,
// or every level as a new mesh with duplication.
static int MultipleLoopFits(const CMesh3d* mesh, int iterations, int duplicate) {
  CMeshCount count = CountOf(mesh);
  CMeshCount last = CountAfterSplits(count, iterations, 4, 0);
  double bytes = MeshBytes(last) - MeshBytes(count);
  if (duplicate) {
    bytes = 0.0;
    for (int k = 1; k <= iterations && bytes < 1e300; k++)
      bytes += MeshBytes(CountAfterSplits(count, k, 4, 0));
  }
  return MemoryAllows(bytes, last.faces, AvailableMemoryBytes());
}

// Milliseconds of the clock reported as seconds, the way timings are shown.
static double SecondsSince(std::chrono::steady_clock::time_point start) {
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                  start)
                .count();
  return static_cast<double>(ms) * 0.001;
}

CSubdivisionOutcome CommandLoopStd(CSceneGraph3d* scene) {
  std::vector<CMesh3d*> meshes = AllMeshes(scene);
  if (!UniformSplitFits(meshes, 4, 0)) return Refused();
  auto start = std::chrono::steady_clock::now();

  // one step per mesh, face counts summed before and after
  long long before = 0, after = 0;
  for (size_t i = 0; i < meshes.size(); i++) {
    CMesh3d* mesh = meshes[i];
    CProgressSpan span(double(i) / meshes.size(), double(i + 1) / meshes.size());
    before += mesh->NbFace();
    mesh->SetFlagOnFaces(0);
    SubdivisionLoop(mesh);
    after += mesh->NbFace();
  }

  CSubdivisionOutcome outcome;
  outcome.changed = !meshes.empty();
  char text[256];
  std::snprintf(text, sizeof text, "Loop done, %lld -> %lld faces, %g s...", before, after,
                SecondsSince(start));
  outcome.status = text;
  return outcome;
}

// The share of the work done after `step` of `steps` steps, each four times
// the previous one (every step quadruples the faces).
static double StepShare(int step, int steps) {
  return (std::pow(4.0, step) - 1.0) / (std::pow(4.0, steps) - 1.0);
}

CSubdivisionOutcome CommandLoopMultiple(CSceneGraph3d* scene, const CMultipleSmoothParams& params,
                                        const std::function<void(int step)>& afterStep) {
  CMesh3d* first = FirstMesh(scene);
  int iterations = params.Iterations;
  if (!first || iterations < CMultipleSmoothParams::kIterationsMin) return {};
  if (!MultipleLoopFits(first, iterations, params.DuplicateInSceneGraph)) return Refused();

  // in place: one step after the other, the views following
  if (!params.DuplicateInSceneGraph) {
    for (int k = 0; k < iterations; k++) {
      CProgressSpan span(StepShare(k, iterations), StepShare(k + 1, iterations));
      SubdivisionLoop(first);
      if (afterStep) afterStep(k);
    }
    return Changed();
  }

  // duplication: each level copies the previous one and joins the scene
  CMesh3d* previous = first;
  for (int k = 0; k < iterations; k++) {
    CProgressSpan span(StepShare(k, iterations), StepShare(k + 1, iterations));
    auto level = std::make_unique<CMesh3d>();
    level->Copy(previous);
    level->BuildAdjacency();
    SubdivisionLoop(level.get());
    previous = level.get();
    scene->Add(level.release());
  }
  return Changed();
}

// One uniform split of every triangle mesh of the scene.
static CSubdivisionOutcome SplitEveryMesh(CSceneGraph3d* scene, void (*split)(CMesh3d*),
                                          int facesPerFace, int extraPerFace) {
  std::vector<CMesh3d*> meshes = AllMeshes(scene);
  if (meshes.empty()) return {};
  if (!UniformSplitFits(meshes, facesPerFace, extraPerFace)) return Refused();
  for (size_t i = 0; i < meshes.size(); i++) {
    CProgressSpan span(double(i) / meshes.size(), double(i + 1) / meshes.size());
    split(meshes[i]);
  }
  return Changed();
}

CSubdivisionOutcome CommandSubdivisionSimple(CSceneGraph3d* scene) {
  return SplitEveryMesh(scene, Subdivision1To4, 4, 0);
}

CSubdivisionOutcome CommandSubdivisionFractal(CSceneGraph3d* scene) {
  return SplitEveryMesh(scene, SubdivisionFractal, 6, 1);
}

CSubdivisionOutcome CommandLoopAdaptiveRandom(CSceneGraph3d* scene, CRandom15& random) {
  CMesh3d* mesh = FirstMesh(scene);
  if (!mesh) return {};

  // one draw per face, in face order
  for (CFace3d* f : mesh->m_ArrayFace)
    if (f) f->m_Flag = random.Next() < kRandomSelectionThreshold ? 1 : 0;
  SubdivisionAdaptive(mesh, 1);
  return Changed();
}

// Largest summed normal deviation at a corner of each face, by face index.
static std::vector<double> FaceCurvatures(const CMesh3d* mesh) {
  int nv = mesh->NbVertex();
  std::vector<double> sum(static_cast<size_t>(nv), 0.0);
  for (int i = 0; i < nv; i++)
    if (const CVertex3d* v = mesh->GetVertex(i)) sum[i] = v->SumNormalSine();

  std::vector<double> value(static_cast<size_t>(mesh->NbFace()), 0.0);
  CVertexIndexer indexer(mesh->m_ArrayVertex);
  for (int fi = 0; fi < mesh->NbFace(); fi++) {
    const CFace3d* f = mesh->GetFace(fi);
    if (!f) continue;
    for (int k = 0; k < 3; k++) {
      int vi = indexer.IndexOf(f->m_pVertex[k]);
      if (vi >= 0 && sum[vi] > value[fi]) value[fi] = sum[vi];
    }
  }
  return value;
}

CSubdivisionOutcome CommandLoopAdaptiveCurvature(CSceneGraph3d* scene) {
  CMesh3d* mesh = FirstMesh(scene);
  if (!mesh) return {};

  // select the faces near the sharpest creases
  double sharpest = mesh->MaxNormalSine();
  std::vector<double> value = FaceCurvatures(mesh);
  for (int fi = 0; fi < mesh->NbFace(); fi++)
    if (CFace3d* f = mesh->GetFace(fi)) f->m_Flag = value[fi] > kCurvatureShare * sharpest ? 1 : 0;
  SubdivisionAdaptive(mesh, 1);
  return Changed();
}

CSubdivisionOutcome CommandLoopAdaptiveActiveFace(CSceneGraph3d* scene, int activeFace) {
  CMesh3d* mesh = FirstMesh(scene);
  if (!mesh || activeFace < 0 || activeFace >= mesh->NbFace() || !mesh->GetFace(activeFace))
    return {};
  mesh->SetFlagOnFaces(0);
  mesh->GetFace(activeFace)->m_Flag = 1;
  SubdivisionAdaptive(mesh, 1);
  mesh->Rebuild();
  return Changed();
}
