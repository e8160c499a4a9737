#pragma once

// Simplification of triangle meshes by local operations: random and
// independent edge collapses, edge-based simplification by edge length or
// curveness, error accumulation, face collapses (one at a time by cost, or
// an independent set at once with an optional geomorph), and the truncation
// of meshes stored from coarse to fine. Each routine works on the mesh it is
// given; the scene commands (SimplificationCommands.h) choose the mesh.
//
// The next element to collapse is the one a scan of the candidate list in
// list order would pick (lowest cost, the first of equal costs), found
// through heaps keyed by (cost, creation order). Removed elements leave
// their arrays in one compaction when the routine ends.

#include <chrono>
#include <functional>
#include <vector>

#include "geometry/Random15.h"
#include "geometry/Vector3d.h"

class CFace3d;
class CMesh3d;
class CSceneGraph3d;
class CTextOutput;
class CVertex3d;

// How a routine shows its work: redraw the view at once. Empty without a
// view (batch runs, tests).
struct CSimplificationHooks {
  std::function<void()> redraw;
};

// Calls the redraw hook at most ten times a second (the last call of a run
// may be forced).
class CRedrawThrottle {
public:
  explicit CRedrawThrottle(const CSimplificationHooks& hooks) : m_Hooks(hooks) {}
  bool HasView() const { return static_cast<bool>(m_Hooks.redraw); }
  void Redraw(bool force = false);

private:
  const CSimplificationHooks& m_Hooks;
  std::chrono::steady_clock::time_point m_Last{};
};

//////////////////////////////////////////////////////////////////////
// Edge collapses (EdgeCollapse.cpp)
//////////////////////////////////////////////////////////////////////

// Random edge collapse: a vertex drawn as floor(r * V * (float)(1/32767)),
// one of its neighbours drawn the same way over the neighbour count,
// collapsed into it at the midpoint. Nothing happens on an empty mesh or a
// vertex without neighbours. Returns 1 when an edge was collapsed.
int RandomEdgeCollapse(CMesh3d* mesh, CRandom15& random);

// The index floor(r * n * (float)(1/32767)), kept below n.
int RandomIndex(int r, int n);

// Independent edge collapses: edges recorded in face order so that no two
// share a vertex or a face (only edges with a neighbour face across them),
// each collapsed at its midpoint, second vertex into the first; then the
// face flags are cleared and adjacency and normals rebuilt. Returns the
// number of edges collapsed.
int IndependentEdgeCollapses(CMesh3d* mesh);

// Dialog "Edge-based simplification" (the fields the work uses).
struct CEdgeBasedParams {
  static constexpr const char* kTitle = "Edge-based simplification";
  int Final = 0;              // "Final" (vertices)
  int Curveness = 1;          // "Edge length / Curveness": 0 length, 1 curveness
  int Combination = 1;        // "Combination"
  int OptimizedPosition = 1;  // "Optimized position"
  int CollapseBoundaries = 0; // "Collapse boundaries"
  float SharpEdge = 0.5f;     // "Sharp edge"
  double AlphaInit = 0.1;     // "Alpha init"
  double AlphaStep = 0.1;     // "Alpha step"
  int Update = 1;             // "Update"
  int UpdateFrequency = 100;  // "Frequency (updating)"
  int Save = 0;               // "Save"
  int SaveFrequency = 0;      // "Frequency (intermediate file)"
};

// Edge-based simplification down to params.Final vertices or until no edge
// record is left; ends with adjacency and normals rebuilt. With save, the
// mesh is appended to it as a VRML block every SaveFrequency taken records
// (counting from 0), or only once at the end when the period is 0 or less.
// Returns the number of edges collapsed.
int EdgeBasedSimplification(CMesh3d* mesh, const CEdgeBasedParams& params, CTextOutput* save,
                            const CSimplificationHooks& hooks);

