// The three methods of the volume-based metric: random collapses, collapses
// by a priority queue of candidates, and edge-based decimation followed by
// the global optimisation. Every change of the model happens under the
// hooks' lock; a stop request ends a method at its next step, and the
// model is then finished as after a complete run.

#include <memory>

#include "geometry/HashTable3d.h"
#include "geometry/Mesh3d.h"
#include "io/WriteVrml.h"
#include "processing/Approximation.h"
#include "processing/CollapseCandidates.h"
#include "processing/Smoothing.h"

namespace {

// Thrown from a hook to leave a routine that has no stop of its own.
struct CStopRequested {};

CVolumicStep StepFor(const CVolumicParams& params, double length) {
  CVolumicStep step;
  step.initial = length * params.InitialFraction;
  step.minimum = length * params.MinFraction;
  step.decrease = params.Decrease;
  step.epsilon = params.Epsilon;
  step.maxIter = params.MaxIter;
  return step;
}

// A copy of the model: its drawing modes, which the document sets under
// the lock, are read under it too.
CMesh3d* LockedClone(const CMesh3d* model, const CApproximationHooks& hooks) {
  CStepLock lock(hooks);
  return model->Clone();
}

// The reference the method measures against: the given mesh, or a private
// one, filled with a copy of the model (with adjacency and normals).
std::unique_ptr<CMesh3d> CopyModelInto(CMesh3d* model, CMesh3d*& reference,
                                       const CApproximationHooks& hooks) {
  std::unique_ptr<CMesh3d> copy(LockedClone(model, hooks));
  copy->Rebuild();
  if (!reference || reference == model) {
    reference = copy.get();
    return copy;
  }
  CStepLock lock(hooks);
  reference->Swap(*copy);
  reference->SetModified();
  return nullptr;
}

// Whether any edge of the mesh can still collapse.
bool AnyCollapsibleEdge(const CMesh3d* mesh) {
  for (const CVertex3d* v : mesh->m_ArrayVertex)
    for (const CVertex3d* n : v->m_ArrayVertexNeighbor)
      if (mesh->CanCollapseEdge(v, n)) return true;
  return false;
}

// Method 0: random collapses at the midpoint, the kept vertex optimised.
int RandomMethod(CMesh3d* model, const CReferenceSurface& reference, const CVolumicParams& params,
                 CRandom15& random, const CApproximationHooks& hooks) {
  CReferenceSurface hashed = reference;
  hashed.useHash = 1; // this method always takes the grid's first ring
  int removed = 0, failures = 0;
  while (model->NbVertex() > params.Final && !hooks.Stopped()) {
    CVertex3d* v = model->GetVertex(RandomIndex(random.Next(), model->NbVertex()));
    CVertex3d* n = v && v->NbNeighbor() > 0
                       ? v->GetNeighbor(RandomIndex(random.Next(), v->NbNeighbor()))
                       : nullptr;
    const double length = n ? Distance(v, n) : 0.0;
    int collapsed = 0;
    if (n) {
      CStepLock lock(hooks);
      collapsed = model->CollapseEdge(v, n, (v->Position() + n->Position()) * 0.5, nullptr, 1);
      // readers on other threads find settled arrays
      if (hooks.lock) model->SettleRemovals();
    }
    if (!collapsed) {
      // special case: after a pass worth of refusals, stop when a full
      // check finds no collapsible edge
      if (++failures >= model->NbVertex()) {
        if (!AnyCollapsibleEdge(model)) break;
        failures = 0;
      }
      continue;
    }
    failures = 0;
    OptimizeVolumic(v, hashed, params.SamplesPerFace, StepFor(params, length), hooks);
    removed++;
  }
  return removed;
}

// Method 1: candidates of neighbouring faces, cheapest (shortest edge)
// first, each merged vertex placed by the optimisation.
int PriorityMethod(CMesh3d* model, const CReferenceSurface& reference, const CVolumicParams& params,
                   CTextOutput* save, const CApproximationHooks& hooks) {
  CCollapseCandidates candidates([&](CCollapseCandidate& c) {
    // once stopped, nothing more is worth evaluating
    if (hooks.Stopped()) {
      c.cost = 3.4e38;
      return;
    }
    const int d = c.k->SharpCount(params.SharpEdge), e = c.r->SharpCount(params.SharpEdge);
    const CVector3d k = c.k->Position(), r = c.r->Position();
    const CVector3d start = d == e ? (k + r) * 0.5 : (d > e ? k : r);
    const double length = (k - r).Length();
    c.trial.position = OptimizeVolumicTrial(c.trial, start, reference, params.SamplesPerFace,
                                            StepFor(params, length));
    c.cost = length * length;
  });
  candidates.MakeAll(model);
  if (save) WriteVRML(model, *save);
  CRedrawThrottle throttle(hooks);
  int collapses = 0;
  while (model->NbVertex() > params.Final && !hooks.Stopped()) {
    CCollapseCandidate* best = candidates.Best();
    if (!best) break;
    const int id = candidates.BestId();
    CVertex3d* k = best->k;
    const CCollapsePlan plan = candidates.Plan(id);
    int collapsed;
    {
      CStepLock lock(hooks);
      collapsed = model->CollapseEdge(k, best->r, best->trial.position, nullptr, 1);
      if (hooks.lock) model->SettleRemovals();
    }
    if (!collapsed) {
      candidates.Drop(id);
      continue;
    }
    if (params.Update) throttle.Redraw();
    candidates.AfterCollapse(plan, k, &hooks);
    if (save && params.SavePeriodDecimation > 0 &&
        (collapses + 1) % params.SavePeriodDecimation == 0)
      WriteVRML(model, *save);
    collapses++;
  }
  return collapses;
}

// Method 2: edge-based decimation and smoothing of a working copy (shown
// once done), then the global optimisation of the model.
int GlobalMethod(CMesh3d* model, const CReferenceSurface& reference, const CVolumicParams& params,
                 CTextOutput* save, const CApproximationHooks& hooks) {
  if (save) WriteVRML(model, *save);
  const int before = model->NbVertex();
  std::unique_ptr<CMesh3d> work(LockedClone(model, hooks));
  try {
    if (work->NbVertex() > params.Final) {
      CEdgeBasedParams edge;
      edge.Final = params.Final;
      edge.Curveness = params.Curveness;
      edge.Combination = 0;
      edge.CollapseBoundaries = params.CollapseBoundaries;
      edge.SharpEdge = params.SharpEdge;
      // the redraw hook runs between steps: it is where a stop is seen
      edge.Update = 1;
      edge.UpdateFrequency = 1;
      edge.Save = save != nullptr;
      edge.SaveFrequency = params.SavePeriodDecimation;
      CSimplificationHooks stopHook;
      stopHook.redraw = [&hooks] {
        if (hooks.Stopped()) throw CStopRequested();
      };
      EdgeBasedSimplification(work.get(), edge, save, stopHook);
    }
    work->BuildAdjacency();
    if (params.Smooth)
      for (int i = 0; i < params.SmoothIterations && !hooks.Stopped(); i++) {
        Smooth(work.get(), params.MoveBoundaries);
        if (save) WriteVRML(work.get(), *save);
      }
  } catch (const CStopRequested&) {
    work->SettleRemovals();
    work->Rebuild();
  }
  {
    CStepLock lock(hooks);
    model->Swap(*work);
    model->SetModified();
  }
  if (params.Update && hooks.redraw) hooks.redraw();
  OptimizeVolumicGlobal(model, reference, params, save, hooks);
  if (save) WriteVRML(model, *save);
  return before - model->NbVertex();
}

} // namespace

int RunVolumicMethod(CMesh3d* model, CMesh3d* reference, const CVolumicParams& params,
                     CTextOutput* save, CRandom15& random, const CApproximationHooks& given) {
  // without "Update iterations" the view is only redrawn at the end
  CApproximationHooks hooks = given;
  if (!params.Update) hooks.redraw = nullptr;
  // the reference: a copy of the model (methods 0 and 1 always; method 2
  // only without a separate reference)
  std::unique_ptr<CMesh3d> own;
  if (params.Method != 2 || !reference || reference == model) {
    own = CopyModelInto(model, reference, hooks);
  }
  CHashTable3d grid(params.HashSize);
  grid.Build(reference);
  const CReferenceSurface surface{&grid, params.UseHash};

  int removed = 0;
  switch (params.Method) {
  case 0:
    removed = RandomMethod(model, surface, params, random, hooks);
    break;
  case 1:
    removed = PriorityMethod(model, surface, params, save, hooks);
    break;
  default:
    removed = GlobalMethod(model, surface, params, save, hooks);
    break;
  }
  // every method ends with adjacency and normals rebuilt
  CStepLock lock(hooks);
  model->SettleRemovals();
  model->Rebuild();
  return removed;
}
