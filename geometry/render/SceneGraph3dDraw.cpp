// Drawing of the scene: texture upload into the current share group and
// the objects' display lists, taking turns through the scene's mutex.

#include <GL/gl.h>

#include "geometry/GlListGroup.h"
#include "geometry/Mesh3d.h"
#include "geometry/SceneGraph3d.h"
#include "geometry/render/InstallRenderers.h"
#include "geometry/render/ObjectDrawers.h"

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
  glDeleteDeferredNames();
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

int glBuildScene(const CSceneGraph3d& scene) {
  std::lock_guard<std::mutex> lock(scene.m_RenderMutex);
  return scene.glBuildLists(CDrawOptions());
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
  InstallRenderers();
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
  InstallRenderers();
  std::lock_guard<std::mutex> lock(m_RenderMutex);
  for (CObject3d* object : m_ArrayObject)
    if (object->GetType() == type) glDrawObject(object, options);
}

void CSceneGraph3d::glDrawContent(int bindTextures, const CDrawOptions& options) const {
  InstallRenderers();
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
