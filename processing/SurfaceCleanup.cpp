// Hole filling, spring relaxation and compacity measures.

#include "processing/SurfaceCleanup.h"

#include <algorithm>
#include <vector>

#include "geometry/Mesh3d.h"
#include "geometry/Progress.h"
#include "processing/MeshColoring.h"

void FillHole(CMesh3d* mesh) {
  if (!mesh) return;
  mesh->SetFlagOnVertices(0);

  // centre of all boundary vertices, summed in single precision
  float sx = 0.0f, sy = 0.0f, sz = 0.0f;
  int count = 0;
  for (const CVertex3d* v : mesh->m_ArrayVertex) {
    if (!v || !v->IsBoundaryVertex()) continue;
    sx += static_cast<float>(v->x), sy += static_cast<float>(v->y), sz += static_cast<float>(v->z);
    count++;
  }
  // a closed mesh has no hole
  if (count == 0) return;
  CVertex3d* centre = new CVertex3d(sx / count, sy / count, sz / count);
  mesh->AddVertex(centre);

  // one face from every boundary edge of the faces there were
  int nf = mesh->NbFace();
  for (int i = 0; i < nf; i++) {
    CFace3d* f = mesh->GetFace(i);
    if (!f || f->HasNullVertex()) continue;
    for (int l = 0; l < 3; l++)
      if (!f->m_pFace[l])
        mesh->AddFace(new CFace3d(f->m_pVertex[l], centre, f->m_pVertex[(l + 1) % 3]));
  }
  mesh->SetModified();
}

double MeanCompacity(const CMesh3d* mesh) {
  if (!mesh) return 0.0;
  double sum = 0.0;
  int n = 0;
  for (const CFace3d* f : mesh->m_ArrayFace)
    if (f) sum += f->Compacity(), n++;
  return n ? sum / n : 0.0;
}

double MinCompacity(const CMesh3d* mesh) {
  if (!mesh) return 0.0;
  double least = 0.0;
  bool any = false;
  for (const CFace3d* f : mesh->m_ArrayFace) {
    if (!f) continue;
    double c = f->Compacity();
    least = any ? std::min(least, c) : c;
    any = true;
  }
  return least;
}

// Step of the spring relaxation and its shrinking.
constexpr double kSpringStep = 0.1;
constexpr double kSpringShrink = 0.8;
// Iterations before the step may shrink.
constexpr int kSpringSteadyIterations = 10;

// Spring energy of the free vertices: their squared distances to their
// neighbours, summed in single precision.
static float SpringEnergy(const CMesh3d* mesh) {
  float energy = 0.0f;
  for (const CVertex3d* v : mesh->m_ArrayVertex) {
    if (!v || v->m_Flag != 1) continue;
    for (const CVertex3d* w : v->m_ArrayVertexNeighbor)
      if (w) energy += static_cast<float>(DistanceSquared(v, w));
  }
  return energy;
}

void SpringRelax(CMesh3d* mesh, double angle, int iterations,
                 const std::function<void(int iteration)>& afterIteration) {
  if (!mesh) return;

  // fixed vertices: on the boundary or on a crease sharper than angle
  std::vector<double> crease = MaxNormalAngles(mesh);
  double threshold = angle * kSpringDegree;
  for (int i = 0; i < mesh->NbVertex(); i++)
    if (CVertex3d* v = mesh->GetVertex(i))
      v->m_Flag = crease[i] > threshold || v->IsBoundaryVertex() ? 0 : 1;

  // Gauss-Seidel moves along the springs, the step shrinking when the
  // energy stops falling
  // (the energy before an iteration is the one after the previous)
  double a = kSpringStep;
  float after = iterations > 0 ? SpringEnergy(mesh) : 0.0f;
  for (int it = 0; it < iterations; it++) {
    ReportProgress(double(it) / iterations, "relaxing");
    float before = after;
    for (CVertex3d* v : mesh->m_ArrayVertex) {
      if (!v || v->m_Flag != 1) continue;
      double dx = 0.0, dy = 0.0, dz = 0.0;
      for (const CVertex3d* w : v->m_ArrayVertexNeighbor)
        if (w) dx += w->x - v->x, dy += w->y - v->y, dz += w->z - v->z;
      v->Set(v->x + a * dx, v->y + a * dy, v->z + a * dz);
    }
    after = SpringEnergy(mesh);
    if (it >= kSpringSteadyIterations && after >= before) a *= kSpringShrink;
    mesh->SetModified();
    if (afterIteration) afterIteration(it);
  }
}
