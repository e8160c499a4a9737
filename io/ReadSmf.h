#pragma once

#include <string>

class CMesh3d;

// What a plain-format reader skipped: lines it could not parse and faces or
// colors whose vertex index is outside the vertex range.
struct CReadReport {
  int malformedLines = 0;
  int skippedFaces = 0;
  int skippedColors = 0;
  std::string Summary() const;
};

// Reads a ".smf" file into `mesh` (appending vertices and faces). Lines
// start with "v" (x y z), "f" or "t" (three 0-based corner indices) or "c"
// (r g b in 0..1 for the next vertex in order); others are ignored. Faces
// whose indices are out of range are skipped and counted in `report`.
// Returns 0 with `error` set when the file cannot be read.
int ReadSmf(CMesh3d* mesh, const std::string& fileName, CReadReport& report, std::string& error);
