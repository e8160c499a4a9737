#pragma once

#include <cstddef>
#include <string>

#include "io/ReadReport.h"

class CMesh3d;
class CMeshBuilder;

// Reads a ".ply" file (ascii, binary little- or big-endian) into mesh,
// appending vertices and faces. The "vertex" element gives positions
// (x, y, z) and, when present, colors (red, green, blue: bytes, or reals
// in 0..1); the "face" element's list "vertex_indices" (or "vertex_index")
// gives polygons, fanned into triangles (counted in report), and its red,
// green, blue their colors. Every other element and property is skipped.
// Faces with a corner that is not a vertex are skipped and counted. A
// header announcing more records than the file can hold is refused before
// anything is allocated; a malformed header or body is refused with the
// line (ascii) or byte offset (binary): 0 with error.
int ReadPly(CMesh3d* mesh, const std::string& fileName, CReadReport& report, std::string& error);
int ReadPlyFromMemory(CMesh3d* mesh, const unsigned char* data, size_t size, CReadReport& report,
                      std::string& error);
// The same into a builder (left partly filled when the file is refused),
// for callers that add the geometry themselves.
int ReadPlyToBuilder(CMeshBuilder& builder, const unsigned char* data, size_t size,
                     CReadReport& report, std::string& error);
