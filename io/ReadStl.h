#pragma once

#include <cstddef>
#include <string>

#include "io/ReadReport.h"

class CMesh3d;

// Reads an ".stl" file into mesh, appending vertices and faces. Binary
// files (80-byte header, triangle count, 50 bytes a triangle) are told
// from ascii ones ("solid ... facet normal ... outer loop vertex x y z ...
// endloop endfacet ... endsolid") by their size: a file of exactly 84 + 50
// * count bytes is binary even when its header starts with "solid". A
// binary count larger than the file holds is cut to the triangles present
// (counted in report). Corners at exactly the same position become one
// vertex, so the mesh has its adjacency; triangles whose corners fall
// together are skipped and counted. The facet normals are not kept (the
// mesh computes its own). A malformed file is refused: 0 with error naming
// the line or byte offset.
int ReadStl(CMesh3d* mesh, const std::string& fileName, CReadReport& report, std::string& error);
int ReadStlFromMemory(CMesh3d* mesh, const unsigned char* data, size_t size, CReadReport& report,
                      std::string& error);
