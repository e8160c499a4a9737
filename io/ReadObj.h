#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "io/ReadReport.h"

class CMesh3d;
class CMeshBuilder;
class CSceneGraph3d;

// Finds a material library named on an "mtllib" line: its text into text,
// false when there is none by that name.
using ObjLibraryLoader = std::function<bool(const std::string& name, std::string& text)>;

// Reads a Wavefront ".obj" file into mesh (appending vertices and faces).
// Statements, one per line (a line ending in '\' goes on on the next),
// any whitespace between words, "#" to the end of the line a comment:
//   v x y z [w] | v x y z r g b   a vertex (colour as 0..1 reals)
//   vt u [v [w]]                  a texture point
//   vn x y z                      a normal (its indices are checked only)
//   f c c c ...                   a face; each corner is "i", "i/t", "i//n"
//                                 or "i/t/n", indices counted from 1 among
//                                 the elements read so far, or negative,
//                                 counted back from the last one
//   usemtl name                   the faces that follow take the material's
//                                 diffuse colour "Kd" (white when unknown)
//   mtllib file ...               material libraries, found through libraries
//   o, g, s, l, p, vp and the free-form statements are accepted and unused.
// Faces of more than three corners are split as fans (counted in report);
// other statements are counted as malformed lines. An index that names no
// element read so far, a face of fewer than three corners, a number that
// does not parse or a file without faces refuses the file: 0, with error
// "line N: ...", mesh untouched.
int ReadObj(CMesh3d* mesh, const std::string& fileName, CReadReport& report, std::string& error);
int ReadObjFromMemory(CMesh3d* mesh, const char* data, size_t size, CReadReport& report,
                      std::string& error, const ObjLibraryLoader& libraries = nullptr);
// The scene reader of File/Open: a file of triangles gives a triangle mesh
// (as ReadObj), a file with larger faces a polygon mesh that keeps them
// whole (positions and faces only).
int ReadObjScene(CSceneGraph3d* scene, const std::string& fileName, CReadReport& report,
                 std::string& error);
int ReadObjSceneFromMemory(CSceneGraph3d* scene, const char* data, size_t size, CReadReport& report,
                           std::string& error, const ObjLibraryLoader& libraries = nullptr);
// The parser alone: the file's geometry into builder, the mesh untouched.
int ReadObjToBuilder(CMeshBuilder& builder, const char* data, size_t size, CReadReport& report,
                     std::string& error, const ObjLibraryLoader& libraries = nullptr);
