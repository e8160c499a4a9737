// The menu commands of "&Algorithms/Surface subdivision/V3" and the
// silhouette colouring commands on a scene.

#include "processing/Sqrt3Commands.h"

#include <chrono>
#include <cstdio>
#include <vector>

#include "geometry/FormatText.h"
#include "geometry/Mesh3d.h"
#include "geometry/Progress.h"
#include "geometry/SceneGraph3d.h"
#include "processing/FaceColoring.h"
#include "processing/SceneMeshes.h"
#include "processing/Silhouette.h"
#include "processing/Sqrt3Subdivision.h"
#include "processing/SubdivisionMemory.h"

namespace {

// Passes of "4 iters (no debug)".
constexpr int kNoDebugPasses = 6;
// Regularize: a face larger than this many times its smallest neighbour.
constexpr double kRegularizeRatio = 5.0;
// Piecewise command: sharp and flat angles in degrees.
constexpr double kPiecewiseSharp = 50.0;
constexpr double kPiecewiseFlat = 0.0;
// Bytes of the undo records one step leaves on an element: the stack (room
// for two records) and its allocator overhead.
constexpr double kHistoryBytes = sizeof(CHistory3d) + 16.0;

// Faces a step would split: every face, or those flagged 1 (adaptive).
int Selected(const CMesh3d* mesh, bool adaptive) {
  if (!adaptive) return mesh->NbFace();
  return mesh->NbFaceWithFlag(kSqrt3Selected);
}

// Bytes one step adds to a mesh splitting `selected` faces, records included.
double StepBytes(const CMesh3d* mesh, int selected) {
  CMeshCount now, after;
  now.faces = mesh->NbFace();
  now.vertices = mesh->NbVertex();
  after.faces = now.faces + 2.0 * selected;
  after.vertices = now.vertices + selected;
  // records: every split face and its two new faces, the old vertices of the
  // split faces and the new centres
  double records = 3.0 * selected + 2.0 * selected;
  return MeshBytes(after) - MeshBytes(now) + records * kHistoryBytes;
}

bool StepFits(const std::vector<CMesh3d*>& meshes, bool adaptive) {
  double bytes = 0.0, largest = 0.0;
  for (const CMesh3d* mesh : meshes) {
    int selected = Selected(mesh, adaptive);
    bytes += StepBytes(mesh, selected);
    if (mesh->NbFace() + 2.0 * selected > largest) largest = mesh->NbFace() + 2.0 * selected;
  }
  return MemoryAllows(bytes, largest, AvailableMemoryBytes());
}

bool StepFits(CMesh3d* mesh, bool adaptive) {
  return StepFits(std::vector<CMesh3d*>{mesh}, adaptive);
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                  start)
                .count();
  return static_cast<double>(ms) * 0.001;
}

std::string DoneText(std::chrono::steady_clock::time_point start) {
  return FormatText("V3 done (%g s)...", SecondsSince(start));
}

void Call(const std::function<void()>& hook) {
  if (hook) hook();
}

// Shows a status text when messages are on.
struct CStatus {
  const CSqrt3Hooks& hooks;
  bool on;
  void operator()(const std::string& text) const {
    if (on && hooks.status) hooks.status(text);
  }
};

// One step with these arguments, finished (Rebuild without its adjacency
// pass when the step kept the links).
void StepAndFinish(CMesh3d* mesh, int flip, int smooth, int adaptive, const Sqrt3Redraw& redraw,
                   int fixedWeight = 0, float weight = 0.0f) {
  bool kept = false;
  CSqrt3Options options;
  options.flip = flip != 0;
  options.smooth = smooth != 0;
  options.adaptive = adaptive != 0;
  options.fixedWeight = fixedWeight != 0;
  options.weight = weight;
  options.redraw = redraw;
  options.linksKept = &kept;
  SubdivisionSqrt3(mesh, options);
  FinishSqrt3Step(mesh, kept);
}

// The piecewise step, finished.
void PiecewiseAndFinish(CMesh3d* mesh, double sharp, double flat, const Sqrt3Redraw& redraw,
                        int splitSharpEdges) {
  bool kept = false;
  SubdivisionSqrt3Piecewise(mesh, sharp, flat, redraw, splitSharpEdges, &kept);
  FinishSqrt3Step(mesh, kept);
}

// An adaptive flip-and-smooth step of the faces flagged 1, then finished.
// False (nothing done) when it would not fit in memory.
bool AdaptiveStep(CMesh3d* mesh, const Sqrt3Redraw& redraw) {
  if (!StepFits(mesh, true)) return false;
  StepAndFinish(mesh, 1, 1, 1, redraw);
  return true;
}

