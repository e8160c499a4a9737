#pragma once

#include <string>

class CSceneGraph3d;

// The scene's first triangle mesh as an ".off" file: "OFF", the counts,
// positions with 9 significant digits, triangles "3 a b c". Written through
// a temporary file that replaces fileName only when complete; 1 on
// success, else 0 with error.
int WriteOff(const CSceneGraph3d* scene, const std::string& fileName, std::string& error);
