// Progressive mesh: edge collapses ordered by the energy of the merged
// vertex, placed by gradient descent of its distance to a reference copy
// of the mesh plus springs to its neighbours.

#include <memory>

#include "geometry/HashTable3d.h"
#include "geometry/Mesh3d.h"
#include "processing/Approximation.h"
#include "processing/CollapseCandidates.h"

double CReferenceSurface::Closest(const CVector3d& p, CVector3d& point) const {
  CFace3d* face = nullptr;
  if (!grid) return CHashTable3d::kNothing;
  return useHash ? grid->ClosestPoint(p, point, face) : grid->ExactClosestPoint(p, point, face);
}

// Spring term sum |p - n_j|^2 and its gradient sum (p - n_j).
static double Springs(const CVector3d& p, const CTrialVertex& trial, CVector3d* gradient) {
  double sum = 0.0;
  CVector3d g(0.0, 0.0, 0.0);
  for (const CVector3d& n : trial.neighbors) {
    const CVector3d d = p - n;
    sum += d.LengthSquared();
    g += d;
  }
  if (gradient) *gradient = g;
  return sum;
}

double ProgressiveEnergy(const CVector3d& p, const CTrialVertex& trial,
                         const CReferenceSurface& reference, double spring) {
  CVector3d q;
  return reference.Closest(p, q) + spring * Springs(p, trial, nullptr);
}

double OptimizeTrialPosition(const CTrialVertex& trial, const CVector3d& start,
                             const CReferenceSurface& reference,
                             const CProgressiveMeshParams& params, CVector3d& position) {
  CVector3d p = start, q;
  double energy = reference.Closest(p, q) + params.Spring * Springs(p, trial, nullptr);
  double step = params.InitialStep;
  for (int iteration = 0; iteration < params.MaxIter; iteration++) {
    // gradient of the distance plus the springs, then one step down it
    CVector3d springs;
    Springs(p, trial, &springs);
    const CVector3d g = (p - q) + springs * params.Spring;
    const CVector3d next = p - g * step;
    CVector3d nextQ;
    const double nextEnergy =
        reference.Closest(next, nextQ) + params.Spring * Springs(next, trial, nullptr);
    // the step grows after a descent and shrinks after a climb
    step *= nextEnergy <= energy ? params.Increase : params.Decrease;
    if (step < params.MinStep) step = params.MinStep;
    if (step > params.MaxStep) step = params.MaxStep;
    const double moved = (next - p).LengthSquared();
    p = next;
    q = nextQ;
    energy = nextEnergy;
    if (moved <= params.Epsilon) break;
  }
  position = p;
  return energy;
}

// The three starts (k, r, their midpoint) and the choice among them.
static void EvaluateProgressive(CCollapseCandidate& c, const CReferenceSurface& reference,
                                const CProgressiveMeshParams& params) {
  CVector3d atK, atR, atMid;
  const CVector3d k = c.k->Position(), r = c.r->Position();
  const double eK = OptimizeTrialPosition(c.trial, k, reference, params, atK);
  const double eR = OptimizeTrialPosition(c.trial, r, reference, params, atR);
  const double eMid = OptimizeTrialPosition(c.trial, (k + r) * 0.5, reference, params, atMid);
  if (eK >= eR) {
    c.cost = eR <= eMid ? eR : eMid;
    c.trial.position = eR <= eMid ? atR : atMid;
  } else {
    c.cost = eK <= eMid ? eK : eMid;
    c.trial.position = eK <= eMid ? atK : atMid;
  }
}

// Where the collapse of c puts the merged vertex, or false when refused:
// boundary vertices and sharp vertices stay, except along a crease between
// two crease vertices, which collapses to its midpoint.
static bool CollapsePosition(const CCollapseCandidate& c, float sharp, CVector3d& position) {
  CFace3d* a = c.a;
  CFace3d* b = c.b;
  if (!a->IsValid() || !b->IsValid() || !a->HasNeighbor(b) || !b->HasNeighbor(a)) return false;
  if (a->NbNeighbor() != 3 || b->NbNeighbor() != 3) return false;
  if (c.k->IsBoundaryVertex() || c.r->IsBoundaryVertex()) return false;
  const int d = c.k->SharpCount(sharp), e = c.r->SharpCount(sharp);
  if (d == 2 && e == 2 && NormalSine(a, b) >= sharp) {
    position = (c.k->Position() + c.r->Position()) * 0.5;
    return true;
  }
  if (d > 0 || e > 0) return false;
  position = c.trial.position;
  return true;
}

int ProgressiveMesh(CMesh3d* mesh, const CProgressiveMeshParams& params,
                    const CApproximationHooks& hooks) {
  // refusals
  if (!mesh || mesh->NbVertex() < 6 || mesh->NbFace() < 3 || params.Final >= mesh->NbVertex())
    return 0;

  // the reference copy and its grid
  std::unique_ptr<CMesh3d> reference(mesh->Clone());
  reference->BuildAdjacency();
  CHashTable3d grid(params.HashSize);
  grid.Build(reference.get());
  CReferenceSurface surface{&grid, 1};

  // candidates, every one evaluated
  CCollapseCandidates candidates(
      [&](CCollapseCandidate& c) { EvaluateProgressive(c, surface, params); });
  candidates.MakeAll(mesh);

  // collapses, cheapest first; the vertex count is read without compacting
  // the array (NbVertex would compact it, and the next removal would then
  // rebuild the mesh's slot index: two passes over the mesh per collapse)
  CRedrawThrottle throttle(hooks);
  const CArray3d<CVertex3d>& vertices = mesh->m_ArrayVertex;
  auto remaining = [&vertices] { return vertices.SlotCount() - vertices.NbVacant(); };
  int collapses = 0;
  while (remaining() > params.Final && !hooks.Stopped()) {
    CCollapseCandidate* best = candidates.Best();
    if (!best) break;
    const int id = candidates.BestId();
    CVector3d position;
    CVertex3d* k = best->k;
    const CCollapsePlan plan = candidates.Plan(id);
    if (!CollapsePosition(*best, params.Sharp, position) ||
        !mesh->CollapseEdge(k, best->r, position, nullptr, 1)) {
      candidates.Drop(id);
      continue;
    }
    candidates.AfterCollapse(plan, k);
    collapses++;
    if (params.Update && params.UpdateFrequency > 0 && collapses % params.UpdateFrequency == 0)
      throttle.Redraw();
  }

  mesh->SettleRemovals();
  mesh->Rebuild();
  return 1;
}
