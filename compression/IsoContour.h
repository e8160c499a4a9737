#pragma once

#include <cstdint>
#include <vector>

#include "compression/IsoVolume.h"

// A surface made by dual contouring, in grid coordinates: one vertex per
// lattice cell with a sign change, in octree order (depth first, children
// in the order x, then z, then y bit), and one quad per sign-changing
// lattice edge, facing outside (from sign 1 towards sign 0).
struct CIsoSurface {
  std::vector<double> m_Xyz;   // 3 per vertex
  std::vector<int64_t> m_Cell; // lattice point index of each vertex's minimum corner
  std::vector<int> m_Quads;    // 4 vertex indices per quad
  int VertexCount() const { return static_cast<int>(m_Cell.size()); }
  int QuadCount() const { return static_cast<int>(m_Quads.size() / 4); }
};

// Octree-order key of the cell at lattice coordinates (cx, cy, cz) on a
// lattice of 2^levels cells a side.
uint64_t IsoTreeKey(int64_t cx, int64_t cy, int64_t cz, int levels);

// Dual contouring of `signs` on the lattice of step `step` (a power of two
// dividing N - 1). Vertices sit at cell centres, or, with potentials (a
// volume whose potential array is filled), at the mean of the cell's edge
// crossings found by linear interpolation. Every lattice point must carry
// its sign.
void IsoContour(const CBitGrid& signs, int64_t step, CIsoSurface& out,
                const CIsoVolume* potentials = nullptr);

// Corner signs of the cell with minimum corner (x, y, z) and size s as an
// 8-bit number, corners in the order (x0,y0,z0), (x1,y0,z0), (x0,y0,z1),
// (x1,y0,z1), (x0,y1,z0), (x1,y1,z0), (x0,y1,z1), (x1,y1,z1), the first at
// the most significant bit.
int IsoCornerByte(const CBitGrid& signs, int64_t x, int64_t y, int64_t z, int64_t s);
