#pragma once

// Wavefronts on a triangle mesh: rings of vertices at growing topological
// distance from a seed face (the layer of a vertex is its tag A, the ring
// that brought a face in is its tag), and the passes that coarsen or remesh
// the mesh ring by ring.

#include <functional>
#include <vector>

class CMesh3d;
class CVertex3d;

// Layer of the vertices no wavefront reached, and of remeshing midpoints.
constexpr int kNoLayer = -1;
// Flag the merges give to the vertices and faces they remove.
constexpr int kMergedFlag = 2;

// The vertices of each ring that still have faces, in vertex-array order.
using CRingLists = std::vector<std::vector<CVertex3d*>>;

// Builds the rings from seed face seedFace: every vertex gets its
// breadth-first distance from the seed face's corners as layer (kNoLayer
// when unreached), every reached face the ring of the vertex that visited it
// plus one (the seed face 0), vertex and face flags 1 on what was reached;
// every face keeps its normal (current after Rebuild) in its auxiliary
// vector, the facing the unmeshing passes hold it to.
// Returns the number of rings, 0 when seedFace names no face of the mesh.
int BuildWavefront(CMesh3d* mesh, int seedFace);

// The rings of the layers the vertices carry, in one pass over the array.
CRingLists RingLists(const CMesh3d* mesh);

// Colours every reached face by its ring through the flag palette.
void ColorFacesByRing(CMesh3d* mesh);

// How a pass shows its progress: with debug on, redraw runs every period
// merges.
struct CUnmeshProgress {
  int debug = 0;
  int period = 1;
  std::function<void()> redraw;
};

// Whether gone may merge into keep without changing the topology or
// turning a face over; measure is then the smallest compacity of the faces
// that gone's merge moves (higher is better).
bool TrialMerge(CVertex3d* keep, CVertex3d* gone, double& measure);

// Unmeshing across the rings firstRing, firstRing + step, ...: each vertex
// merges into its best neighbour of an adjacent ring; one without a target
// turns red. Ends with the clean-up (FinishUnmesh). Returns the merges.
int UnmeshAcross(CMesh3d* mesh, int firstRing, int step, int smoothGeomorph,
                 const CUnmeshProgress& progress);

// Unmeshing along the rings firstRing, firstRing + step, ...: in each ring
// floor(ratio x its vertex count) picks of a low-valence vertex with a short
// edge in its ring, merged along the ring; stops at the first ring without a
// pick. Ends with the clean-up. Returns the merges.
int UnmeshAlong(CMesh3d* mesh, int firstRing, int step, double ratio, int smoothGeomorph,
                const CUnmeshProgress& progress);

// Unless smoothGeomorph is set, deletes what the merges flagged and the
// degenerate faces; then rebuilds the mesh.
void FinishUnmesh(CMesh3d* mesh, int smoothGeomorph);

// Elements a remeshing pass adds: vertices (an upper bound) and faces.
struct CRemeshGrowth {
  double vertices = 0.0;
  double faces = 0.0;
};
CRemeshGrowth RemeshAlongGrowth(const CMesh3d* mesh);
CRemeshGrowth RemeshAcrossGrowth(const CMesh3d* mesh);

// Remeshing along the rings: two vertices at the thirds of every edge whose
// ends share a ring (they join it); a face with one such edge becomes a fan
// of three from its third corner, a face with three becomes three corner
// ears and its inner hexagon fanned from the first point. Rebuilds the mesh
// and returns the vertices added.
int RemeshAlong(CMesh3d* mesh);

// Remeshing across the rings: a midpoint (layer kNoLayer) on every edge
// whose ends lie in different rings, the faces split by the subdivision
// split table. Rebuilds the mesh and returns the vertices added.
int RemeshAcross(CMesh3d* mesh);
