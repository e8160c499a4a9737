#pragma once

// Simplification that keeps a mesh close to a reference surface (a copy of
// the mesh taken before simplification): the progressive mesh, whose
// collapsed vertices minimise a distance-plus-spring energy, and the
// volume-based metric, which moves vertices along the normalised sum of
// their faces' normals weighted by the sampled volume between each face
// and the reference. Closest points on the reference come from a uniform
// grid of its faces (geometry/HashTable3d.h).

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "geometry/Vector3d.h"
#include "processing/Simplification.h"

class CFace3d;
class CHashTable3d;
class CMesh3d;
class CTextOutput;
class CVertex3d;

// The reference surface of a run: its grid, and whether queries take the
// first ring of cells holding a face (fast) or the exact closest face.
struct CReferenceSurface {
  const CHashTable3d* grid = nullptr;
  int useHash = 1;
  // Squared distance from p to the reference, with the closest point.
  double Closest(const CVector3d& p, CVector3d& point) const;
};

// How a long routine shows and bounds its work. redraw: the view follows
// (empty without one). lock / unlock: taken around every change of the
// mesh, so that nobody draws half a step (empty when nobody else reads the
// mesh). stop: set from outside to end the routine at the next step.
struct CApproximationHooks : CSimplificationHooks {
  std::function<void()> lock;
  std::function<void()> unlock;
  const std::atomic<bool>* stop = nullptr;
  bool Stopped() const { return stop && stop->load(std::memory_order_relaxed); }
};

// Holds the hooks' lock for one step of a routine.
class CStepLock {
public:
  explicit CStepLock(const CApproximationHooks& hooks) : m_Hooks(hooks) {
    if (m_Hooks.lock) m_Hooks.lock();
  }
  ~CStepLock() {
    if (m_Hooks.unlock) m_Hooks.unlock();
  }
  CStepLock(const CStepLock&) = delete;
  CStepLock& operator=(const CStepLock&) = delete;

private:
  const CApproximationHooks& m_Hooks;
};

//////////////////////////////////////////////////////////////////////
// Progressive mesh (ProgressiveMesh.cpp)
//////////////////////////////////////////////////////////////////////

// Dialog "Progressive meshes".
struct CProgressiveMeshParams {
  int Final = 0;            // "Final" (vertices): the target
  double Epsilon = 0.0001;  // squared move of one step that ends an optimisation
  int MaxIter = 50;         // "Max iter"
  double Spring = 0.01;     // "Spring"
  double InitialStep = 1.0; // "Initial (step)"
  float Increase = 1.5f;    // "Increase factor"
  float Decrease = 0.1f;    // "Decrease factor"
  float MaxStep = 5.0f;     // "Max"
  float MinStep = 0.01f;    // "Min"
  float Sharp = 0.6f;       // "Sharp threshold"
  int HashSize = 20;        // "Size hash table"
  int Update = 1;           // "Update iterations"
  int UpdateFrequency = 1;  // "Update frequency" (collapses between redraws)
};

// The trial vertex of a collapse: the neighbours of the merged vertex and
// its faces (each as its two other corners, in orientation order).
struct CTrialVertex {
  CVector3d position;
  std::vector<CVector3d> neighbors;
  std::vector<CVector3d> ring; // pairs (b, c) of faces (trial, b, c)
};

// The energy E(p) = D(p) + spring * sum |p - n_j|^2 of a trial position.
double ProgressiveEnergy(const CVector3d& p, const CTrialVertex& trial,
                         const CReferenceSurface& reference, double spring);
// Gradient descent of the trial position from start with an adaptive step;
// returns the final energy and leaves the position in `position`.
double OptimizeTrialPosition(const CTrialVertex& trial, const CVector3d& start,
                             const CReferenceSurface& reference,
                             const CProgressiveMeshParams& params, CVector3d& position);

// Simplifies mesh down to params.Final vertices. Returns 0 when refused
// (fewer than 6 vertices or 3 faces, or a target not below the vertex
// count), else 1; ends with adjacency and normals rebuilt.
int ProgressiveMesh(CMesh3d* mesh, const CProgressiveMeshParams& params,
                    const CApproximationHooks& hooks);

