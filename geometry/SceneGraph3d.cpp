#include "geometry/SceneGraph3d.h"

#include "geometry/GlListGroup.h"
#include "geometry/Mesh3d.h"

CSceneGraph3d::~CSceneGraph3d() {
  Free();
}

//////////////////////////////////////////////////////////////////////
// Objects and textures
//////////////////////////////////////////////////////////////////////

CObject3d* CSceneGraph3d::GetAt(int i) const {
  if (i < 0 || i >= m_ArrayObject.GetSize()) return nullptr;
  return m_ArrayObject[i];
}

CObject3d* CSceneGraph3d::FindObjectOfType(int type) const {
  for (CObject3d* object : m_ArrayObject)
    if (object->GetType() == type) return object;
  return nullptr;
}

CObject3d* CSceneGraph3d::RemoveAt(int i) {
  CObject3d* object = GetAt(i);
  if (object) m_ArrayObject.RemoveAt(i);
  return object;
}

int CSceneGraph3d::DeleteAt(int i) {
  CObject3d* object = RemoveAt(i);
  if (!object) return 0;
  delete object;
  return 1;
}

CTextureImage* CSceneGraph3d::GetTexture(int i) const {
  if (i < 0 || i >= m_ArrayTexture.GetSize()) return nullptr;
  return m_ArrayTexture[i];
}

int CSceneGraph3d::FindTexture(const std::string& fileName, int& index) const {
  for (int i = 0; i < m_ArrayTexture.GetSize(); i++) {
    if (m_ArrayTexture[i]->GetFileName() == fileName) {
      index = i;
      return 1;
    }
  }
  return 0;
}

void CSceneGraph3d::DeleteTextureNames() const {
  // GL is never called here (a scene may be freed on a thread without a
  // context): the render side deletes the names when their group is current
  if (m_pIndexTextures && m_NbIndexTexture > 0)
    DeferGlNames(GlNameKind::Texture, m_TextureGroup, m_pIndexTextures, m_NbIndexTexture);
  delete[] m_pIndexTextures;
  m_pIndexTextures = nullptr;
  m_NbIndexTexture = 0;
}

void CSceneGraph3d::Free() {
  DeleteTextureNames();
  for (CTextureImage* texture : m_ArrayTexture) delete texture;
  m_ArrayTexture.RemoveAll();
  for (CObject3d* object : m_ArrayObject) delete object;
  m_ArrayObject.RemoveAll();
  // a refilled scene must upload its own textures on the next draw
  m_ListDone = 0;
}

//////////////////////////////////////////////////////////////////////
// Bulk operations
//////////////////////////////////////////////////////////////////////

// Calls f on every triangle mesh of the list.
template <class F> static void ForEachMesh(CArray3d<CObject3d>& objects, F f) {
  for (CObject3d* object : objects)
    if (object->GetType() == TYPE_MESH3D) f(static_cast<CMesh3d*>(object));
}

void CSceneGraph3d::SetModifiedAll() {
  for (CObject3d* object : m_ArrayObject) object->SetModified();
}

void CSceneGraph3d::BuildAdjacencyAll() {
  ForEachMesh(m_ArrayObject, [](CMesh3d* mesh) { mesh->BuildAdjacency(); });
}

void CSceneGraph3d::CalculateNormalPerFaceAll() {
  ForEachMesh(m_ArrayObject, [](CMesh3d* mesh) { mesh->CalculateNormalPerFace(); });
}

void CSceneGraph3d::CalculateNormalPerVertexAll() {
  ForEachMesh(m_ArrayObject, [](CMesh3d* mesh) { mesh->CalculateNormalPerVertex(); });
}

void CSceneGraph3d::ShowAll(int visible) {
  ForEachMesh(m_ArrayObject, [visible](CMesh3d* mesh) { mesh->Show(visible); });
}

void CSceneGraph3d::SetNormalBindingAll(int binding) {
  for (CObject3d* object : m_ArrayObject) {
    if (object->GetType() == TYPE_MESH3D)
      static_cast<CMesh3d*>(object)->SetNormalBinding(binding);
    else
      object->glBuildList();
  }
}

void CSceneGraph3d::SetColorBindingAll(int binding) {
  SetModifiedAll();
  ForEachMesh(m_ArrayObject, [binding](CMesh3d* mesh) { mesh->SetColorBinding(binding); });
}

void CSceneGraph3d::SetUseMeshColorAll(int use) {
  SetModifiedAll();
  for (CObject3d* object : m_ArrayObject) {
    const int type = object->GetType();
    if (type == TYPE_MESH3D) {
      static_cast<CMesh3d*>(object)->m_UseMeshColor = use;
    } else if (type == TYPE_QUAD_MESH || type == TYPE_POLYGON_MESH) {
      if (auto* mesh = dynamic_cast<CSceneMesh3d*>(object)) mesh->SetUseMeshColor(use);
    }
  }
}