// One step of every mesh with the same arguments, finished.
CSubdivisionOutcome EveryMesh(CSceneGraph3d* scene, int flip, const Sqrt3Redraw& redraw,
                              int fixedWeight, float weight) {
  std::vector<CMesh3d*> meshes = AllMeshes(scene);
  if (meshes.empty()) return {};
  if (!StepFits(meshes, false)) return Refused();
  for (CMesh3d* mesh : meshes) {
    StepAndFinish(mesh, flip, 1, 0, redraw, fixedWeight, weight);
  }
  return Changed();
}

// Undoes every recorded step of the mesh and rebuilds it.
void UndoEverything(CMesh3d* mesh, const CSqrt3Hooks& hooks, const CStatus& status) {
  status("Undo action...");
  UndoSqrt3All(mesh, [&](int level) {
    Call(hooks.redraw);
    status(FormatText("Undo action...step %d", level));
  });
  status("Rebuild adjacency...");
  mesh->Rebuild();
}

// Silhouette marks from a clean slate, the front faces with `front`.
void FlagFromCamera(CMesh3d* mesh, const CVector3d& camera, int front) {
  mesh->SetFlagOnFaces(0);
  if (front) FlagFrontFaces(mesh, camera, front);
  FlagSilhouette(mesh, camera);
}

} // namespace

CSubdivisionOutcome CommandV3FlipEdges(CSceneGraph3d* scene, const CSqrt3Hooks& hooks) {
  auto start = std::chrono::steady_clock::now();
  CSubdivisionOutcome outcome = EveryMesh(scene, 1, hooks.redraw, 0, 0.0f);
  if (outcome.changed) outcome.status = DoneText(start);
  return outcome;
}

CSubdivisionOutcome CommandV3Alone(CSceneGraph3d* scene) {
  return EveryMesh(scene, 0, nullptr, 0, 0.0f);
}

CSubdivisionOutcome CommandV3Fixed(CSceneGraph3d* scene, float weight) {
  return EveryMesh(scene, 1, nullptr, 1, weight);
}

CSubdivisionOutcome CommandV3MaxVertices(CSceneGraph3d* scene, int maxVertices,
                                         const CSqrt3Hooks& hooks) {
  if (!scene) return {};
  auto start = std::chrono::steady_clock::now();
  const int count = scene->NbObject();
  int changed = 0;
  for (int i = 0; i < count; i++) {
    CMesh3d* mesh = AsMesh(scene->GetAt(i));
    if (!mesh) continue;
    if (hooks.status) hooks.status(FormatText("%d out of %d...", i, count));
    for (int k = 0; k < kMaxVerticesSteps && mesh->NbVertex() < maxVertices; k++) {
      // each step triples the faces: the last one is most of the work
      CProgressSpan span(double(i) / count, double(i + 1) / count);
      ReportProgress(double(mesh->NbVertex()) / maxVertices);
      if (!StepFits(mesh, false)) {
        CSubdivisionOutcome refused = Refused();
        refused.changed = changed;
        return refused;
      }
      StepAndFinish(mesh, 1, 1, 0, nullptr);
      changed = 1;
    }
  }
  CSubdivisionOutcome outcome = Changed(changed);
  outcome.status = DoneText(start);
  return outcome;
}

CSubdivisionOutcome CommandV3Piecewise(CSceneGraph3d* scene, const CSqrt3Hooks& hooks) {
  CMesh3d* mesh = FirstMesh(scene);
  if (!mesh) return {};
  if (!StepFits(mesh, false)) return Refused();
  PiecewiseAndFinish(mesh, kPiecewiseSharp, kPiecewiseFlat, hooks.redraw, 1);
  return Changed();
}

CSubdivisionOutcome CommandV3Parameters(CSceneGraph3d* scene, const CV3Params& params,
                                        const CSqrt3Hooks& hooks) {
  CMesh3d* mesh = FirstMesh(scene);
  if (!mesh) return {};

  // piecewise step
  if (params.Piecewise) {
    if (!StepFits(mesh, false)) return Refused();
    PiecewiseAndFinish(mesh, params.Sharp, params.Flat, hooks.redraw, params.SplitSharpEdges);
    return Changed();
  }
  if (!params.Adaptive) return {};

  // adaptive steps around the seed, the radius shrinking each time
  if (params.Seed < 0 || params.Seed >= mesh->NbVertex()) {
    CSubdivisionOutcome outcome;
    outcome.message =
        FormatText("Seed %d is not a vertex index (0 to %d)", params.Seed, mesh->NbVertex() - 1);
    return outcome;
  }
  double r = params.Ratio;
  int changed = 0;
  for (int k = 0; k < params.Iterations; k++) {
    ReportProgress(double(k) / params.Iterations, "refining");
    FlagNearSeed(mesh, params.Seed, 1, r);
    if (!StepFits(mesh, true)) {
      CSubdivisionOutcome refused = Refused();
      refused.changed = changed;
      return refused;
    }
    StepAndFinish(mesh, params.FlipEdges, params.Smooth, 1, hooks.redraw);
    changed = 1;
    r *= params.Decrease;
  }
  return Changed(changed);
}