//////////////////////////////////////////////////////////////////////
// Volume-based metric (VolumicOptimization.cpp, VolumicMethods.cpp)
//////////////////////////////////////////////////////////////////////

// Dialog "Mesh approximation - volume-based metric".
struct CVolumicParams {
  int Model = 1;                  // "Model": scene index of the mesh simplified
  int Reference = 0;              // "Reference": scene index of the reference
  int Final = 0;                  // "Final" (vertices)
  int Method = 2;                 // 0 random, 1 priority queue, 2 global optimisation
  int Curveness = 0;              // potential of the edge list: 0 length, 1 curveness
  int SamplesPerFace = 40;        // "Samples per face", 1 ... 10000
  double Epsilon = 0.00001;       // move that ends one vertex's optimisation
  int MaxIter = 400;              // "Max iter"
  double InitialFraction = 0.1;   // "Initial (edge %)"
  double MinFraction = 0.01;      // "Min (edge %)"
  double Decrease = 0.9;          // "Decrease factor"
  int DecreaseAfter = 0;          // "Decrease after" (kept, not used)
  float SharpEdge = 0.5f;         // "Sharp edge"
  int CollapseBoundaries = 0;     // "Collapse boundaries"
  int Hausdorff = 0;              // "Initalize using Hausdorff"
  int UseHash = 0;                // "Use hash table"
  int HashSize = 10;              // "Hash table"
  int NbFaceSearch = 10;          // "Nb face (search)" (kept, not used)
  int Smooth = 0;                 // "Smooth"
  int SmoothIterations = 0;       // "Iteration" (smoothing)
  int MoveBoundaries = 0;         // "Move boundaries"
  int Save = 1;                   // "Save intermediate"
  int SavePeriodDecimation = 10;  // "Each ... iterations (decimation)"
  int SavePeriodOptimization = 3; // "Each ... iterations (optimisation)"
  int Update = 1;                 // "Update iterations"
};

// One step schedule of an optimisation.
struct CVolumicStep {
  double initial = 0.0;
  double minimum = 0.0;
  double decrease = 0.9;
  double epsilon = 0.00001;
  int maxIter = 400;
};

// The direction that moves the point p of a star of faces (ring pairs as
// in CTrialVertex) towards the reference: the normalised sum of the face
// normals, each weighted by the signed volume between the face and the
// reference sampled on a lattice. Zero when no face has area. largest
// receives the largest sample distance.
CVector3d VolumicDirection(const CVector3d& p, const std::vector<CVector3d>& ring,
                           const CReferenceSurface& reference, int samplesPerFace, double* largest);
// The ring pairs of a vertex's valid faces.
std::vector<CVector3d> VertexRing(const CVertex3d* v);

// Moves v towards the reference by steps along its volumic direction;
// returns the number of iterations.
int OptimizeVolumic(CVertex3d* v, const CReferenceSurface& reference, int samplesPerFace,
                    const CVolumicStep& step, const CApproximationHooks& hooks);
// The same on a trial position (no vertex object moved).
CVector3d OptimizeVolumicTrial(const CTrialVertex& trial, const CVector3d& start,
                               const CReferenceSurface& reference, int samplesPerFace,
                               const CVolumicStep& step);

// Moves every vertex together, maxIter times; boundary vertices stay.
// save (may be null) receives the mesh every savePeriod iterations up to
// iteration 100. Returns the number of iterations run.
int OptimizeVolumicGlobal(CMesh3d* mesh, const CReferenceSurface& reference,
                          const CVolumicParams& params, CTextOutput* save,
                          const CApproximationHooks& hooks);

// Runs the method of params on model against reference (a separate mesh,
// or null / the model itself for a private copy of the model). Methods 0
// and 1 replace the reference's contents with a copy of the model, as the
// dialog's default (object 0 holding that copy) expects. save, when not
// null, receives the intermediate meshes. Returns the number of vertices
// removed. Throws std::bad_alloc when the grid does not fit.
int RunVolumicMethod(CMesh3d* model, CMesh3d* reference, const CVolumicParams& params,
                     CTextOutput* save, CRandom15& random, const CApproximationHooks& hooks);
