// The smoothing, colouring and clean-up commands on a scene.

#include "processing/SurfaceCommands.h"

#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

#include "geometry/FormatText.h"
#include "geometry/Mesh3d.h"
#include "geometry/Progress.h"
#include "geometry/SceneGraph3d.h"
#include "io/ColorRamp.h"
#include "processing/PolygonCommands.h"
#include "processing/SceneMeshes.h"
#include "processing/Smoothing.h"
#include "processing/SubdivisionMemory.h"
#include "processing/SurfaceCleanup.h"

// Whether copies with these many faces and vertices in all fit, the
// largest holding largestFaces faces.
static int CopiesFit(double faces, double vertices, double largestFaces) {
  CMeshCount count;
  count.faces = faces;
  count.vertices = vertices;
  return MemoryAllows(MeshBytes(count), largestFaces, AvailableMemoryBytes());
}

// Colour bindings of a mesh.
constexpr int kFaceColors = 1;
constexpr int kVertexColors = 0;

// A colouring command draws the mesh with the colours it set, face or
// vertex ones, instead of leaving them unseen under the other binding.
static void ShowColors(CMesh3d* mesh, int binding) {
  mesh->SetColorBinding(binding);
}

CSubdivisionOutcome CommandSmooth(CSceneGraph3d* scene) {
  std::vector<CMesh3d*> meshes = AllMeshes(scene);
  for (CMesh3d* mesh : meshes) Smooth(mesh, 1);
  // quad meshes by their own rule
  const int quads = SmoothQuadMeshes(scene);
  return Changed(!meshes.empty() || quads > 0);
}

CSubdivisionOutcome CommandMultipleSmooth(CSceneGraph3d* scene, const CMultipleSmoothParams& params,
                                          const std::function<void(int step)>& afterStep) {
  CMesh3d* first = FirstMesh(scene);
  int iterations = params.Iterations;
  if (!first || iterations < CMultipleSmoothParams::kIterationsMin) return {};

  // in place: the views follow step by step
  if (!params.DuplicateInSceneGraph) {
    SmoothRepeatedly(first, params.MoveBoundaries, iterations, afterStep);
    return Changed();
  }

  // duplication: each level is a smoothed copy of the previous one
  if (!CopiesFit(static_cast<double>(first->NbFace()) * iterations,
                 static_cast<double>(first->NbVertex()) * iterations, first->NbFace()))
    return Refused();
  CMesh3d* previous = first;
  for (int k = 0; k < iterations; k++) {
    ReportProgress(double(k) / iterations, "smoothing");
    auto level = std::make_unique<CMesh3d>();
    level->Copy(previous);
    level->BuildAdjacency();
    Smooth(level.get(), params.MoveBoundaries);
    previous = level.get();
    scene->Add(level.release());
  }
  return Changed();
}

CSubdivisionOutcome CommandColorByMeasure(CSceneGraph3d* scene, CMeasure measure) {
  std::vector<CMesh3d*> meshes = AllMeshes(scene);
  CColorRamp ramp;
  ramp.SetRainbow();
  for (CMesh3d* mesh : meshes) {
    ColorByMeasure(mesh, measure, ramp);
    ShowColors(mesh, measure == CMeasure::Compacity ? kFaceColors : kVertexColors);
  }
  return Changed(!meshes.empty());
}

CSubdivisionOutcome CommandColorVerticesFromFaces(CSceneGraph3d* scene) {
  std::vector<CMesh3d*> meshes = AllMeshes(scene);
  for (CMesh3d* mesh : meshes) {
    ColorVerticesFromFaces(mesh);
    ShowColors(mesh, kVertexColors);
  }
  return Changed(!meshes.empty());
}

CSubdivisionOutcome CommandColorFacesByValence(CSceneGraph3d* scene, int k, int n,
                                               const CColor& color) {
  CMesh3d* mesh = FirstMesh(scene);
  if (!mesh) return {};
  ColorFacesByValence(mesh, k, n, color);
  ShowColors(mesh, kFaceColors);
  return Changed();
}

