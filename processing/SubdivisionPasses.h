#pragma once

// Passes shared by the subdivision operations of LoopSubdivision.h: the
// guard that keeps the edges of faces that cannot be split whole, the
// uniform edge pass, the face-split table and the creation of new vertices.

#include <unordered_set>

class CMesh3d;
class CFace3d;
class CVertex3d;

// Face flag of a face that takes no part in a uniform split (the processed
// flag is 1, the untouched flag 0).
constexpr int kFaceLeftWhole = -1;

// Faces that a uniform split leaves whole, known through their corners.
class CWholeFaces {
public:
  // Gives flag kFaceLeftWhole to every face failing takesPart and 0 to the
  // others, and clears every face's extra slots.
  void Mark(CMesh3d* mesh, int (*takesPart)(const CFace3d*));
  // True when a face left whole holds the edge (a, b): such an edge stays
  // whole on every side.
  bool HoldsEdge(const CVertex3d* a, const CVertex3d* b) const;

private:
  std::unordered_set<const CVertex3d*> m_Corners;
};

// Edge rules of the uniform edge pass.
enum class EdgeRule {
  LoopMasks, // Loop's interior mask, midpoints and boundary flags on boundary edges
  Midpoints  // midpoints everywhere, vertex flags untouched
};

// Edge pass of the Loop step, the 1-to-4 split and the fractal split: fills
// the extra slots of every face that takes part, creating each shared edge
// vertex once, and flags those faces 1. Returns the number of slots filled.
int UniformEdgePass(CMesh3d* mesh, EdgeRule rule, const CWholeFaces& whole);

// Takes-part test of the splits other than the Loop step: no null corner.
int FaceHasThreeCorners(const CFace3d* f);

// Index j of g's edge (v(j), v(j+1)) joining a and b in either direction, or
// -1 when g has no such edge.
int CommonEdge(const CFace3d* g, const CVertex3d* a, const CVertex3d* b);

// Appends a vertex at (x, y, z) rounded to single precision.
CVertex3d* AppendVertex(CMesh3d* mesh, double x, double y, double z);
CVertex3d* AppendMidpoint(CMesh3d* mesh, const CVertex3d* a, const CVertex3d* b);

// Splits face f by the shared table according to its filled extra slots,
// appending the new faces, then clears its flag and its slots.
void SplitFace(CMesh3d* mesh, CFace3d* f);

// Face pass: SplitFace on the first nbFace faces; `filled` (the number of
// filled slots, which is the number of faces appended) sizes the array once.
void SplitFaces(CMesh3d* mesh, int nbFace, int filled);
