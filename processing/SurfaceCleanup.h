#pragma once

// Clean-up and regularisation of triangle meshes: hole filling, spring
// relaxation, compacity-improving edge swaps, compacity measures and vertex
// packing.

#include <functional>

class CMesh3d;

// Joins every boundary edge to one new vertex at the mean position (summed
// in single precision) of all boundary vertices: each face edge (P_l,
// P_l+1) without a neighbour gets the face (P_l, new vertex, P_l+1), which
// keeps the orientation. Every hole meets the same vertex. Clears the vertex
// flags; a closed mesh is left as it is. The caller runs Rebuild.
void FillHole(CMesh3d* mesh);

// Improvement a swap must bring to the mean compacity of its two faces, so
// that rounding cannot swap an edge back and forth.
constexpr double kCompacityGain = 1e-12;

// One pass of edge swaps over the faces in array order: face F swaps its
// edge with neighbour G when the two new faces are more compact on average
// (by kCompacityGain) and the swap is sound: both faces valid and
// consistently oriented across a manifold edge, the new edge not already
// there, the new faces not degenerate and facing the side of the old pair,
// and both ends of the old edge keeping at least 3 faces. A face swaps at
// most once per pass. Adjacency and the two face normals are updated in
// place. Returns the number of edges swapped; marks the mesh modified when
// one was.
int SwapForCompacity(CMesh3d* mesh);

// Mean (smallest) compacity of the faces; 0 for a mesh without faces.
double MeanCompacity(const CMesh3d* mesh);
double MinCompacity(const CMesh3d* mesh);

// Degrees to radians, as the spring relaxation takes its angle.
constexpr double kSpringDegree = 0.0174532925;

// Spring relaxation: a vertex on the boundary or whose largest angle
// between neighbouring incident faces exceeds angle (degrees) is fixed
// (flag 0), the others free (flag 1). Each iteration moves every free
// vertex, in array order and from the positions already moved, by
// a * sum over neighbours of (neighbour - vertex), a starting at 0.1; from
// the eleventh iteration on, a shrinks by 0.8 when the spring energy (sum
// of squared neighbour distances over the free vertices, in single
// precision) did not drop. afterIteration, when given, runs after each.
void SpringRelax(CMesh3d* mesh, double angle, int iterations,
                 const std::function<void(int iteration)>& afterIteration = nullptr);

// Merges every vertex of the block of f consecutive vertices that starts
// at each representative (indices 0, f, 2f, ...) into the representative
// nearest to it (smallest squared distance, the lowest index among equals),
// found by a spatial search: face corners are redirected, the vertex is
// deleted, the array keeps the representatives in order. Degenerate faces
// stay. f < 2 does nothing. Returns 1. The caller runs Rebuild.
int PackVertices(CMesh3d* mesh, int f);
