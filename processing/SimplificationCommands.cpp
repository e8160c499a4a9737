// The menu commands of "&Algorithms/Surface simplification" on a scene.

#include "processing/SimplificationCommands.h"

#include <chrono>
#include <cstdio>

#include "geometry/Mesh3d.h"
#include "geometry/SceneGraph3d.h"
#include "io/ReplaceFile.h"
#include "io/TextOutput.h"
#include "io/WriteVrml.h"
#include "processing/SceneMeshes.h"

// Status text of a command that went from `before` to `after` elements.
static CSubdivisionOutcome Reduced(const char* what, const char* unit, int before, int after,
                                   std::chrono::steady_clock::time_point start) {
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  char text[256];
  std::snprintf(text, sizeof text, "%s done, %d -> %d %s, %g s", what, before, after, unit,
                static_cast<double>(static_cast<long long>(seconds * 1000.0)) * 0.001);
  CSubdivisionOutcome outcome = Changed(after != before);
  outcome.status = text;
  return outcome;
}

CSubdivisionOutcome CommandRandomEdgeCollapse(CSceneGraph3d* scene, CRandom15& random) {
  CMesh3d* mesh = FirstMesh(scene);
  if (!mesh) return {};
  return Changed(RandomEdgeCollapse(mesh, random));
}

CSubdivisionOutcome CommandIndependentEdgeCollapse(CSceneGraph3d* scene) {
  CMesh3d* mesh = FirstMesh(scene);
  if (!mesh) return {};
  auto start = std::chrono::steady_clock::now();
  int before = mesh->NbFace();
  IndependentEdgeCollapses(mesh);
  return Reduced("Independent edge collapse", "faces", before, mesh->NbFace(), start);
}

CSubdivisionOutcome CommandVertexRemovals(CSceneGraph3d* scene) {
  CMesh3d* mesh = FirstMesh(scene);
  if (!mesh) return {};
  auto start = std::chrono::steady_clock::now();
  int before = mesh->NbVertex();
  mesh->RemoveValence3Vertices();
  mesh->Rebuild();
  return Reduced("Vertex removals", "vertices", before, mesh->NbVertex(), start);
}

CSubdivisionOutcome CommandEdgeBased(CSceneGraph3d* scene, const CEdgeBasedParams& params,
                                     const std::string& saveFile,
                                     const CSimplificationHooks& hooks) {
  CMesh3d* mesh = FirstMesh(scene);
  if (!mesh) return {};
  auto start = std::chrono::steady_clock::now();
  int before = mesh->NbVertex();

  // the intermediate meshes go to a VRML 2.0 file that File/Open reads
  CReplaceFile file;
  CTextOutput out(&file);
  CTextOutput* save = nullptr;
  if (params.Save && !saveFile.empty()) {
    if (!file.Open(saveFile)) {
      CSubdivisionOutcome outcome;
      outcome.message = "Unable to open file " + saveFile;
      return outcome;
    }
    WriteVrmlHeader(out);
    save = &out;
  }
  EdgeBasedSimplification(mesh, params, save, hooks);
  CSubdivisionOutcome outcome =
      Reduced("Edge-based simplification", "vertices", before, mesh->NbVertex(), start);
  if (save && (!out.Flush(true) || !file.Commit())) outcome.message = "Unable to write " + saveFile;
  outcome.changed = 1;
  return outcome;
}

CSubdivisionOutcome CommandErrorAccumulation(CSceneGraph3d* scene, int final, int visualDebugging,
                                             const CSimplificationHooks& hooks,
                                             std::string& clipboard) {
  CMesh3d* mesh = FirstMesh(scene);
  if (!mesh) return {};
  auto start = std::chrono::steady_clock::now();
  int before = mesh->NbVertex();
  // a target not below the size returns silently (after the first rebuild)
  if (ErrorAccumulation(mesh, final, visualDebugging, hooks) < 0) return Changed();
  clipboard = kAccumulatorReport;
  return Reduced("Error accumulation", "vertices", before, mesh->NbVertex(), start);
}

CSubdivisionOutcome CommandFaceBased(CSceneGraph3d* scene, const CFaceBasedParams& params,
                                     const CSimplificationHooks& hooks) {
  CMesh3d* mesh = FirstMesh(scene);
  if (!mesh) return {};
  auto start = std::chrono::steady_clock::now();

  // geomorph: each stage collapses a copy of the last object
  if (params.SmoothGeomorph) {
    for (int s = 0; s < params.Stages; s++) {
      CMesh3d* last = AsMesh(scene->GetAt(scene->NbObject() - 1));
      if (!last) break;
      MultipleFaceCollapse(scene, last, 1, params.Steps, hooks);
    }
    mesh->SetModified();
    return Changed();
  }
  if (params.MultipleFaceCollapse) {
    MultipleFaceCollapse(scene, mesh, params.VisualDebugging, -1, hooks);
    return Changed();
  }
  int before = mesh->NbFace();
  if (FaceBasedSimplification(mesh, params.Final, hooks) < 0) {
    CSubdivisionOutcome outcome = Changed();
    outcome.message = kInvalidComplexityText;
    return outcome;
  }
  return Reduced("Face-based simplification", "faces", before, mesh->NbFace(), start);
}

CSubdivisionOutcome CommandFastFaceCollapses(CSceneGraph3d* scene,
                                             const CSimplificationHooks& hooks) {
  CMesh3d* mesh = FirstMesh(scene);
  if (!mesh) return {};
  MultipleFaceCollapse(scene, mesh, 1, kFastFaceCollapseSteps, hooks);
  mesh->SetModified();
  return Changed();
}
