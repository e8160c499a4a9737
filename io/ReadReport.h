#pragma once

#include <string>

// What a reader skipped without refusing the file: lines it could not
// parse, faces or colors whose index is outside the range of what was read,
// objects without geometry and textures it could not use; and what it
// changed: polygons split into triangles.
struct CReadReport {
  int malformedLines = 0;
  int skippedFaces = 0;
  int skippedColors = 0;
  int skippedObjects = 0;
  int skippedTextures = 0;
  int fannedPolygons = 0;    // polygons of more than three corners split into triangles
  int degenerateFaces = 0;   // triangles whose corners fell on one another, skipped
  int missingRecords = 0;    // records a header announced that the file does not hold
  int skippedPrimitives = 0; // shapes given by dimensions only (Cube, Sphere, Cylinder, Cone)
  // Empty when nothing was skipped; else one sentence listing the counts.
  std::string Summary() const;
};
