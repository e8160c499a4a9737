#include "io/WriteObj.h"

#include <algorithm>

#include "geometry/Mesh3d.h"
#include "geometry/PolygonMesh.h"
#include "geometry/QuadMesh.h"
#include "geometry/SceneGraph3d.h"
#include "geometry/VertexIndexMap.h"
#include "io/MeshFileOutput.h"
#include "io/ReplaceFile.h"
#include "io/TextOutput.h"
#include "io/WriteObjPolygons.h"

// Enough digits for a float to read back as the same float.
static const int kFloatDigits = 9;

// The group name: the mesh's name without blanks, or "mesh<k>".
static std::string GroupName(const CMesh3d& mesh, int k) {
  std::string name = mesh.m_Name;
  for (char& c : name)
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') c = '_';
  return name.empty() ? "mesh" + std::to_string(k) : name;
}

// One mesh's group; its vertices follow the first `base` of the file.
static void WriteGroup(const CMesh3d& mesh, int k, long long base, CTextOutput& out) {
  out.Text("o ").Text(GroupName(mesh, k)).Text("\n");
  const bool colored = AnyVertexColored(mesh);
  for (const CVertex3d* v : mesh.m_ArrayVertex) {
    out.Text("v ").G3(float(v->x), float(v->y), float(v->z), kFloatDigits);
    if (colored) out.Text(" ").G3(v->m_Color.r / 255.0, v->m_Color.g / 255.0, v->m_Color.b / 255.0);
    out.Text("\n");
    out.Flush();
  }
  const CVertexIndexMap index(mesh.m_ArrayVertex);
  for (const CFace3d* f : mesh.m_ArrayFace) {
    out.Text("f");
    for (int c = 0; c < 3; c++) out.Text(" ").D(base + 1 + index.IndexOf(f->v(c)));
    out.Text("\n");
    out.Flush();
  }
}

static bool IsObjMesh(const CObject3d* object) {
  if (!object) return false;
  const int type = const_cast<CObject3d*>(object)->GetType();
  return type == TYPE_MESH3D || type == TYPE_QUAD_MESH || type == TYPE_POLYGON_MESH;
}

int WriteObj(const CSceneGraph3d* scene, const std::string& fileName, std::string& error) {
  if (std::none_of(scene->m_ArrayObject.begin(), scene->m_ArrayObject.end(), IsObjMesh)) {
    error = "This scene does not contain meshes";
    return 0;
  }
  CReplaceFile file;
  if (!file.Open(fileName)) {
    error = "Unable to open file for writing";
    return 0;
  }
  CTextOutput out(&file);
  out.Text("# Produced by 3d Orvexbox\n");

  // every mesh in scene order, its own group; quads and polygons stay whole
  int base = 0;
  int k = 0;
  for (int i = 0; i < scene->NbObject(); i++) {
    CObject3d* object = scene->GetAt(i);
    if (!IsObjMesh(object)) continue;
    const std::string name = "mesh" + std::to_string(++k);
    switch (object->GetType()) {
    case TYPE_QUAD_MESH:
      WriteObjQuadMesh(out, *static_cast<const CQuadMesh*>(object), name, base);
      break;
    case TYPE_POLYGON_MESH:
      WriteObjPolygonMesh(out, *static_cast<const CPolygonMesh*>(object), name, base);
      break;
    default: {
      const auto& mesh = *static_cast<const CMesh3d*>(object);
      WriteGroup(mesh, k, base, out);
      base += mesh.NbVertex();
    }
    }
  }
  if (!out.Flush(true) || !file.Commit()) {
    error = "Error during writing " + fileName;
    return 0;
  }
  return 1;
}
