#pragma once

#include <cstddef>
#include <string>

#include "io/ReadReport.h"

class CMesh3d;

// Reads an Inventor 2.1 ascii file into one mesh. The first line must be
// "#Inventor V2.1 ascii" (a carriage return or blanks after it are
// allowed). Every IndexedFaceSet of the Separator tree adds its faces over
// the Coordinate3 points in effect (a Separator restores the points of its
// parent when it ends), placed by the transform nodes (Transform,
// Translation, Rotation, RotationXYZ, Scale, MatrixTransform) met before it
// in its Separator scope; faces of more than three corners are split as a
// fan; indices are read as "%i" does (a leading 0 means octal). Other nodes
// are skipped; "#" comments and CRLF line ends are allowed.
//
// A wrong header, a syntax error, a truncated body or a file without any
// face refuses the file: 0, error "line N: ...", mesh untouched. Faces with
// an index outside their point list are skipped and counted in report. On
// success the mesh is rebuilt (adjacency and normals).
int ReadInventor(CMesh3d* mesh, const std::string& fileName, CReadReport& report,
                 std::string& error);
int ReadInventorFromMemory(CMesh3d* mesh, const char* data, size_t size, CReadReport& report,
                           std::string& error);
