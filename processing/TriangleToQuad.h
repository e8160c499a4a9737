#pragma once

// "Triangle -> quad": quads from the face flags earlier commands left on a
// triangle mesh.

class CMesh3d;
class CQuadMesh;

// A new quad mesh made of the old vertices, then a centre for every face
// split alone, then the midpoints of every edge (shared across it):
// - a face of flag k >= 2 pairs with its first unpaired neighbour of flag k;
//   the pair's quadrilateral gives four quads, each made of one of its
//   corners, the midpoints of the two outer edges there and the midpoint of
//   the common edge;
// - a face of flag 1, or of flag k >= 2 left unpaired, gives the three quads
//   (P0, S0, M, S2), (P1, S1, M, S0), (P2, S2, M, S1) around its centre M;
// - a face of flag 0 gives no quad.
// Null when no face has a flag other than 0 (nothing to convert).
CQuadMesh* ToQuadMesh(const CMesh3d& mesh);
