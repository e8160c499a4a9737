// Meshes of a document as NumPy arrays, and triangle meshes built from
// arrays a script gives, every shape, dtype, value and index checked
// before anything is built.
#include "python/MeshArrays.h"

#include <cfloat>
#include <climits>
#include <cmath>
#include <string>

#include "geometry/Mesh3d.h"
#include "geometry/PolygonMesh.h"
#include "geometry/QuadMesh.h"
#include "geometry/VertexIndexMap.h"
#include "io/AppendElements.h"
#include "python/Bindings.h"

namespace py = pybind11;

namespace orvex::python {
namespace {

template <typename T> py::array_t<T> Rows(size_t rows, size_t columns) {
  return py::array_t<T>({static_cast<py::ssize_t>(rows), static_cast<py::ssize_t>(columns)});
}

void PutColor(uint8_t* out, const CColor& color) {
  out[0] = color.r;
  out[1] = color.g;
  out[2] = color.b;
}

// The positions (float64 N x 3) and colours (uint8 N x 3) of nv vertices,
// vertex(i) giving the i-th and colorOf its colour.
template <class VertexAt, class ColorOf>
void PutVertices(ScriptMesh& out, size_t nv, VertexAt vertex, ColorOf colorOf) {
  out.vertices = Rows<double>(nv, 3);
  out.vertexColors = Rows<uint8_t>(nv, 3);
  double* xyz = out.vertices.mutable_data();
  uint8_t* rgb = out.vertexColors.mutable_data();
  for (size_t i = 0; i < nv; i++) {
    const auto* v = vertex(i);
    xyz[3 * i] = v->x;
    xyz[3 * i + 1] = v->y;
    xyz[3 * i + 2] = v->z;
    PutColor(rgb + 3 * i, colorOf(v));
  }
}

ScriptMesh TriangleArrays(const CMesh3d& mesh) {
  ScriptMesh out;
  out.type = TYPE_MESH3D;
  const size_t nv = size_t(mesh.NbVertex()), nf = size_t(mesh.NbFace());
  PutVertices(
      out, nv, [&](size_t i) { return mesh.GetVertex(int(i)); },
      [](const CVertex3d* v) { return v->m_Color; });
  out.faces = Rows<int32_t>(nf, 3);
  out.faceColors = Rows<uint8_t>(nf, 3);
  int32_t* corners = out.faces.mutable_data();
  uint8_t* fc = out.faceColors.mutable_data();
  const CVertexIndexMap index(mesh.m_ArrayVertex);
  for (size_t f = 0; f < nf; f++) {
    const CFace3d* face = mesh.GetFace(int(f));
    for (int k = 0; k < 3; k++) corners[3 * f + size_t(k)] = index.IndexOf(face->v(k));
    PutColor(fc + 3 * f, face->m_Color);
  }
  out.faceOffsets = py::none();
  return out;
}

// Quads have no colour of their own: each face shows the mesh colour.
ScriptMesh QuadArrays(const CQuadMesh& mesh) {
  ScriptMesh out;
  out.type = TYPE_QUAD_MESH;
  const size_t nv = size_t(mesh.NbVertex()), nf = size_t(mesh.NbFace());
  PutVertices(
      out, nv, [&](size_t i) { return &mesh.m_Vertices[i]; },
      [](const CQuadVertex* v) { return v->m_Color; });
  out.faces = Rows<int32_t>(nf, 4);
  out.faceColors = Rows<uint8_t>(nf, 3);
  for (size_t f = 0; f < nf; f++) {
    for (int k = 0; k < 4; k++) out.faces.mutable_data()[4 * f + size_t(k)] = mesh.m_Faces[f].v[k];
    PutColor(out.faceColors.mutable_data() + 3 * f, mesh.m_Color);
  }
  out.faceOffsets = py::none();
  return out;
}

// Polygons: one flat corner array, face i being corners
// [face_offsets[i], face_offsets[i + 1]).
ScriptMesh PolygonArrays(const CPolygonMesh& mesh) {
  ScriptMesh out;
  out.type = TYPE_POLYGON_MESH;
  const size_t nv = size_t(mesh.NbVertex()), nf = size_t(mesh.NbFace());
  PutVertices(
      out, nv, [&](size_t i) { return &mesh.m_Vertices[i]; },
      [](const CPolygonVertex*) { return CColor(); });
  out.faces = py::array_t<int32_t>(py::ssize_t(mesh.m_Corners.size()));
  std::copy(mesh.m_Corners.begin(), mesh.m_Corners.end(), out.faces.mutable_data());
  py::array_t<int32_t> offsets(py::ssize_t(mesh.m_FaceStart.size()));
  std::copy(mesh.m_FaceStart.begin(), mesh.m_FaceStart.end(), offsets.mutable_data());
  out.faceOffsets = offsets;
  out.faceColors = Rows<uint8_t>(nf, 3);
  for (size_t f = 0; f < nf; f++)
    PutColor(out.faceColors.mutable_data() + 3 * f,
             f < mesh.m_FaceColor.size() ? mesh.m_FaceColor[f] : mesh.m_Color);
  return out;
}

// An N x 3 array of the given kind ('f' floating, 'i' integer), else
// ValueError naming what is wrong.
py::array CheckRows(const py::handle& value, const char* name, bool floating) {
  if (!py::isinstance<py::array>(value))
    throw py::value_error(std::string(name) + " must be a NumPy array");
  py::array array = py::reinterpret_borrow<py::array>(value);
  const char kind = array.dtype().kind();
  const bool kindOk = floating ? kind == 'f' : (kind == 'i' || kind == 'u');
  if (!kindOk)
    throw py::value_error(std::string(name) + " must have a " +
                          (floating ? "floating-point" : "integer") + " dtype, not " +
                          std::string(py::str(array.dtype())));
  if (array.ndim() != 2 || array.shape(1) != 3)
    throw py::value_error(std::string(name) + " must have the shape (n, 3), not " +
                          std::string(py::str(array.attr("shape"))));
  if (array.shape(0) > INT_MAX)
    throw py::value_error(std::string(name) + " has more rows than a mesh can hold");
  return array;
}

// Copies of the given arrays in the module's dtypes once every value has
// passed: finite positions within single precision, corners that are
// vertices and three different ones per face.
ScriptMesh CheckedArrays(const py::handle& vertexArg, const py::handle& faceArg) {
  auto vertices = py::array_t<double, py::array::c_style | py::array::forcecast>::ensure(
      CheckRows(vertexArg, "vertices", true));
  auto faces = py::array_t<long long, py::array::c_style | py::array::forcecast>::ensure(
      CheckRows(faceArg, "faces", false));
  const size_t nv = size_t(vertices.shape(0)), nf = size_t(faces.shape(0));
  const double* xyz = vertices.data();
  for (size_t i = 0; i < 3 * nv; i++)
    if (!std::isfinite(xyz[i]) || std::fabs(xyz[i]) > FLT_MAX)
      throw py::value_error("vertex " + std::to_string(i / 3) +
                            " has a coordinate that is not a finite single-precision number");
  const long long* corners = faces.data();
  for (size_t f = 0; f < nf; f++) {
    const long long* c = corners + 3 * f;
    for (int k = 0; k < 3; k++)
      if (c[k] < 0 || c[k] >= static_cast<long long>(nv))
        throw py::value_error("face " + std::to_string(f) + " names vertex " +
                              std::to_string(c[k]) + ", outside 0 .. " +
                              std::to_string(static_cast<long long>(nv) - 1));
    if (c[0] == c[1] || c[1] == c[2] || c[0] == c[2])
      throw py::value_error("face " + std::to_string(f) + " uses a vertex twice");
  }
  ScriptMesh out;
  out.type = TYPE_MESH3D;
  out.vertices = Rows<double>(nv, 3);
  std::copy(xyz, xyz + 3 * nv, out.vertices.mutable_data());
  out.faces = Rows<int32_t>(nf, 3);
  std::copy(corners, corners + 3 * nf, out.faces.mutable_data());
  out.vertexColors = Rows<uint8_t>(nv, 3);
  std::fill_n(out.vertexColors.mutable_data(), 3 * nv, uint8_t(255));
  out.faceColors = Rows<uint8_t>(nf, 3);
  std::fill_n(out.faceColors.mutable_data(), 3 * nf, uint8_t(255));
  out.faceOffsets = py::none();
  return out;
}

} // namespace

ScriptMesh MeshToArrays(CObject3d& object) {
  switch (object.GetType()) {
  case TYPE_MESH3D:
    return TriangleArrays(static_cast<const CMesh3d&>(object));
  case TYPE_QUAD_MESH:
    return QuadArrays(static_cast<const CQuadMesh&>(object));
  case TYPE_POLYGON_MESH:
    return PolygonArrays(static_cast<const CPolygonMesh&>(object));
  default:
    throw py::value_error("object of type " + std::to_string(object.GetType()) + " is not a mesh");
  }
}

std::unique_ptr<CMesh3d> MeshFromArrays(const ScriptMesh& given) {
  if (given.type != TYPE_MESH3D || !given.faceOffsets.is_none())
    throw py::value_error("only triangle meshes can be added to a document");
  // the arrays are checked again: a script may have written into them
  const ScriptMesh mesh = CheckedArrays(given.vertices, given.faces);
  // the arrays are only read from here on: other threads may run meanwhile
  py::gil_scoped_release release;
  const double* xyz = mesh.vertices.data();
  const int32_t* corners = mesh.faces.data();
  const size_t nv = size_t(mesh.vertices.shape(0)), nf = size_t(mesh.faces.shape(0));
  const bool vertexColors = size_t(given.vertexColors.size()) == 3 * nv;
  const bool faceColors = size_t(given.faceColors.size()) == 3 * nf;
  const uint8_t* vertexRgb = vertexColors ? given.vertexColors.data() : nullptr;
  const uint8_t* faceRgb = faceColors ? given.faceColors.data() : nullptr;
  // every corner was checked: the elements are made straight from the arrays
  auto out = std::make_unique<CMesh3d>();
  AppendElements(
      out.get(), nv,
      [&](size_t i, void* block) {
        auto* v = ::new (block)
            CVertex3d(float(xyz[3 * i]), float(xyz[3 * i + 1]), float(xyz[3 * i + 2]));
        if (vertexRgb)
          v->m_Color = CColor(vertexRgb[3 * i], vertexRgb[3 * i + 1], vertexRgb[3 * i + 2]);
        return v;
      },
      nf,
      [&](size_t k, int c[3]) {
        for (int i = 0; i < 3; i++) c[i] = corners[3 * k + size_t(i)];
      },
      [&](size_t k, CFace3d* face) {
        face->m_Color =
            faceRgb ? CColor(faceRgb[3 * k], faceRgb[3 * k + 1], faceRgb[3 * k + 2]) : CColor();
      });
  out->SetModified();
  return out;
}

void BindMeshArrays(py::module_& module) {
  py::class_<ScriptMesh>(module, "Mesh",
                         "A mesh as NumPy arrays: copies of a document's mesh (Document.mesh) "
                         "or a triangle mesh made by Mesh.from_arrays for Document.add.")
      .def_readonly("type", &ScriptMesh::type,
                    "Object type code (8 triangle mesh, 10 quad mesh, 11 polygon mesh).")
      .def_readonly("vertices", &ScriptMesh::vertices, "float64 array of N x 3 positions.")
      .def_readonly("faces", &ScriptMesh::faces,
                    "int32 corner indices: M x 3 (triangles), M x 4 (quads), or one flat "
                    "array for polygon meshes (see face_offsets).")
      .def_readonly("face_offsets", &ScriptMesh::faceOffsets,
                    "For polygon meshes, int32 array of M + 1 starts into faces (face i is "
                    "faces[face_offsets[i]:face_offsets[i + 1]]); None otherwise.")
      .def_readonly("vertex_colors", &ScriptMesh::vertexColors, "uint8 array of N x 3 colours.")
      .def_readonly("face_colors", &ScriptMesh::faceColors, "uint8 array of M x 3 colours.")
      .def_static(
          "from_arrays",
          [](const py::object& vertices, const py::object& faces) {
            return CheckedArrays(vertices, faces);
          },
          py::arg("vertices"), py::arg("faces"),
          "A triangle mesh from an N x 3 floating-point array of positions and an M x 3 "
          "integer array of vertex indices. Raises ValueError for a wrong shape or dtype, a "
          "non-finite coordinate, an index outside the vertices or a face using a vertex "
          "twice; nothing is built then.")
      .def("__repr__", [](const ScriptMesh& mesh) {
        const py::ssize_t faces =
            mesh.faceOffsets.is_none() ? mesh.faces.shape(0) : py::len(mesh.faceOffsets) - 1;
        return "<orvexbox.Mesh type " + std::to_string(mesh.type) + ", " +
               std::to_string(mesh.vertices.shape(0)) + " vertices, " + std::to_string(faces) +
               " faces>";
      });
}

} // namespace orvex::python
