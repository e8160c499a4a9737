#pragma once

class CMesh3d;

// Face-splitting refinements of a triangle mesh. Each works in place,
// appends the new vertices and faces to the mesh's arrays, leaves every face
// flag at 0 and every extra vertex slot (3-5) null, and ends with Rebuild.
// They expect the mesh's adjacency to be current when they start.
//
// New vertices take single-precision coordinates (computed in double, rounded
// to float, stored as double); edge k of a face joins corners k and k+1, and
// new edge vertices are numbered in face order, edges 0, 1, 2 within a face,
// each shared edge once, by the first of its two faces. Faces are split by
// the shared table of FaceSplit.cpp.
//
// Faces that cannot be split (a face failing IsValid in the Loop step, a
// face with a null corner in the other operations) stay whole, and so do
// their edges on the side of their neighbours: a neighbour is then split
// into two or three instead of four, which leaves no T-junction.

// One step of Loop's subdivision scheme: every triangle into four, edge
// vertices by Loop's masks ((3A + 3B + O + Q) / 8 inside, the midpoint on a
// boundary edge), old vertices moved by the vertex masks (the boundary rule
// (6v + b0 + b1) / 8 on boundary vertices, whose flag is left at 1; the
// interior rule (alpha v + sum of the one-ring) / (alpha + n) elsewhere).
// Always returns 1.
int SubdivisionLoop(CMesh3d* mesh);

// One midpoint 1-to-4 split of every face; old vertices keep their place and
// vertex flags are not touched.
void Subdivision1To4(CMesh3d* mesh);

// Splits the faces whose flag equals `selection` into four at edge
// midpoints; neighbours that share a split edge are split into two or three
// (or four) so that no crack arises. Whichever of two faces comes first in
// the face array decides whether their common edge is split.
void SubdivisionAdaptive(CMesh3d* mesh, int selection);

// Fractal 1-to-6 split: the 1-to-4 split whose middle triangle becomes a low
// pyramid with its apex a twelfth of the parent's perimeter above the
// centre, along the face normal.
void SubdivisionFractal(CMesh3d* mesh);

// Loop's centre weight alpha(n) = n (1 - w) / w with
// w = 5/8 - (3 + 2 cos(2 pi / n))^2 / 64, 2 pi taken as the single-precision
// 6.2831855: the old vertex keeps 1 - w, each neighbour gets w / n. Returns 0
// for n <= 0 (a vertex without neighbours stays where it is).
long double LoopAlpha(int n);
