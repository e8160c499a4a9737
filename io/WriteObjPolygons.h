#pragma once

// The polygon text form (".obj") of quad and polygon meshes: one "o" group
// per mesh, its "v" lines with round-trip digits (9 for the single-precision
// quad vertices, 17 for the double-precision polygon vertices), then one
// "f" line per face. A scene writer of ".obj" calls these for each mesh in
// scene order, carrying the number of vertices written so far.

#include <string>

class CPolygonMesh;
class CQuadMesh;
class CSceneGraph3d;
class CTextOutput;

// Appends the group of one mesh; vertexBase is the number of vertices the
// file holds before it (face indices start after them) and grows by the
// mesh's vertex count.
void WriteObjPolygonMesh(CTextOutput& out, const CPolygonMesh& mesh, const std::string& name,
                         int& vertexBase);
void WriteObjQuadMesh(CTextOutput& out, const CQuadMesh& mesh, const std::string& name,
                      int& vertexBase);

// Saves every quad mesh of the scene (a file whose name ends in "quad");
// refuses a scene holding another kind of mesh, or no quad mesh.
int WriteQuadFile(const CSceneGraph3d* scene, const std::string& fileName, std::string& error);
// Saves one quad mesh.
int WriteQuadMeshFile(const CQuadMesh& mesh, const std::string& fileName, std::string& error);
