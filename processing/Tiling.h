#pragma once

// Tiling of a triangle mesh into vertex and face tiles grown greedily from a
// seed vertex, the polygons of tiles that meet around a vertex, the coarser
// mesh they make, and the relaxation of the face tiles' positions.

#include <functional>
#include <vector>

#include "geometry/TilingMesh3d.h"

// Grows the tiles of tiling (which holds a rebuilt copy of source) from
// its vertex seed, links them, colours source's faces by vertex tile, finds
// the polygons and, with split, splits those of more than three tiles into
// triangles. A seed outside the copy's vertices grows no tile. Returns the
// number of polygons. The vertex flags of the copy end as 1 at tile
// centres, 2 on tile borders, 0 elsewhere; face flags 1 where covered.
int Tile(CTilingMesh3d* tiling, int seed, int split, CMesh3d* source);

// A new triangle mesh (the caller owns it): one vertex per tile, in tile
// order, at the tile's position; a triangle per three-tile polygon and the
// triangles of the best fan of a larger polygon; the tiling's transform.
CMesh3d* GenerateMesh(const CTilingMesh3d* tiling);

// Relaxes the face tiles towards the mean of their neighbours (vertex tiles
// stay) for the given iterations, calling repaint (when given) after each,
// then puts each face tile on the closest point of its face.
void OptimizeNodes(CTilingMesh3d* tiling, int iterations, const std::function<void()>& repaint);

// Splits every polygon of more than three tiles into the triangles of its
// best fan, appended after the others, and links their corners.
void SplitTilePolygons(CTilingMesh3d* tiling);

// The fan of corners (n >= 3) whose triangles have the largest summed
// compacity: fan j has triangles (t_j, t_(j+k+1), t_(j+k+2)), k = 0 .. n-3,
// indices modulo n; the first fan wins a tie.
int BestFan(const std::vector<CTile3d*>& corners);

// Corner indices of triangle k of fan j over n corners.
inline void FanTriangle(int n, int j, int k, int out[3]) {
  out[0] = j;
  out[1] = (j + k + 1) % n;
  out[2] = (j + k + 2) % n;
}
