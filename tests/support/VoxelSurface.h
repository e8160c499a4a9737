#pragma once

#include <vector>

namespace testmeshes {

// The outward-oriented boundary of a set of unit cubes, as flat arrays:
// x, y, z per vertex and four corners per quad (lattice points shared).
struct VoxelSurface {
  std::vector<float> xyz;
  std::vector<int> quads;
  // the same surface with each quad split into two triangles
  std::vector<int> Triangles() const;
};

// A slab of (2 * holes + 1) x 3 blocks of s^3 cubes each (one block thick)
// with `holes` square tunnels through it: a closed surface of genus
// `holes`.
VoxelSurface MakeSlabWithTunnels(int holes, int s);

} // namespace testmeshes
