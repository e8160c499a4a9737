#pragma once

// Reference versions of the simplification loops, written the plain way:
// candidate lists in arrays, the next candidate found by scanning the whole
// list, removal by shifting, the whole-mesh valence-3 pass after every
// face collapse. They are quadratic and serve only to check, on small
// meshes, that the heap-driven routines pick the same elements in the same
// order (tests only).

#include <vector>

#include "processing/Simplification.h"

class CMesh3d;
class CVertex3d;

namespace simplificationreference {

int EdgeBased(CMesh3d* mesh, const CEdgeBasedParams& params);
// The cost of error accumulation as first described: the moved faces'
// corners replaced, areas summed, every pair's NormalAngle compared with
// 1.570796326795, the corners put back.
double AccumulationCost(CVertex3d* kept, CVertex3d* removed);
int ErrorAccumulation(CMesh3d* mesh, int final);
int FaceBased(CMesh3d* mesh, int final);

// Positions and corners (as vertex places) in array order: two meshes with
// equal digests are the same mesh.
struct CMeshDigest {
  std::vector<double> positions;
  std::vector<int> corners;
  bool operator==(const CMeshDigest& o) const {
    return positions == o.positions && corners == o.corners;
  }
};
CMeshDigest Digest(const CMesh3d& mesh);

// An icosphere of the given level whose vertices are pushed along the
// radius by up to `amplitude`, drawn from the 15-bit generator with seed.
CMesh3d* MakeNoisySphere(int level, double amplitude, unsigned seed);
// The grid with holes, lifted by noise of up to `amplitude` in z.
CMesh3d* MakeNoisyGridWithHoles(int nx, int ny, int holes, double amplitude, unsigned seed);

} // namespace simplificationreference
