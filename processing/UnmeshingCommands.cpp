// The wavefront unmeshing and remeshing commands on a scene.

#include "processing/UnmeshingCommands.h"

#include <chrono>
#include <memory>

#include "geometry/FormatText.h"
#include "geometry/Mesh3d.h"
#include "geometry/SceneGraph3d.h"
#include "processing/SceneMeshes.h"
#include "processing/SubdivisionMemory.h"
#include "processing/Wavefront.h"

namespace {

// Seconds since a start, from whole milliseconds as the status reports show.
class CStopwatch {
public:
  double Seconds() const {
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                  std::chrono::steady_clock::now() - m_Start)
                  .count();
    return static_cast<double>(ms) * 0.001;
  }

private:
  std::chrono::steady_clock::time_point m_Start = std::chrono::steady_clock::now();
};

void Status(const CWavefrontHooks& hooks, const std::string& text) {
  if (hooks.status) hooks.status(text);
}

void Redraw(const CWavefrontHooks& hooks) {
  if (hooks.redraw) hooks.redraw();
}

// Whether the mesh may grow by this much (or be copied, growth = its size).
bool GrowthFits(const CMesh3d* mesh, const CRemeshGrowth& growth) {
  CMeshCount added;
  added.faces = growth.faces;
  added.vertices = growth.vertices;
  return MemoryAllows(MeshBytes(added), mesh->NbFace() + growth.faces, AvailableMemoryBytes());
}

CSubdivisionOutcome Message(const std::string& text) {
  CSubdivisionOutcome outcome;
  outcome.message = text;
  return outcome;
}

CSubdivisionOutcome BadSeed(const CMesh3d* mesh, int seed) {
  return Message(
      FormatText("Seed face %d is not a face of the mesh (it has %d faces)", seed, mesh->NbFace()));
}

bool SeedIsFace(const CMesh3d* mesh, int seed) {
  return seed >= 0 && seed < mesh->NbFace() && mesh->GetFace(seed) &&
         !mesh->GetFace(seed)->HasNullVertex();
}

// "Copy to scenegraph": a rebuilt copy of the first object joins the scene
// and the first two objects swap; the copy is worked on.
CMesh3d* CopyIntoScene(CSceneGraph3d* scene, CMesh3d* first) {
  auto copy = std::make_unique<CMesh3d>();
  copy->Copy(first);
  copy->Rebuild();
  CMesh3d* mesh = copy.get();
  scene->Add(copy.release());
  CObject3d* zero = scene->GetAt(0);
  scene->m_ArrayObject.SetAt(0, scene->GetAt(1));
  scene->m_ArrayObject.SetAt(1, zero);
  return mesh;
}

CUnmeshProgress Progress(int debug, int period, const CWavefrontHooks& hooks) {
  CUnmeshProgress progress;
  progress.debug = debug;
  progress.period = period;
  progress.redraw = hooks.redraw;
  return progress;
}

// The passes in the order the dialog sets.
void RunPasses(CMesh3d* mesh, const CUnmeshingParams& p, const CWavefrontHooks& hooks) {
  CUnmeshProgress along = Progress(p.AlongDebug, p.AlongPeriod, hooks);
  CUnmeshProgress across = Progress(p.AcrossDebug, p.AcrossPeriod, hooks);
  if (!p.AlongUnmesh) {
    if (!p.AcrossUnmesh) return;
    Status(hooks, "Unmesh across...");
    UnmeshAcross(mesh, 0, 2, p.SmoothGeomorph, across);
    return;
  }
  if (p.AcrossUnmesh && p.AcrossFirst) {
    Status(hooks, "Unmesh across, then along...");
    UnmeshAcross(mesh, 0, 2, p.SmoothGeomorph, across);
    Redraw(hooks);
    UnmeshAlong(mesh, 1, 2, kAlongRatio, p.SmoothGeomorph, along);
    Redraw(hooks);
    return;
  }
  Status(hooks, "Unmesh along...");
  UnmeshAlong(mesh, 0, 1, kAlongRatio, p.SmoothGeomorph, along);
  Redraw(hooks);
  if (p.AcrossUnmesh) {
    Status(hooks, "Unmesh across...");
    UnmeshAcross(mesh, 0, 2, p.SmoothGeomorph, across);
  }
}

} // namespace

CSubdivisionOutcome CommandUnmeshing(CSceneGraph3d* scene, const CUnmeshingParams& params,
                                     const CWavefrontHooks& hooks) {
  CMesh3d* mesh = FirstMesh(scene);
  if (!mesh) return {};
  if (!SeedIsFace(mesh, params.SeedFace)) return BadSeed(mesh, params.SeedFace);
  CStopwatch clock;

  // the copy, when asked for
  if (params.CopyToScene) {
    CRemeshGrowth whole;
    whole.faces = mesh->NbFace();
    whole.vertices = mesh->NbVertex();
    if (!GrowthFits(mesh, whole)) return Refused();
    Status(hooks, "Copy mesh...");
    mesh = CopyIntoScene(scene, mesh);
  }

  // the wavefront, coloured when asked for
  Status(hooks, "Build wavefront...");
  BuildWavefront(mesh, params.SeedFace);
  if (params.ColorFaces) {
    Status(hooks, "Color faces from wavefront...");
    ColorFacesByRing(mesh);
  }
  Status(hooks, FormatText("Wavefront done (%g s)", clock.Seconds()));

  RunPasses(mesh, params, hooks);
  mesh->SetModified();
  CSubdivisionOutcome outcome = Changed();
  outcome.status = FormatText("Unmeshing wavefront done (%g)", clock.Seconds());
  return outcome;
}

CSubdivisionOutcome CommandRemeshing(CSceneGraph3d* scene, const CWavefrontHooks& hooks) {
  CMesh3d* mesh = FirstMesh(scene);
  if (!mesh) return {};
  if (!SeedIsFace(mesh, 0)) return BadSeed(mesh, 0);
  CStopwatch clock;
  BuildWavefront(mesh, 0);
  Redraw(hooks);

  // along: two vertices per edge inside the rings
  Status(hooks, "Remesh along...");
  if (!GrowthFits(mesh, RemeshAlongGrowth(mesh))) return Refused();
  Status(hooks, "Two vertices per edge...");
  RemeshAlong(mesh);
  Status(hooks, FormatText("Two vertices per edge done (%g s)", clock.Seconds()));
  Redraw(hooks);

  // across: one vertex per edge between the rings
  Status(hooks, "Remesh across...");
  if (!GrowthFits(mesh, RemeshAcrossGrowth(mesh))) {
    CSubdivisionOutcome outcome = Refused();
    outcome.changed = 1;
    return outcome;
  }
  Status(hooks, "One vertex per edge...");
  RemeshAcross(mesh);
  CSubdivisionOutcome outcome = Changed();
  outcome.status = FormatText("One vertex per edge done (%g s)", clock.Seconds());
  return outcome;
}
