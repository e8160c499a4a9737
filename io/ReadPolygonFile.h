#pragma once

// The text form of polygon and quad meshes: "v x y z" vertex lines and
// "f" face lines whose corners are vertex indices counted from 1 among the
// vertices read so far (negative: counted back from the last one), each
// optionally followed by "/texture", "/texture/normal" or "//normal"
// (ignored). Any whitespace, lines of any length; every other line
// (comments, "o", "g", "s", "usemtl", "mtllib", "vt", "vn", ...) is skipped.
// Faces naming a vertex not read so far, or with fewer than three corners,
// are skipped and counted.

#include <string>
#include <vector>

#include "io/ReadReport.h"

class CPolygonMesh;
class CQuadMesh;
class CSceneGraph3d;

// What the text holds, as flat arrays (see MakePolygonMesh).
struct CPolygonArrays {
  std::vector<float> xyz;
  std::vector<int> sizes;
  std::vector<int> corners;
};

// Reads the text into arrays; 0 with an error when it holds no face.
int ReadPolygonArrays(const char* data, size_t size, CPolygonArrays& arrays, CReadReport& report,
                      std::string& error);

// A polygon mesh from a file (from memory); 0 with an error when the file
// cannot be read or holds no face.
int ReadPolygonFile(CPolygonMesh* mesh, const std::string& fileName, CReadReport& report,
                    std::string& error);
int ReadPolygonFromMemory(CPolygonMesh* mesh, const char* data, size_t size, CReadReport& report,
                          std::string& error);

// A quad mesh from the same text: faces of other than four corners are
// skipped and counted; 0 with an error when the file holds no quad.
int ReadQuadFromMemory(CQuadMesh* mesh, const char* data, size_t size, CReadReport& report,
                       std::string& error);
// The quad mesh of a file, appended to the scene when read.
int ReadQuadScene(CSceneGraph3d* scene, const std::string& fileName, CReadReport& report,
                  std::string& error);
