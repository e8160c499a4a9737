#pragma once

#include <cstddef>
#include <string>

#include "io/ReadReport.h"

class CMesh3d;

// Reads a ".mhp" file: "vertices: n", "faces: m", n lines "Vertex i a b c"
// giving the position (a, c, -b), m lines "Face i a b c" with corners
// counted from 1 (the numbers i are ignored). Refusals and skips as for
// ReadSmm.
int ReadMhp(CMesh3d* mesh, const std::string& fileName, CReadReport& report, std::string& error);
int ReadMhpFromMemory(CMesh3d* mesh, const char* data, size_t size, CReadReport& report,
                      std::string& error);
