#include "io/WriteObjPolygons.h"

#include "geometry/PolygonMesh.h"
#include "geometry/QuadMesh.h"
#include "io/ReplaceFile.h"
#include "io/TextOutput.h"

void WriteObjPolygonMesh(CTextOutput& out, const CPolygonMesh& mesh, const std::string& name,
                         int& vertexBase) {
  out.Text("o ").Text(name).Text("\n");
  for (const CPolygonVertex& v : mesh.m_Vertices) {
    out.Text("v ").G3(v.x, v.y, v.z, 17).Text("\n");
    out.Flush();
  }
  for (int f = 0; f < mesh.NbFace(); f++) {
    out.Text("f");
    const int* c = mesh.FaceCorners(f);
    for (int k = 0; k < mesh.FaceSize(f); k++)
      out.Text(" ").D(static_cast<long long>(c[k]) + vertexBase + 1);
    out.Text("\n");
    out.Flush();
  }
  vertexBase += mesh.NbVertex();
}

void WriteObjQuadMesh(CTextOutput& out, const CQuadMesh& mesh, const std::string& name,
                      int& vertexBase) {
  out.Text("o ").Text(name).Text("\n");
  for (const CQuadVertex& v : mesh.m_Vertices) {
    out.Text("v ").G3(v.x, v.y, v.z, 9).Text("\n");
    out.Flush();
  }
  for (const CQuadFace& face : mesh.m_Faces) {
    out.Text("f");
    for (int k = 0; k < 4; k++) out.Text(" ").D(static_cast<long long>(face.v[k]) + vertexBase + 1);
    out.Text("\n");
    out.Flush();
  }
  vertexBase += mesh.NbVertex();
}

// Writes the quad meshes through a replacing file.
static int WriteQuads(const std::vector<const CQuadMesh*>& meshes, const std::string& fileName,
                      std::string& error) {
  CReplaceFile file;
  if (!file.Open(fileName)) {
    error = "Unable to open file for writing";
    return 0;
  }
  CTextOutput out(&file);
  int base = 0;
  for (const CQuadMesh* mesh : meshes) WriteObjQuadMesh(out, *mesh, mesh->m_Name, base);
  if (!out.Flush(true) || !file.Commit()) {
    error = "Error during writing " + fileName;
    return 0;
  }
  return 1;
}

int WriteQuadFile(const CSceneGraph3d* scene, const std::string& fileName, std::string& error) {
  std::vector<const CQuadMesh*> meshes;
  for (int i = 0; i < scene->NbObject(); i++) {
    CObject3d* object = scene->GetAt(i);
    const int type = object->GetType();
    if (type == TYPE_QUAD_MESH) {
      meshes.push_back(static_cast<const CQuadMesh*>(object));
    } else if (type == TYPE_MESH3D || type == TYPE_POLYGON_MESH) {
      error = "Only quad meshes can be saved as a quad file: save this scene as .obj";
      return 0;
    }
  }
  if (meshes.empty()) {
    error = "This scene does not contain quad meshes";
    return 0;
  }
  return WriteQuads(meshes, fileName, error);
}

int WriteQuadMeshFile(const CQuadMesh& mesh, const std::string& fileName, std::string& error) {
  return WriteQuads({&mesh}, fileName, error);
}
