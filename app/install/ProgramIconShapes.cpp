#include "app/install/ProgramIconShapes.h"

#include <cstdio>

namespace orvex {

namespace {

// hexagon corners of the cube's outline and its near corner
constexpr float kCx = 128, kCy = 132;
constexpr float kTopX = 128, kTopY = 14;
constexpr float kRightX = 230, kUpperY = 73, kLowerY = 191;
constexpr float kLeftX = 26;
constexpr float kBottomX = 128, kBottomY = 250;

const CIconTriangle kTriangles[] = {
    // top face, lit most
    {{kCx, kLeftX, kTopX}, {kCy, kUpperY, kTopY}, 200, 218, 255},
    {{kCx, kTopX, kRightX}, {kCy, kTopY, kUpperY}, 176, 198, 250},
    // left face
    {{kCx, kLeftX, kLeftX}, {kCy, kUpperY, kLowerY}, 84, 124, 214},
    {{kCx, kLeftX, kBottomX}, {kCy, kLowerY, kBottomY}, 66, 104, 196},
    // right face, in shadow
    {{kCx, kRightX, kRightX}, {kCy, kUpperY, kLowerY}, 36, 60, 138},
    {{kCx, kRightX, kBottomX}, {kCy, kLowerY, kBottomY}, 28, 48, 116},
};

} // namespace

const CIconTriangle* IconTriangles(int& count) {
  count = static_cast<int>(sizeof kTriangles / sizeof kTriangles[0]);
  return kTriangles;
}

std::string IconSvg() {
  char line[256];
  std::snprintf(line, sizeof line,
                "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%g\" height=\"%g\" "
                "viewBox=\"0 0 %g %g\">\n",
                kIconSize, kIconSize, kIconSize, kIconSize);
  std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + std::string(line);
  svg += "  <title>3d OrvexBox</title>\n";
  int count = 0;
  const CIconTriangle* triangles = IconTriangles(count);
  for (int i = 0; i < count; i++) {
    const CIconTriangle& t = triangles[i];
    std::snprintf(line, sizeof line,
                  "  <polygon points=\"%g,%g %g,%g %g,%g\" fill=\"#%02x%02x%02x\" "
                  "stroke=\"#%02x%02x%02x\" stroke-width=\"%g\" stroke-linejoin=\"round\"/>\n",
                  t.x[0], t.y[0], t.x[1], t.y[1], t.x[2], t.y[2], t.r, t.g, t.b, kIconEdge[0],
                  kIconEdge[1], kIconEdge[2], kIconEdgeWidth);
    svg += line;
  }
  return svg + "</svg>\n";
}

} // namespace orvex
