#include "io/WriteObj.h"

#include "geometry/Mesh3d.h"
#include "geometry/SceneGraph3d.h"
#include "geometry/VertexIndexMap.h"
#include "io/MeshFileOutput.h"
#include "io/ReplaceFile.h"
#include "io/TextOutput.h"

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

int WriteObj(const CSceneGraph3d* scene, const std::string& fileName, std::string& error) {
  CReplaceFile file;
  if (!BeginSceneFile(scene, fileName, file, error)) return 0;
  CTextOutput out(&file);
  out.Text("# Produced by 3d Orvexbox\n");
  long long base = 0;
  int k = 0;
  for (int i = 0; i < scene->NbObject(); i++) {
    CObject3d* object = scene->GetAt(i);
    if (!object || object->GetType() != TYPE_MESH3D) continue;
    const auto& mesh = *static_cast<const CMesh3d*>(object);
    WriteGroup(mesh, ++k, base, out);
    base += mesh.NbVertex();
  }
  if (!out.Flush(true) || !file.Commit()) {
    error = "Error during writing " + fileName;
    return 0;
  }
  return 1;
}
