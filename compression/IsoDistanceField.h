#pragma once

#include <istream>
#include <string>
#include <vector>

#include "compression/IsoVolume.h"

// A closed triangle mesh as the grid file (File/Export/cpt file) holds it.
struct CGridFileMesh {
  std::vector<double> m_Xyz;    // 3 per vertex
  std::vector<int> m_Triangles; // 3 per face
};

// Reads a grid file: bounding box, "0 0 0", "1.0", "1", vertex and face
// counts, vertices, faces. Every count and index is checked; 0 with a
// message naming what is wrong.
int IsoReadGridFile(std::istream& in, CGridFileMesh& mesh, std::string& error);

// The signed distance to `mesh` on a cube grid of n = 2^D + 1 points over
// its bounding cube padded by two cells: exact within two cells of the
// surface, signed by the angle-weighted pseudo-normal at the closest point
// (negative inside); farther points take the side found by sweeping each
// grid line from the border (outside) and a distance of three cells.
// Signs are 1 below the isovalue. `warnings` gets the "In cpt_valid_grid():"
// report of grid lines whose band signs disagree. 0 with a message on a
// bad size or too little memory.
int IsoDistanceVolume(const CGridFileMesh& mesh, int64_t n, double isovalue, CIsoVolume& volume,
                      std::string& error, std::string& warnings);