CSubdivisionOutcome CommandV3Regularize(CSceneGraph3d* scene, const CSqrt3Hooks& hooks) {
  CMesh3d* mesh = FirstMesh(scene);
  if (!mesh) return {};
  int changed = 0;
  for (int pass = 0; pass < kRegularizeMaxPasses; pass++) {
    mesh->SetFlagOnFaces(0);
    if (FlagLargeFaces(mesh, kRegularizeRatio, kSqrt3Selected) == 0) break;
    if (!AdaptiveStep(mesh, hooks.redraw)) {
      CSubdivisionOutcome refused = Refused();
      refused.changed = changed;
      return refused;
    }
    changed = 1;
  }
  return Changed(changed);
}

CSubdivisionOutcome CommandV3SilhouetteOne(CSceneGraph3d* scene, const CSqrt3Hooks& hooks) {
  CMesh3d* mesh = FirstMesh(scene);
  if (!mesh) return {};
  if (!AdaptiveStep(mesh, hooks.redraw)) return Refused();
  return Changed();
}

CSubdivisionOutcome CommandV3SilhouetteRefine(CSceneGraph3d* scene, const CVector3d& camera,
                                              int frontPasses, int silhouettePasses, bool messages,
                                              const CSqrt3Hooks& hooks) {
  CMesh3d* mesh = FirstMesh(scene);
  if (!mesh) return {};
  auto start = std::chrono::steady_clock::now();
  CStatus status{hooks, messages};
  UndoEverything(mesh, hooks, status);
  const int before = mesh->NbFace();

  // passes on the silhouette and the faces that face the camera, then on
  // the silhouette alone
  for (int pass = 0; pass < frontPasses + silhouettePasses; pass++) {
    const bool front = pass < frontPasses;
    const int step = front ? pass : pass - frontPasses;
    status(FormatText(
        front ? "Refine front faces...(step %d)" : "Refine silhouette faces...(step %d)", step));
    ReportProgress(double(pass) / (frontPasses + silhouettePasses), "refining");
    mesh->SetFlagOnFaces(0);
    FlagSilhouette(mesh, camera);
    if (front) FlagFrontFaces(mesh, camera, kSqrt3Selected);
    ColorFacesByFlag(mesh);
    Call(hooks.redraw);
    Call(hooks.project);
    if (!AdaptiveStep(mesh, hooks.redraw)) return Refused();
    Call(hooks.redraw);
  }

  // normals and the final colours
  status("Process normals...");
  mesh->CalculateNormalPerFace();
  mesh->CalculateNormalPerVertex();
  status("Color faces...");
  FlagFromCamera(mesh, camera, 2);
  Call(hooks.project);
  ColorFacesByFlag(mesh);
  status(FormatText("Adaptive refinement done (%d to %d faces, %g s)...", before, mesh->NbFace(),
                    SecondsSince(start)));
  return Changed();
}

CSubdivisionOutcome CommandV3SilhouetteNoDebug(CSceneGraph3d* scene, const CVector3d& camera,
                                               const CSqrt3Hooks& hooks) {
  CMesh3d* mesh = FirstMesh(scene);
  if (!mesh) return {};
  UndoEverything(mesh, hooks, CStatus{hooks, false});
  for (int pass = 0; pass < kNoDebugPasses; pass++) {
    ReportProgress(double(pass) / kNoDebugPasses, "refining");
    FlagFromCamera(mesh, camera, 0);
    Call(hooks.project);
    if (!AdaptiveStep(mesh, nullptr)) return Refused();
  }
  FlagFromCamera(mesh, camera, 0);
  Call(hooks.project);
  ColorFacesByFlag(mesh);
  return Changed();
}

CSubdivisionOutcome CommandV3Undo(CSceneGraph3d* scene) {
  CMesh3d* mesh = FirstMesh(scene);
  if (!mesh || !HasSqrt3History(mesh)) return {};
  UndoSqrt3Level(mesh);
  mesh->Rebuild();
  return Changed();
}

CSubdivisionOutcome CommandV3RecursiveUndo(CSceneGraph3d* scene) {
  CMesh3d* mesh = FirstMesh(scene);
  if (!mesh || !HasSqrt3History(mesh)) return {};
  UndoSqrt3All(mesh);
  mesh->Rebuild();
  return Changed();
}

CSubdivisionOutcome CommandColorSilhouette(CSceneGraph3d* scene, const CVector3d& camera,
                                           bool frontFaces) {
  CMesh3d* mesh = FirstMesh(scene);
  if (!mesh) return {};
  FlagFromCamera(mesh, camera, frontFaces ? 2 : 0);
  ColorFacesByFlag(mesh);
  return Changed();
}
