#pragma once

#include <cstddef>
#include <string>

#include "io/ReadReport.h"

class CMesh3d;

// Reads a ".dem" file: "vertices: n", "faces: m", n pairs of lines
// ("v x y z" and an ignored line), m pairs of lines ("f a b c" with corners
// counted from 1, and "c r g b" the face color as hexadecimal bytes).
// Refusals and skips as for ReadSmm; a color line that does not parse
// leaves the face white and is counted.
int ReadDem(CMesh3d* mesh, const std::string& fileName, CReadReport& report, std::string& error);
int ReadDemFromMemory(CMesh3d* mesh, const char* data, size_t size, CReadReport& report,
                      std::string& error);
