#pragma once

#include <string>

class CMesh3d;
class CSceneGraph3d;
class CTextOutput;

// The VRML 2.0 scene: header, then one "DEF Mesh-ROOT Transform" block per
// triangle mesh in scene order, written through a temporary file that
// replaces fileName only when everything was written. A scene without any
// triangle mesh writes no file: "This scene does not contain meshes".
// Returns 1 on success, else 0 with the message in error.
int WriteVRML(const CSceneGraph3d* scene, const std::string& fileName, std::string& error);

// Header of a scene file, and of the intermediate file that the volume-based
// approximation appends meshes to.
void WriteVrmlHeader(CTextOutput& out);
void WriteVrmlIntermediateHeader(CTextOutput& out);

// The VRML block of one mesh: transform, material with the mesh's diffuse
// color, the texture url when textureName is given and the mesh has
// texture coordinates for every face, vertices, vertex colors when any
// vertex is not white, and triangles. Every list is closed, so an empty
// mesh still gives valid VRML. Corners are numbered by their place in the
// vertex array; the mesh is only read.
void WriteVRML(const CMesh3d* mesh, CTextOutput& out, const std::string* textureName = nullptr);
