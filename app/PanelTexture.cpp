// Textures "Edit...": what the first object's texture is, and a new image
// read for it.

#include <memory>

#include "app/OrvexDoc.h"
#include "app/PanelActions.h"
#include "geometry/Mesh3d.h"
#include "io/Texture.h"

namespace orvex {

namespace {

// The first object when it is a triangle mesh (the object type that binds
// a texture).
CMesh3d* FirstMesh(const COrvexDoc& doc) {
  CObject3d* object = doc.m_SceneGraph.GetAt(0);
  return object && object->GetType() == TYPE_MESH3D ? static_cast<CMesh3d*>(object) : nullptr;
}

} // namespace

bool FirstObjectTexture(const COrvexDoc& doc, CPanelTexture& out) {
  out = CPanelTexture();
  const CMesh3d* mesh = FirstMesh(doc);
  if (!mesh || mesh->m_IndexTexture < 0) return false;
  const CTextureImage* image = doc.m_SceneGraph.GetTexture(mesh->m_IndexTexture);
  if (!image || !image->IsValid()) return false;
  out.name = image->GetFileName();
  out.width = static_cast<int>(image->GetWidth());
  out.height = static_cast<int>(image->GetHeight());
  out.image = image;
  return true;
}

// A file the scene already holds is shared, as the readers share textures
// by file name; a file that cannot be read leaves the binding as it was.
int LoadFirstObjectTexture(CPanelTarget& t, const std::string& path, std::string& error) {
  CMesh3d* mesh = FirstMesh(t.doc);
  if (!mesh) {
    error = "The first object is no triangle mesh";
    return 0;
  }
  CSceneGraph3d& scene = t.doc.m_SceneGraph;
  int index = -1;
  if (!scene.FindTexture(path, index)) {
    auto texture = std::make_unique<CTexture>();
    if (!texture->ReadFile(path) || !texture->IsValid()) {
      error = "Unable to read texture " + path +
              (texture->GetError().empty() ? "" : ": " + texture->GetError());
      return 0;
    }
    index = scene.AddTexture(texture.release());
  }
  mesh->m_IndexTexture = index;
  return 1;
}

} // namespace orvex
