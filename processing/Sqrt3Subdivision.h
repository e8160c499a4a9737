#pragma once

// sqrt(3) subdivision (Kobbelt, "sqrt(3)-Subdivision", SIGGRAPH 2000): every
// selected triangle is split at its centre into three, old vertices are
// smoothed, and the old edges are flipped so that the new centre vertices
// join each other. Two steps give a 1-to-9 refinement.
//
// The steps work in place: faces, vertex one-rings and incident-face lists
// are updated as the mesh changes, and every change leaves an undo record on
// the element (History3d.h), so that UndoSqrt3Level and UndoSqrt3All bring
// the mesh back. They expect the mesh's adjacency to be current; the caller
// runs Rebuild afterwards. Faces with a null corner are left alone; a flip
// is skipped on a boundary, across a non-manifold or inconsistently
// oriented edge, and when the new edge already exists.

#include <functional>
#include <vector>

class CMesh3d;
class CVertex3d;

// Called to show the mesh while a step works (the view's redraw).
using Sqrt3Redraw = std::function<void()>;

// Centre weight W(n) of the smoothing rule for old valence n = 3 ... 10:
// n (1 - a) / a with a = (4 - 2 cos(2 pi / n)) / 9, in single precision,
// except W(3) = 1.5. Returns 0 outside 3 ... 10.
float Sqrt3Weight(int n);

// The single-precision weights of "Fixed alpha".
constexpr float kSqrt3FixedTwoNinths = 0.22222222f;
constexpr float kSqrt3FixedOneThird = 0.33333334f;

// Face flags of a step: selected before it, split in it, flipped in it.
enum Sqrt3FaceFlag { kSqrt3Selected = 1, kSqrt3Split = 2, kSqrt3Flipped = 3 };

struct CSqrt3Options {
  bool flip = true;
  bool smooth = true;
  // Only faces whose flag is 1 are split (else every face is).
  bool adaptive = false;
  // W(n) replaced by `weight` for every n.
  bool fixedWeight = false;
  float weight = 0.0f;
  Sqrt3Redraw redraw;
  // Piecewise step: per face index before the step, bit k set when edge k
  // is sharp (never flipped; its ends are not smoothed) and bit k + 3 when
  // that sharp edge is split at its midpoint after the flip pass.
  const std::vector<unsigned char>* sharpEdges = nullptr;
  // When given, set to whether the step kept the links exactly as
  // BuildAdjacency would make them (as sets): true when the mesh's links
  // were mutual and every face had three distinct corners.
  bool* linksKept = nullptr;
};

// One sqrt(3) step. Returns the number of faces split.
int SubdivisionSqrt3(CMesh3d* mesh, const CSqrt3Options& options);

// The step with the argument list of the menu commands.
int SubdivisionSqrt3(CMesh3d* mesh, int flip, int smooth, int adaptive, const Sqrt3Redraw& redraw,
                     int fixedWeight, float weight);

// What Rebuild does after a step, without its adjacency pass when the step
// kept the links in place (linksKept, CSqrt3Options): face and vertex
// normals and the modified mark. Otherwise (non-manifold or degenerate
// input) the mesh is rebuilt in full.
void FinishSqrt3Step(CMesh3d* mesh, bool linksKept);

// Sharp-edge preserving step: faces whose corners bend by more than `flat`
// degrees are split; an old edge is sharp when the bend of both its ends and
// the angle between its two faces exceed `sharp` degrees; sharp edges are not
// flipped, their end vertices keep their position, and with splitSharpEdges
// a sharp edge whose two ends have SharpCount 2 is split at its midpoint.
// Returns the number of faces split.
int SubdivisionSqrt3Piecewise(CMesh3d* mesh, double sharp, double flat, const Sqrt3Redraw& redraw,
                              int splitSharpEdges, bool* linksKept = nullptr);

// Gives `value` to every face whose area exceeds x times the smallest area
// among itself and its neighbours; a face whose smallest area is 0 is never
// flagged. Returns how many.
int FlagLargeFaces(CMesh3d* mesh, double x, int value);

// Flags (with `value`) the faces whose centroid lies closer to vertex `seed`
// than r times the largest distance from it to a first corner; the others
// get 0. Returns the number flagged, or -1 (changing nothing) when `seed` is
// not a vertex index.
int FlagNearSeed(CMesh3d* mesh, int seed, int value, double r);

// One level of undo: every face and vertex pops one record, then the faces
// the level created are removed. Returns the number of faces that popped.
int UndoSqrt3Level(CMesh3d* mesh);

// Undoes every recorded step (until no element holds a record) and removes
// the faces and vertices they created. The links are left empty: the caller
// rebuilds. afterLevel, when given, runs after each level (its dead faces
// removed) so that the levels can be shown. Returns the number of levels.
int UndoSqrt3All(CMesh3d* mesh, const std::function<void(int level)>& afterLevel = nullptr);

// Whether any face or vertex of the mesh holds an undo record.
bool HasSqrt3History(const CMesh3d* mesh);
