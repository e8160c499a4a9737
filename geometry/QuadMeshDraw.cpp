// Drawing of the quad mesh: four-corner primitives with the quad's normal
// and the corners' colours (or the mesh colour), through a display list
// rebuilt when the mesh changed.

#include <GL/gl.h>

#include "geometry/ColorTracking.h"
#include "geometry/QuadMesh.h"

int CQuadMesh::glDraw() const {
  if (m_DisplayListMode) {
    if (!m_GlList.IsCurrent(m_Revision)) glBuildList();
    if (m_GlList.glCall()) return 1;
  }
  DrawContent();
  return 1;
}

int CQuadMesh::glBuildList() const {
  if (NbVertex() == 0 || NbFace() == 0) {
    m_GlList.glRelease();
    return 0;
  }
  return m_GlList.glCompile(m_Revision, false, [this] { DrawContent(); }) ? 1 : 0;
}

void CQuadMesh::DrawContent() const {
  const CColor white;
  bool ownColors = m_UseMeshColor != 0;
  for (const CQuadVertex& v : m_Vertices) ownColors = ownColors || v.m_Color != white;
  glDrawWithMaterial(m_Material, ownColors, [&] { DrawFaces(ownColors); });
}

void CQuadMesh::DrawFaces(bool colors) const {
  if (m_UseMeshColor) glColor3ub(m_Color.r, m_Color.g, m_Color.b);
  glBegin(GL_QUADS);
  for (const CQuadFace& face : m_Faces) {
    glNormal3fv(face.normal);
    for (int k = 0; k < 4; k++) {
      const CQuadVertex& v = m_Vertices[face.v[k]];
      if (colors && !m_UseMeshColor) glColor3ub(v.m_Color.r, v.m_Color.g, v.m_Color.b);
      glVertex3f(v.x, v.y, v.z);
    }
  }
  glEnd();
}
