#pragma once

#include <string>

class CSceneGraph3d;

// Every triangle mesh of the scene as a Wavefront ".obj" file: per mesh an
// "o name" group, its vertices "v x y z" (positions as stored, without the
// mesh's transform, with 9 significant digits; "v x y z r g b" when a
// vertex is coloured) and its triangles "f a b c" counted from 1 across
// the file. Written through a temporary file that replaces fileName only
// when complete; 1 on success, else 0 with error.
int WriteObj(const CSceneGraph3d* scene, const std::string& fileName, std::string& error);