// Pieces of edge-based simplification shared with its reference scan.
// The curveness of edge (a, b): the mean of the two maximum normal sines.
double EdgeCurveness(const CVertex3d* a, const CVertex3d* b);
// Where the collapse of (first, second) puts the first vertex.
CVector3d EdgeCollapsePosition(const CVertex3d* first, const CVertex3d* second,
                               const CEdgeBasedParams& params);
// The curveness bounds of "Combination" by repeated addition: init, then
// init + step ... while at most 1; only init when step is 0 or less; none
// when init is above 1.
std::vector<double> CurvenessLevels(double init, double step);

//////////////////////////////////////////////////////////////////////
// Error accumulation (ErrorAccumulation.cpp)
//////////////////////////////////////////////////////////////////////

// Text the command puts on the clipboard.
constexpr const char* kAccumulatorReport = "Accumulator\tRemoved\r\n";

// Simplification by error accumulation down to final vertices. Returns the
// number of vertices removed, -1 when final is not below the vertex count
// (nothing changed beyond the first rebuild). With visualDebugging the view
// is redrawn after removals.
int ErrorAccumulation(CMesh3d* mesh, int final, int visualDebugging,
                      const CSimplificationHooks& hooks);

// Cost of collapsing removed into kept (shared with the reference scan).
double AccumulationCost(CVertex3d* kept, CVertex3d* removed);
// The kept vertex's accumulated error after a collapse of that cost.
inline float AccumulatedError(float kept, double cost, float removed) {
  return static_cast<float>(kept + (cost + removed));
}

//////////////////////////////////////////////////////////////////////
// Face collapses (FaceCollapse.cpp)
//////////////////////////////////////////////////////////////////////

// Text shown when the target is not below the face count.
constexpr const char* kInvalidComplexityText = "Invalid geometric complexity wanted";

// Collapse record of a face: the corner its three vertices merge into and
// the area change of the surrounding faces (single precision).
struct CFaceCollapseRecord {
  float cost = 0.0f;
  int corner = 0;
};
CFaceCollapseRecord FaceCollapseRecord(CFace3d* face);

// Whether the face can collapse: it and its neighbours are valid, no
// corner is on the boundary, the three opposite vertices are distinct and
// keep 3 or more faces, and the corners' one-rings share no other vertex.
bool IsFaceCollapsible(CFace3d* face);

// Collapses the face: it and its three neighbours go, its corners merge
// into corner `corner`, the outer neighbours of each removed neighbour face
// become neighbours. The removed elements are only vacated from the arrays.
// touched receives the vertices whose links changed (may be null).
void CollapseFace(CMesh3d* mesh, CFace3d* face, int corner, std::vector<CVertex3d*>* touched);

// Face-based simplification down to final faces, valence-3 vertices removed
// after every collapse. Returns the number of faces collapsed, -1 when final
// is not below the face count.
int FaceBasedSimplification(CMesh3d* mesh, int final, const CSimplificationHooks& hooks);

// The multiple face-collapse routine on mesh: an independent set of faces
// found by a depth-first flood from face 0, each collapsed. With
// geomorphSteps >= 0 a copy of mesh is appended to scene and collapsed
// instead (with a view its corners first glide to their targets in that
// many redraws). Returns the mesh collapsed (null when none).
CMesh3d* MultipleFaceCollapse(CSceneGraph3d* scene, CMesh3d* mesh, int visualDebugging,
                              int geomorphSteps, const CSimplificationHooks& hooks);

// The faces the flood selects (in the order it selects them); face flags
// are left as the selection sets them (1 selected, 2 edge neighbours).
std::vector<CFace3d*> SelectIndependentFaces(CMesh3d* mesh, int visualDebugging);

//////////////////////////////////////////////////////////////////////
// Coarse-to-fine truncation (ProgressiveCoarsening.cpp)
//////////////////////////////////////////////////////////////////////

// Face counts of "Coarse progressive mesh..." with levels levels over
// faces faces: floor((levels - i) * faces / levels) for i = 1 ... levels-1.
std::vector<int> CoarseLevelSizes(int levels, int faces);
