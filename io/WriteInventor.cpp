#include "io/WriteInventor.h"

#include "geometry/Mesh3d.h"
#include "geometry/SceneGraph3d.h"
#include "geometry/VertexIndexMap.h"
#include "io/ReplaceFile.h"
#include "io/TextOutput.h"

void WriteInventorHeader(CTextOutput& out) {
  out.Text("#Inventor V2.1 ascii\n\n");
}

void WriteInventor(const CMesh3d* mesh, CTextOutput& out) {
  const CVertexIndexMap index(mesh->m_ArrayVertex);
  const int nv = mesh->NbVertex();
  const int nf = mesh->NbFace();

  // points
  out.Text("# Mesh : ").D(nv).Text(" vertices, ").D(nf).Text(" faces\n");
  out.Text("Separator {\n").Text("        Coordinate3 { point [\n");
  for (int i = 0; i < nv; i++) {
    const CVertex3d* v = mesh->GetVertex(i);
    out.Text("          ").G3(v->x, v->y, v->z);
    out.EndListEntry(i, nv);
  }
  out.CloseEmptyList(nv);

  // triangles
  out.Text("        }\n").Text("        IndexedFaceSet {\n").Text("        coordIndex [\n");
  for (int i = 0; i < nf; i++) {
    const CFace3d* f = mesh->GetFace(i);
    out.IndexTriangle(index.IndexOf(f->v(0)), index.IndexOf(f->v(1)), index.IndexOf(f->v(2)));
    out.EndListEntry(i, nf);
  }
  out.CloseEmptyList(nf);
  out.Text("        }\n").Text("      }\n");
  out.Flush();
}

int WriteInventorFile(const CMesh3d* mesh, const std::string& fileName, std::string& error) {
  CReplaceFile file;
  if (!file.Open(fileName)) {
    error = "Unable to open file for writing";
    return 0;
  }
  CTextOutput out(&file);
  WriteInventorHeader(out);
  if (!out.Flush(true)) {
    error = "Error during writing file header";
    return 0;
  }
  WriteInventor(mesh, out);
  if (!out.Flush(true) || !file.Commit()) {
    error = "Error during writing transform";
    return 0;
  }
  return 1;
}

int WriteInventorFiles(const CSceneGraph3d* scene, const std::string& folder, std::string& error,
                       std::vector<std::string>* paths) {
  int written = 0;
  for (int i = 0; i < scene->NbObject(); i++) {
    CObject3d* object = scene->GetAt(i);
    if (object->GetType() != TYPE_MESH3D) continue;
    const std::string name = "mesh" + std::to_string(i) + ".iv";
    const std::string path = folder.empty() ? name : folder + "/" + name;
    if (!WriteInventorFile(static_cast<const CMesh3d*>(object), path, error)) return written;
    if (paths) paths->push_back(path);
    written++;
  }
  return written;
}
