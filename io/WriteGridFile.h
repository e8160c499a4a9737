#pragma once

#include <string>

class CMesh3d;

// The grid file of File/Export/cpt file: bounding box (single precision),
// "0 0 0", "1.0", "1", the vertex and face counts, the vertices and the
// faces' corner indices, one per line. Written through a temporary file;
// returns 1 on success, else 0 with the message in error. The mesh is only
// read.
int WriteGridFile(const CMesh3d* mesh, const std::string& fileName, std::string& error);
