// The GL side of a display-list cache: compile, call, delete.

#include <GL/gl.h>

#include "geometry/GlListCache.h"
#include "geometry/GlListGroup.h"
#include "geometry/render/InstallRenderers.h"

bool CGlListCache::glCompile(unsigned revision, bool execute, const std::function<void()>& draw) {
  glRelease();
  glDeleteDeferredNames();
  m_Group = glCurrentListGroup();
  m_List = glGenLists(1);
  if (m_List == 0) return false;
  glNewList(m_List, execute ? GL_COMPILE_AND_EXECUTE : GL_COMPILE);
  draw();
  glEndList();
  m_Revision = revision;
  m_Built = true;
  return true;
}

bool CGlListCache::glCall() const {
  if (m_List == 0 || !glIsList(m_List)) return false;
  glCallList(m_List);
  return true;
}

void CGlListCache::glRelease() {
  if (m_List != 0) {
    if (m_Group == glCurrentListGroup())
      glDeleteLists(m_List, 1);
    else
      DeferGlNames(GlNameKind::List, m_Group, &m_List, 1);
  }
  m_List = 0;
  m_Built = false;
}
