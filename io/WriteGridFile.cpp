#include "io/WriteGridFile.h"

#include "geometry/Mesh3d.h"
#include "geometry/VertexIndexMap.h"
#include "io/ReplaceFile.h"
#include "io/TextOutput.h"

int WriteGridFile(const CMesh3d* mesh, const std::string& fileName, std::string& error) {
  CReplaceFile file;
  if (!file.Open(fileName)) {
    error = "Unable to open file for writing";
    return 0;
  }
  CTextOutput out(&file);

  // bounding box and the fixed grid parameters
  float min[3], max[3];
  for (int c = 0; c < 3; c++) mesh->Range(c, &min[c], &max[c]);
  out.G3(min[0], min[1], min[2]).Text(" ").G3(max[0], max[1], max[2]).Text("\n");
  out.Text("0 0 0\n").Text("1.0\n").Text("1\n");
  out.D(mesh->NbVertex()).Text("\n").D(mesh->NbFace()).Text("\n");

  // vertices, then faces by corner index
  const CVertexIndexMap index(mesh->m_ArrayVertex);
  for (const CVertex3d* v : mesh->m_ArrayVertex) {
    out.G3(v->x, v->y, v->z).Text("\n");
    out.Flush();
  }
  for (const CFace3d* f : mesh->m_ArrayFace) {
    out.D(index.IndexOf(f->v(0))).Text(" ").D(index.IndexOf(f->v(1))).Text(" ");
    out.D(index.IndexOf(f->v(2))).Text("\n");
    out.Flush();
  }
  if (!out.Flush(true) || !file.Commit()) {
    error = "Error during writing";
    return 0;
  }
  return 1;
}
