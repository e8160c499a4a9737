#include "io/WriteOff.h"

#include "geometry/Mesh3d.h"
#include "geometry/VertexIndexMap.h"
#include "io/MeshFileOutput.h"
#include "io/TextOutput.h"

// Enough digits for a float to read back as the same float (positions are
// narrowed to floats first, so that the reader gets exactly them back).
static const int kFloatDigits = 9;

static bool WriteOffBody(const CMesh3d& mesh, CReplaceFile& file) {
  CTextOutput out(&file);
  out.Text("OFF\n").D(mesh.NbVertex()).Text(" ").D(mesh.NbFace()).Text(" 0\n");
  for (int i = 0; i < mesh.NbVertex(); i++) {
    const CVertex3d* v = mesh.GetVertex(i);
    out.G3(float(v->x), float(v->y), float(v->z), kFloatDigits).Text("\n");
    out.Flush();
  }
  const CVertexIndexMap index(mesh.m_ArrayVertex);
  for (int i = 0; i < mesh.NbFace(); i++) {
    const CFace3d* f = mesh.GetFace(i);
    out.Text("3 ").D(index.IndexOf(f->v(0))).Text(" ").D(index.IndexOf(f->v(1)));
    out.Text(" ").D(index.IndexOf(f->v(2))).Text("\n");
    out.Flush();
  }
  return out.Flush(true) != 0;
}

int WriteOff(const CSceneGraph3d* scene, const std::string& fileName, std::string& error) {
  return WriteFirstMesh(scene, fileName, WriteOffBody, error);
}
