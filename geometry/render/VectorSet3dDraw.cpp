// A vector set drawn as unlit line segments through its display list.

#include <GL/gl.h>

#include "geometry/VectorSet3d.h"
#include "geometry/render/ObjectDrawers.h"

int glBuildVectorSet(const CVectorSet3d& set) {
  if (set.m_ArrayPoint.GetSize() == 0) return 0;
  if (set.m_GlList.IsCurrent(set.m_Revision)) return 0;
  const bool built = set.m_GlList.glCompile(set.m_Revision, true, [&set] {
    glPushMatrix();
    set.m_Transform.glApply();
    glColor3ub(set.m_Color.r, set.m_Color.g, set.m_Color.b);
    glEnable(GL_POLYGON_OFFSET_LINE);
    glPolygonOffset(1.0f, -1.0f);
    // only complete pairs are drawn: an odd last point is left out
    glBegin(GL_LINES);
    for (int pair = 0; pair < set.NbVector(); pair++) {
      CVector3d start, end;
      if (!set.GetSegment(pair, start, end)) continue;
      glVertex3d(start.x, start.y, start.z);
      glVertex3d(end.x, end.y, end.z);
    }
    glEnd();
    glDisable(GL_POLYGON_OFFSET_LINE);
    glPopMatrix();
  });
  if (!built) {
    set.m_Error = "CVectorSet3d::BuildList : unable to build DrawList";
    return 0;
  }
  set.m_Error.clear();
  return 1;
}

int glDrawVectorSet(const CVectorSet3d& set) {
  if (!set.m_GlList.IsCurrent(set.m_Revision)) glBuildVectorSet(set);
  const GLboolean lighting = glIsEnabled(GL_LIGHTING);
  glDisable(GL_LIGHTING);
  const bool called = set.m_GlList.glCall();
  if (lighting) glEnable(GL_LIGHTING);
  return called ? 1 : 0;
}
