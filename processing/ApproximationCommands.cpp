// The spatial grid and progressive mesh commands on a scene.

#include "processing/ApproximationCommands.h"

#include <chrono>
#include <cmath>
#include <memory>

#include "geometry/FormatText.h"
#include "geometry/HashTable3d.h"
#include "processing/SceneMeshes.h"

// The nine query points of the grid command: the box centre, then its
// corners in binary order (x fastest).
static std::vector<CVector3d> GridQueries(const CHashTable3d& grid) {
  float lo[3], hi[3];
  for (int axis = 0; axis < 3; axis++) grid.Range(axis, &lo[axis], &hi[axis]);
  std::vector<CVector3d> points = {
      CVector3d((lo[0] + hi[0]) * 0.5, (lo[1] + hi[1]) * 0.5, (lo[2] + hi[2]) * 0.5)};
  for (int corner = 0; corner < 8; corner++)
    points.emplace_back(corner & 1 ? hi[0] : lo[0], corner & 2 ? hi[1] : lo[1],
                        corner & 4 ? hi[2] : lo[2]);
  return points;
}

CSubdivisionOutcome CommandHashTable(CSceneGraph3d* scene, int size, int showGrid,
                                     const CSimplificationHooks& hooks) {
  CMesh3d* mesh = FirstMesh(scene);
  if (!mesh) return {};
  auto grid = std::make_unique<CHashTable3d>(size);
  grid->Build(mesh);
  if (showGrid) grid->m_Redraw = hooks.redraw;
  double farthest = 0.0;
  for (const CVector3d& p : GridQueries(*grid)) {
    CVector3d point;
    CFace3d* face = nullptr;
    const double d = grid->ClosestPoint(p, point, face, showGrid);
    if (face && d > farthest) farthest = d;
  }
  grid->m_Redraw = nullptr;
  const std::string text =
      FormatText("Hash table %d: %d cells, %d faces, farthest query %g", grid->Size(),
                 grid->NbCell(), grid->NbFace(), std::sqrt(farthest));
  scene->Add(grid.release());
  CSubdivisionOutcome outcome = Changed();
  outcome.status = text;
  return outcome;
}

CSubdivisionOutcome CommandProgressiveMesh(CSceneGraph3d* scene,
                                           const CProgressiveMeshParams& params,
                                           const CSimplificationHooks& hooks) {
  CMesh3d* mesh = FirstMesh(scene);
  if (!mesh) return {};
  auto start = std::chrono::steady_clock::now();
  const int before = mesh->NbVertex();
  CApproximationHooks approximation;
  approximation.redraw = hooks.redraw;
  if (!ProgressiveMesh(mesh, params, approximation)) return {};
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  CSubdivisionOutcome outcome = Changed();
  outcome.status = FormatText("Progressive mesh done, %d -> %d vertices, %g s", before,
                              mesh->NbVertex(), seconds);
  return outcome;
}
