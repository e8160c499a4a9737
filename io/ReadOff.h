#pragma once

#include <cstddef>
#include <string>

#include "io/ReadReport.h"

class CMesh3d;

// Reads an ".off" file into mesh (appending vertices and faces). The first
// line is the keyword "OFF", optionally prefixed by "ST" (texture point per
// vertex), "C" (color per vertex) and "N" (normal per vertex) in that
// order, and may carry the counts; then the counts "vertices faces edges",
// one vertex per line "x y z [nx ny nz] [r g b [a]] [s t]" and one face per
// line "n i0 ... i(n-1) [r g b [a]]". Colors are 0..255 integers, or 0..1
// when written with a decimal point or an exponent. Text from '#' on is a
// comment. Polygons are split into triangles (counted in report); faces
// with a corner that is not a vertex are skipped and counted. A file that
// does not hold what its counts announce, or a line that does not parse, is
// refused: 0 with error naming the line.
int ReadOff(CMesh3d* mesh, const std::string& fileName, CReadReport& report, std::string& error);
int ReadOffFromMemory(CMesh3d* mesh, const char* data, size_t size, CReadReport& report,
                      std::string& error);
