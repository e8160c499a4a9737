#pragma once

#include <string>

class CSceneGraph3d;

// The scene's first triangle mesh as a binary ".stl" file: an 80-byte
// header, the triangle count, then per triangle its unit normal (zero for
// a degenerate one), its corners and two zero bytes, all little-endian.
// Written through a temporary file that replaces fileName only when
// complete; 1 on success, else 0 with error.
int WriteStl(const CSceneGraph3d* scene, const std::string& fileName, std::string& error);
