#pragma once

#include <string>

class CMesh3d;
class CSceneGraph3d;

// The binary scene (little-endian, no padding): int32 count of all objects,
// then one record per triangle mesh: translation, rotation axis, angle in
// degrees, scale (float32 each), uint32 vertex and face counts, the
// vertices (3 x float32) and the faces (3 x int32 corner indices, -1 for a
// corner that is not a vertex of the mesh). Written through a temporary
// file; a scene without any triangle mesh writes no file ("This scene does
// not contain meshes"). Returns 1 on success, else 0 with the message.
int WriteBinary(const CSceneGraph3d* scene, const std::string& fileName, std::string& error);

// Appends the record of one mesh to bytes. The mesh is only read.
void WriteBinary(const CMesh3d* mesh, std::string& bytes);

// The binary mesh (".bin"): the record of the scene's first triangle mesh
// alone, as above. A scene without a mesh writes no file.
int WriteBinaryMesh(const CSceneGraph3d* scene, const std::string& fileName, std::string& error);
