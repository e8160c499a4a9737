#include "geometry/SceneGraph3d.h"

#include <GL/gl.h>

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
  // names of another share group go with their own contexts
  if (m_pIndexTextures && m_NbIndexTexture > 0 && m_TextureGroup == glCurrentListGroup())
    glDeleteTextures(m_NbIndexTexture, m_pIndexTextures);
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
// Texture upload
//////////////////////////////////////////////////////////////////////

// Largest OpenGL unpack alignment (8, 4, 2 or 1) under which rows of
// rowBytes bytes are exactly what the image holds; 0 when none is (rows
// shorter than their pixels, or padded beyond what any alignment implies).
static int UnpackAlignmentFor(unsigned int width, int bytesPerPixel, int rowBytes) {
  const long long packed = static_cast<long long>(width) * bytesPerPixel;
  for (int alignment = 8; alignment >= 1; alignment /= 2) {
    long long padded = (packed + alignment - 1) / alignment * alignment;
    if (padded == rowBytes) return alignment;
  }
  return 0;
}

// Uploads one valid texture into the texture object `name`.
static void glUploadTexture(const CTextureImage* texture, unsigned int name) {
  // pending errors belong to earlier calls: clear them, errors here are ignored
  while (glGetError() != GL_NO_ERROR) {
  }
  glBindTexture(GL_TEXTURE_2D, name);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  if (!texture->IsValid()) return;

  // the unpack alignment must describe the rows as they really are stored
  const int bytesPerPixel = texture->GetDepth() == 32 ? 4 : 3;
  const int alignment =
      UnpackAlignmentFor(texture->GetWidth(), bytesPerPixel, texture->GetRowBytes());
  if (alignment == 0) return;
  GLint previous = 4;
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &previous);
  glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
  glTexImage2D(GL_TEXTURE_2D, 0, 3, static_cast<GLsizei>(texture->GetWidth()),
               static_cast<GLsizei>(texture->GetHeight()), 0, bytesPerPixel == 4 ? GL_RGBA : GL_RGB,
               GL_UNSIGNED_BYTE, texture->GetPixels());
  glPixelStorei(GL_UNPACK_ALIGNMENT, previous);
  while (glGetError() != GL_NO_ERROR) {
  }
}

void CSceneGraph3d::glUploadTextures() const {
  DeleteTextureNames();
  m_TextureGroup = glCurrentListGroup();
  const int n = m_ArrayTexture.GetSize();
  if (n == 0) return;
  m_pIndexTextures = new unsigned int[n]();
  m_NbIndexTexture = n;
  glGenTextures(n, m_pIndexTextures);
  for (int i = 0; i < n; i++) glUploadTexture(m_ArrayTexture[i], m_pIndexTextures[i]);
}

//////////////////////////////////////////////////////////////////////
// Drawing
//////////////////////////////////////////////////////////////////////

int CSceneGraph3d::glBuildList() const {
  std::lock_guard<std::mutex> lock(m_RenderMutex);
  return glBuildLists(CDrawOptions());
}

int CSceneGraph3d::glBuildLists(const CDrawOptions& options) const {
  for (CObject3d* object : m_ArrayObject) {
    if (object->GetType() == TYPE_MESH3D)
      static_cast<const CMesh3d*>(object)->glBuildList(options);
    else
      object->glBuildList();
  }
  glUploadTextures();
  m_ListDone = 1;
  return 1;
}

// Binds the texture of a triangle mesh that has one.
void CSceneGraph3d::glBindTextureOf(CObject3d* object) const {
  if (object->GetType() != TYPE_MESH3D) return;
  const int index = static_cast<CMesh3d*>(object)->m_IndexTexture;
  if (index < 0 || index >= m_NbIndexTexture) return;
  glBindTexture(GL_TEXTURE_2D, m_pIndexTextures[index]);
}

int CSceneGraph3d::glDrawObject(CObject3d* object, const CDrawOptions& options) {
  if (object->GetType() == TYPE_MESH3D) return static_cast<const CMesh3d*>(object)->glDraw(options);
  return object->glDraw();
}

void CSceneGraph3d::glDraw(const CDrawOptions& options) const {
  std::lock_guard<std::mutex> lock(m_RenderMutex);
  // textures appended since the last upload are uploaded as well
  // and a context of another share group uploads its own copies
  if (!m_ListDone || m_NbIndexTexture != m_ArrayTexture.GetSize() ||
      m_TextureGroup != glCurrentListGroup())
    glBuildLists(options);
  for (CObject3d* object : m_ArrayObject) {
    glBindTextureOf(object);
    glDrawObject(object, options);
  }
}

void CSceneGraph3d::glDrawType(int type, const CDrawOptions& options) const {
  std::lock_guard<std::mutex> lock(m_RenderMutex);
  for (CObject3d* object : m_ArrayObject)
    if (object->GetType() == type) glDrawObject(object, options);
}

void CSceneGraph3d::glDrawContent(int bindTextures, const CDrawOptions& options) const {
  std::lock_guard<std::mutex> lock(m_RenderMutex);
  for (CObject3d* object : m_ArrayObject) {
    const int type = object->GetType();
    if (type == TYPE_MESH3D) {
      if (bindTextures) glBindTextureOf(object);
      static_cast<const CMesh3d*>(object)->DrawContent(options);
    } else if (type == TYPE_QUAD_MESH || type == TYPE_POLYGON_MESH) {
      if (auto* mesh = dynamic_cast<CSceneMesh3d*>(object)) mesh->DrawContent();
    }
  }
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
