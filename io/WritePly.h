#pragma once

#include <string>

class CSceneGraph3d;

// The scene's first triangle mesh as a binary little-endian ".ply" file:
// vertices "float x y z" (with "uchar red green blue" when any vertex is not
// white), faces "list uchar int vertex_indices". Written through a
// temporary file that replaces fileName only when complete; 1 on success,
// else 0 with error.
int WritePly(const CSceneGraph3d* scene, const std::string& fileName, std::string& error);
