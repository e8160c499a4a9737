#include "io/WriteBinaryScene.h"

#include <cstdint>
#include <cstring>

#include "geometry/Mesh3d.h"
#include "geometry/SceneGraph3d.h"
#include "geometry/VertexIndexMap.h"
#include "io/MeshBuilder.h"
#include "io/MeshFileOutput.h"
#include "io/ReplaceFile.h"

static_assert(sizeof(float) == 4, "the binary scene stores 32-bit floats");

// Block size handed to the file at a time.
static const size_t kFlushBlock = 1 << 20;

// Appends the little-endian bytes of a 32-bit value.
template <class T> static void Put(std::string& bytes, T value) {
  static_assert(sizeof(T) == 4, "32-bit fields only");
  uint32_t u;
  std::memcpy(&u, &value, 4);
  const char b[4] = {char(u & 0xff), char((u >> 8) & 0xff), char((u >> 16) & 0xff),
                     char((u >> 24) & 0xff)};
  bytes.append(b, 4);
}

static void PutVector(std::string& bytes, const CVector3d& v) {
  Put(bytes, NarrowToFloat(v.x));
  Put(bytes, NarrowToFloat(v.y));
  Put(bytes, NarrowToFloat(v.z));
}

void WriteBinary(const CMesh3d* mesh, std::string& bytes) {
  const CVertexIndexMap index(mesh->m_ArrayVertex);

  // transform and counts
  const CTransform& t = mesh->m_Transform;
  PutVector(bytes, t.m_Translation);
  PutVector(bytes, t.m_RotationAxis);
  Put(bytes, t.m_RotationAngle);
  PutVector(bytes, t.m_Scale);
  Put(bytes, uint32_t(mesh->NbVertex()));
  Put(bytes, uint32_t(mesh->NbFace()));

  // vertices and faces
  for (const CVertex3d* v : mesh->m_ArrayVertex) {
    Put(bytes, NarrowToFloat(v->x));
    Put(bytes, NarrowToFloat(v->y));
    Put(bytes, NarrowToFloat(v->z));
  }
  for (const CFace3d* f : mesh->m_ArrayFace)
    for (int k = 0; k < 3; k++) Put(bytes, int32_t(index.IndexOf(f->v(k))));
}

int WriteBinary(const CSceneGraph3d* scene, const std::string& fileName, std::string& error) {
  CReplaceFile file;
  if (!BeginSceneFile(scene, fileName, file, error)) return 0;

  // object count, then the mesh records
  std::string bytes;
  Put(bytes, int32_t(scene->NbObject()));
  int ok = 1;
  for (CObject3d* object : scene->m_ArrayObject) {
    if (object->GetType() != TYPE_MESH3D) continue;
    WriteBinary(static_cast<const CMesh3d*>(object), bytes);
    if (bytes.size() >= kFlushBlock) {
      ok = ok && file.Write(bytes.data(), bytes.size());
      bytes.clear();
    }
  }
  ok = ok && file.Write(bytes.data(), bytes.size()) && file.Commit();
  if (!ok) {
    error = "Error during writing";
    return 0;
  }
  return 1;
}

static bool WriteMeshRecord(const CMesh3d& mesh, CReplaceFile& file) {
  std::string bytes;
  WriteBinary(&mesh, bytes);
  return file.Write(bytes.data(), bytes.size());
}

int WriteBinaryMesh(const CSceneGraph3d* scene, const std::string& fileName, std::string& error) {
  return WriteFirstMesh(scene, fileName, WriteMeshRecord, error);
}
