// The menu commands of "&Algorithms/Surface tiling" on a scene.

#include "processing/TilingCommands.h"

#include <algorithm>
#include <memory>

#include "geometry/FormatText.h"
#include "geometry/SceneGraph3d.h"
#include "geometry/TilingMesh3d.h"
#include "processing/SceneMeshes.h"
#include "processing/SubdivisionMemory.h"
#include "processing/Tiling.h"

namespace {

constexpr const char* kNoMeshText = "Sorry, no mesh in scenegraph";

// Bytes of one tiling of mesh: its copy, the face records and at most one
// tile (with a few links) for every two faces.
double TilingBytes(const CMesh3d* mesh) {
  CMeshCount count;
  count.faces = mesh->NbFace();
  count.vertices = mesh->NbVertex();
  const double perTile = sizeof(CTile3d) + 16.0 + 6 * 8.0;
  return MeshBytes(count) + count.faces * (sizeof(CTile3d*) + 0.5 * perTile);
}

// A tiling of mesh holding a rebuilt copy of it, not yet tiled.
std::unique_ptr<CTilingMesh3d> CopyForTiling(const CMesh3d* mesh) {
  auto tiling = std::make_unique<CTilingMesh3d>();
  tiling->Copy(mesh);
  tiling->Rebuild();
  return tiling;
}

// The vertex with the most incident faces from index 1 on (the first of
// equals), or -1 with fewer than two vertices.
int BusiestVertex(const CMesh3d* mesh) {
  int seed = -1, most = -1;
  for (int i = 1; i < mesh->NbVertex(); i++)
    if (mesh->GetVertex(i)->NbFace() > most) {
      seed = i;
      most = mesh->GetVertex(i)->NbFace();
    }
  return seed;
}

CSubdivisionOutcome Message(const std::string& text) {
  CSubdivisionOutcome outcome;
  outcome.message = text;
  return outcome;
}

// One tiling per seed in [first, last); seeds outside the mesh are skipped
// without a report line. With retain only the tiling of fewest polygons
// (below the face count) is kept.
CSubdivisionOutcome MultiMesh(CSceneGraph3d* scene, CMesh3d* source, const CTilingParams& params,
                              CTilingReport& report) {
  report.hasReport = 1;
  const int first = std::max(params.First, 0);
  const int last = std::min(params.Last, source->NbVertex());
  const double copies = params.RetainMin ? 2.0 : std::max(last - first, 0);
  if (copies > 0 &&
      !MemoryAllows(copies * TilingBytes(source), source->NbFace(), AvailableMemoryBytes()))
    return Refused();

  std::unique_ptr<CTilingMesh3d> best;
  int smallest = source->NbFace();
  int appended = 0;
  for (int seed = first; seed < last; seed++) {
    std::unique_ptr<CTilingMesh3d> tiling = CopyForTiling(source);
    const int c = Tile(tiling.get(), seed, params.Split, source);
    report.text += FormatText("%d\t%d\r\n", seed, c);
    if (!params.RetainMin) {
      scene->Add(tiling.release());
      appended++;
    } else if (c < smallest) {
      best = std::move(tiling);
      smallest = c;
    }
    source->SetModified();
  }
  if (params.RetainMin && best) {
    scene->Add(best.release());
    appended++;
  }
  return Changed(appended > 0 || last > first);
}

// One tiling from the busiest vertex, then the generated levels, each
// generated mesh tiled again from the dialog's vertex seed.
CSubdivisionOutcome SingleMesh(CSceneGraph3d* scene, CMesh3d* source, const CTilingParams& params) {
  const int levels = !params.GenerateMesh ? 0 : params.Recursive ? std::max(params.Levels, 0) : 1;
  // each level is several times smaller than the one before: all of them
  // together stay within about one more copy
  if (!MemoryAllows((levels > 0 ? 2.0 : 1.0) * TilingBytes(source), source->NbFace(),
                    AvailableMemoryBytes()))
    return Refused();

  std::unique_ptr<CTilingMesh3d> tiling = CopyForTiling(source);
  Tile(tiling.get(), BusiestVertex(source), params.Split, source);
  CTilingMesh3d* current = tiling.get();
  scene->Add(tiling.release());
  source->SetModified();

  for (int level = 0; level < levels; level++) {
    CMesh3d* generated = GenerateMesh(current);
    scene->Add(generated);
    if (params.VertexSeed < 0 || params.VertexSeed >= generated->NbVertex()) {
      CSubdivisionOutcome outcome = Changed();
      outcome.status = FormatText("Vertex seed %d is outside the %d vertices of level %d",
                                  params.VertexSeed, generated->NbVertex(), level + 1);
      return outcome;
    }
    std::unique_ptr<CTilingMesh3d> next = CopyForTiling(generated);
    Tile(next.get(), params.VertexSeed, params.Split, generated);
    current = next.get();
    scene->Add(next.release());
  }
  return Changed();
}

} // namespace

CSubdivisionOutcome CommandTilingBuild(CSceneGraph3d* scene, const CTilingParams& params,
                                       CTilingReport& report) {
  CMesh3d* source = FirstMesh(scene);
  if (!source) return Message(kNoMeshText);
  return params.MultiMesh ? MultiMesh(scene, source, params, report)
                          : SingleMesh(scene, source, params);
}

CSubdivisionOutcome CommandTilingOptimize(CSceneGraph3d* scene,
                                          const std::function<void()>& repaint) {
  CObject3d* object = scene && scene->NbObject() > 1 ? scene->GetAt(1) : nullptr;
  if (!object || object->GetType() != TYPE_TILING_MESH3D) return Message(kNotATilingText);
  OptimizeNodes(static_cast<CTilingMesh3d*>(object), kOptimizeIterations, repaint);
  return Changed();
}