CSubdivisionOutcome CommandRemoveFacesWithNeighbors(CSceneGraph3d* scene, int count) {
  CMesh3d* mesh = FirstMesh(scene);
  if (!mesh) return {};
  mesh->DeleteFacesWithNeighborCount(count);
  mesh->BuildAdjacency();
  mesh->CalculateNormalPerVertex();
  return Changed();
}

CSubdivisionOutcome CommandRemoveDuplicateFaces(CSceneGraph3d* scene) {
  CMesh3d* mesh = FirstMesh(scene);
  if (!mesh) return {};
  mesh->DeleteDegenerateFaces();
  mesh->DeleteDuplicateFaces();
  mesh->Rebuild();
  return Changed();
}

CSubdivisionOutcome CommandRemoveHole(CSceneGraph3d* scene) {
  CMesh3d* mesh = FirstMesh(scene);
  if (!mesh) return {};
  // the new faces must join the adjacency, or a second fill would fan the
  // same hole again
  FillHole(mesh);
  mesh->Rebuild();
  return Changed();
}

CSubdivisionOutcome
CommandImproveCompacity(CSceneGraph3d* scene,
                        const std::function<void(const std::string& status)>& progress) {
  CMesh3d* mesh = FirstMesh(scene);
  if (!mesh) return {};
  mesh->RemoveValence3Vertices();

  // swap passes until one swaps nothing (every swap raises the total
  // compacity by a margin, so this ends)
  int total = 0;
  for (int pass = 0;; pass++) {
    // the passes swap fewer and fewer edges: each halves what is left
    ReportProgress(1.0 - std::ldexp(1.0, -pass), "swapping edges");
    int n = SwapForCompacity(mesh);
    if (n == 0) break;
    if (progress) progress(FormatText("Improve compacity...%d edges swapped", n));
    mesh->RemoveValence3Vertices();
    mesh->BuildAdjacency();
    total += n;
  }
  mesh->Rebuild();

  CSubdivisionOutcome outcome = Changed();
  outcome.status = FormatText("Improve compacity done (%d edges swapped).", total);
  return outcome;
}

CSubdivisionOutcome CommandMeanCompacity(CSceneGraph3d* scene) {
  CMesh3d* mesh = FirstMesh(scene);
  if (!mesh) return {};
  CSubdivisionOutcome outcome;
  outcome.status = FormatText("Mean compacity: %g", MeanCompacity(mesh));
  return outcome;
}

CSubdivisionOutcome CommandSpring(CSceneGraph3d* scene,
                                  const std::function<void(int iteration)>& afterIteration) {
  CMesh3d* mesh = FirstMesh(scene);
  if (!mesh) return {};
  SpringRelax(mesh, kSpringAngle, kSpringIterations, afterIteration);
  mesh->CalculateNormalPerFace();
  mesh->CalculateNormalPerVertex();
  return Changed();
}

CSubdivisionOutcome CommandPackVertices(CSceneGraph3d* scene, int f) {
  CMesh3d* mesh = FirstMesh(scene);
  if (!mesh || f < 2) return {};
  PackVertices(mesh, f);
  mesh->Rebuild();
  return Changed();
}

CSubdivisionOutcome CommandMultiplePack(CSceneGraph3d* scene,
                                        const std::function<void(int f)>& afterCopy) {
  CMesh3d* first = FirstMesh(scene);
  if (!first) return {};

  // every copy keeps all faces and 1/f of the vertices
  double faces = 0.0, vertices = 0.0;
  for (int f = kFirstPackFrequency; f <= kLastPackFrequency; f++) {
    faces += first->NbFace();
    vertices += static_cast<double>(first->NbVertex()) * 2.0 / f;
  }
  if (!CopiesFit(faces, vertices, first->NbFace())) return Refused();

  for (int f = kFirstPackFrequency; f <= kLastPackFrequency; f++) {
    ReportProgress(double(f - kFirstPackFrequency) / (kLastPackFrequency - kFirstPackFrequency + 1),
                   "packing");
    auto copy = std::make_unique<CMesh3d>();
    copy->Copy(first);
    PackVertices(copy.get(), f);
    copy->Rebuild();
    copy->m_Name = FormatText("freq : %d", f);
    scene->Add(copy.release());
    if (afterCopy) afterCopy(f);
  }
  return Changed();
}
