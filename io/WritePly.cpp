#include "io/WritePly.h"

#include <string>

#include "geometry/Mesh3d.h"
#include "geometry/VertexIndexMap.h"
#include "io/MeshFileOutput.h"

static std::string PlyHeader(const CMesh3d& mesh, bool colored) {
  std::string h = "ply\nformat binary_little_endian 1.0\ncomment Produced by 3d Orvexbox\n";
  h += "element vertex " + std::to_string(mesh.NbVertex()) + "\n";
  h += "property float x\nproperty float y\nproperty float z\n";
  if (colored) h += "property uchar red\nproperty uchar green\nproperty uchar blue\n";
  h += "element face " + std::to_string(mesh.NbFace()) + "\n";
  h += "property list uchar int vertex_indices\nend_header\n";
  return h;
}

static bool WritePlyBody(const CMesh3d& mesh, CReplaceFile& file) {
  const bool colored = AnyVertexColored(mesh);
  CBinaryOutput out(file);
  out.Text(PlyHeader(mesh, colored));
  for (const CVertex3d* v : mesh.m_ArrayVertex) {
    out.F32LE(float(v->x)).F32LE(float(v->y)).F32LE(float(v->z));
    if (colored) out.U8(v->m_Color.r).U8(v->m_Color.g).U8(v->m_Color.b);
    out.Flush();
  }
  const CVertexIndexMap index(mesh.m_ArrayVertex);
  for (const CFace3d* f : mesh.m_ArrayFace) {
    out.U8(3);
    for (int k = 0; k < 3; k++) out.U32LE(static_cast<uint32_t>(index.IndexOf(f->v(k))));
    out.Flush();
  }
  return out.Flush(true);
}

int WritePly(const CSceneGraph3d* scene, const std::string& fileName, std::string& error) {
  return WriteFirstMesh(scene, fileName, WritePlyBody, error);
}
