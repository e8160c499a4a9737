#pragma once

#include <cstddef>
#include <string>

#include "io/ReadReport.h"

class CMesh3d;

// Reads a ".smf" file into `mesh` (appending vertices and faces). Lines
// start with "v" (x y z), "f" or "t" (three 0-based corner indices) or "c"
// (r g b in 0..1 for the next vertex in order); others are ignored. Faces
// whose indices are out of range and lines that do not parse are skipped and
// counted in `report`. Returns 0 with `error` set when the file cannot be
// read.
int ReadSmf(CMesh3d* mesh, const std::string& fileName, CReadReport& report, std::string& error);
int ReadSmfFromMemory(CMesh3d* mesh, const char* data, size_t size, CReadReport& report,
                      std::string& error);
