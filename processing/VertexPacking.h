#pragma once

// The nearest-representative search of PackVertices (SurfaceCleanup.h),
// exposed so that the spatial search can be checked against the plain scan.

#include <vector>

// Representatives of vertex packing with frequency f: the points at indices
// 0, f, 2f, ... of xyz (3 coordinates per point). For every point, the
// index of the representative nearest to it: the smallest squared distance
// (dx*dx + dy*dy + dz*dz), the lowest index among equals; a point with no
// finite distance to any representative keeps the representative of its
// own block. Representatives map to themselves.
std::vector<int> NearestRepresentatives(const std::vector<double>& xyz, int f);

// The same by scanning every representative for every point (quadratic):
// the reference of the spatial search, used when coordinates are too large
// for squared distances to stay finite.
std::vector<int> NearestRepresentativesByScan(const std::vector<double>& xyz, int f);
