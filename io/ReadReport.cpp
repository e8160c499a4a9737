#include "io/ReadReport.h"

std::string CReadReport::Summary() const {
  std::string s;
  auto add = [&s](int n, const char* what) {
    if (n == 0) return;
    if (!s.empty()) s += ", ";
    s += std::to_string(n) + " " + what;
  };
  add(malformedLines, "malformed lines skipped");
  add(skippedFaces, "faces with an index out of range skipped");
  add(skippedColors, "colors without a vertex skipped");
  add(skippedObjects, "objects without faces skipped");
  add(skippedTextures, "textures or texture coordinates not used");
  add(fannedPolygons, "polygons split into triangles");
  add(degenerateFaces, "triangles with coincident corners skipped");
  add(missingRecords, "announced records missing from the file");
  add(skippedPrimitives, "Cube, Sphere, Cylinder or Cone shapes not meshed");
  return s;
}
