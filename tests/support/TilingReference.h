#pragma once

// The depth-first tile growth written as plain recursion over the mesh's
// own links (vertex face lists, NeighborWithout, element flags), for the
// tests to compare the explicit-stack growth with. Small meshes only: it
// nests as deep as the growth does.

#include <vector>

class CMesh3d;

struct CReferenceTile {
  bool isFace;
  int index; // face index for a face tile, centre vertex index for a vertex tile
  bool operator==(const CReferenceTile& o) const { return isFace == o.isFace && index == o.index; }
};

// The tiles grown from vertex seed, in creation order; leaves the growth
// flags on mesh (every flag cleared first).
std::vector<CReferenceTile> ReferenceTileGrowth(CMesh3d* mesh, int seed);
