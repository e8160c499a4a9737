#pragma once

#include <string>

// The text header of a compressed isosurface ("_header.txt"): depth, grid
// size, vertex count, geometry flag, origin and unit sizes on the first
// line; quantization level counts, component ranges and minima on the second
// (first tangential, second tangential, normal).
struct CIsoHeader {
  int m_Depth = 0;
  int m_N = 0;
  int m_VertexCount = 0;
  int m_Geometry = 0;
  double m_Origin[3] = {0.0, 0.0, 0.0};
  double m_Unit[3] = {1.0, 1.0, 1.0};
  int m_Levels[3] = {0, 0, 0};
  double m_Range[3] = {0.0, 0.0, 0.0};
  double m_Minimum[3] = {0.0, 0.0, 0.0};
};

// The two lines as written.
std::string IsoHeaderText(const CIsoHeader& header);

// Reads and checks the two lines: depth 1..9 with N = 2^D + 1, a vertex
// count within the unit cells, a flag of 0 or 1, positive finite unit sizes,
// and with geometry at least two levels per component and finite
// non-negative ranges. Returns 0 with a message otherwise.
int IsoParseHeader(const std::string& text, CIsoHeader& header, std::string& error);
