#pragma once

// The program's icon as data: a cube seen corner-on, its three visible
// faces split into shaded triangles under a light from the upper left, on a
// 256-unit square. The window icon, the installed PNG sizes and the SVG are
// all drawn from this one table, so they cannot drift apart.

#include <string>

namespace orvex {

struct CIconTriangle {
  float x[3], y[3];
  unsigned char r, g, b;
};

constexpr float kIconSize = 256.0f;
constexpr float kIconEdgeWidth = 7.0f;
constexpr unsigned char kIconEdge[3] = {18, 28, 70};

// The triangles, back to front.
const CIconTriangle* IconTriangles(int& count);

// The icon as a scalable vector file.
std::string IconSvg();

} // namespace orvex
