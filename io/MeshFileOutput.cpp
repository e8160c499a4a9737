#include "io/MeshFileOutput.h"

#include "geometry/Mesh3d.h"
#include "geometry/SceneGraph3d.h"
#include "io/ReplaceFile.h"

// Bytes gathered before they go to the file.
static const size_t kFlushBlock = 1 << 20;

bool BeginSceneFile(const CSceneGraph3d* scene, const std::string& fileName, CReplaceFile& file,
                    std::string& error) {
  if (!scene->FindObjectOfType(TYPE_MESH3D)) {
    error = "This scene does not contain meshes";
    return false;
  }
  if (!file.Open(fileName)) {
    error = "Unable to open file for writing";
    return false;
  }
  return true;
}

int WriteFirstMesh(const CSceneGraph3d* scene, const std::string& fileName, MeshBodyWriter body,
                   std::string& error) {
  CReplaceFile file;
  if (!BeginSceneFile(scene, fileName, file, error)) return 0;
  const CObject3d* object = scene->FindObjectOfType(TYPE_MESH3D);
  if (!body(*static_cast<const CMesh3d*>(object), file) || !file.Commit()) {
    error = "Error during writing " + fileName;
    return 0;
  }
  return 1;
}

bool AnyVertexColored(const CMesh3d& mesh) {
  const CColor white;
  for (const CVertex3d* v : mesh.m_ArrayVertex)
    if (v->m_Color != white) return true;
  return false;
}

bool CBinaryOutput::Flush(bool force) {
  if (m_Failed) return false;
  if (m_Bytes.empty() || (!force && m_Bytes.size() < kFlushBlock)) return true;
  m_Failed = !m_File.Write(m_Bytes.data(), m_Bytes.size());
  m_Bytes.clear();
  return !m_Failed;
}
