#pragma once

#include <memory>

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

class CMesh3d;
class CObject3d;

namespace orvex::python {

// A mesh of the scene as NumPy arrays (copies: changing them changes no
// document). Triangle and quad meshes give faces as M x k rows; polygon
// meshes give one flat corner array and face_offsets (M + 1 starts).
struct ScriptMesh {
  int type = 0;
  pybind11::array_t<double> vertices;      // N x 3
  pybind11::array_t<int32_t> faces;        // M x 3, M x 4, or flat corners
  pybind11::object faceOffsets;            // None, or M + 1 int32 starts
  pybind11::array_t<uint8_t> vertexColors; // N x 3
  pybind11::array_t<uint8_t> faceColors;   // M x 3
};

// The arrays of a triangle, quad or polygon mesh; ValueError for another
// kind of object.
ScriptMesh MeshToArrays(CObject3d& object);

// A triangle mesh's elements made from checked arrays; its adjacency and
// normals are left to CMesh3d::Rebuild.
std::unique_ptr<CMesh3d> MeshFromArrays(const ScriptMesh& mesh);

} // namespace orvex::python
