#include "io/MeshFileOutput.h"

#include "geometry/Mesh3d.h"
#include "geometry/SceneGraph3d.h"
#include "io/ReplaceFile.h"

// Bytes gathered before they go to the file.
static const size_t kFlushBlock = 1 << 20;

int WriteFirstMesh(const CSceneGraph3d* scene, const std::string& fileName, MeshBodyWriter body,
                   std::string& error) {
  const CObject3d* object = scene->FindObjectOfType(TYPE_MESH3D);
  if (!object) {
    error = "This scene does not contain meshes";
    return 0;
  }
  CReplaceFile file;
  if (!file.Open(fileName)) {
    error = "Unable to open file for writing";
    return 0;
  }
  if (!body(*static_cast<const CMesh3d*>(object), file) || !file.Commit()) {
    error = "Error during writing " + fileName;
    return 0;
  }
  return 1;
}

bool CBinaryOutput::Flush(bool force) {
  if (m_Failed) return false;
  if (m_Bytes.empty() || (!force && m_Bytes.size() < kFlushBlock)) return true;
  m_Failed = !m_File.Write(m_Bytes.data(), m_Bytes.size());
  m_Bytes.clear();
  return !m_Failed;
}
