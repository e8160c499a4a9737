// Drawing of the polygon mesh: one filled polygon per face with its normal
// and colour, through a display list rebuilt when the mesh changed.

#include <GL/gl.h>

#include "geometry/ColorTracking.h"
#include "geometry/PolygonMesh.h"

int CPolygonMesh::glDraw() const {
  if (m_DisplayListMode) {
    if (!m_GlList.IsCurrent(m_Revision)) glBuildList();
    if (m_GlList.glCall()) return 1;
  }
  DrawContent();
  return 1;
}

int CPolygonMesh::glBuildList() const {
  if (NbVertex() == 0 || NbFace() == 0) {
    m_GlList.glRelease();
    return 0;
  }
  return m_GlList.glCompile(m_Revision, false, [this] { DrawContent(); }) ? 1 : 0;
}

void CPolygonMesh::DrawContent() const {
  const CColor white;
  bool ownColors = m_UseMeshColor != 0;
  for (const CColor& c : m_FaceColor) ownColors = ownColors || c != white;
  glDrawWithMaterial(m_Material, ownColors, [&] { DrawFaces(ownColors); });
}

void CPolygonMesh::DrawFaces(bool colors) const {
  if (m_UseMeshColor) glColor3ub(m_Color.r, m_Color.g, m_Color.b);
  const int nf = NbFace();
  for (int f = 0; f < nf; f++) {
    if (colors && !m_UseMeshColor && f < static_cast<int>(m_FaceColor.size()))
      glColor3ub(m_FaceColor[f].r, m_FaceColor[f].g, m_FaceColor[f].b);
    if (f < static_cast<int>(m_FaceNormal.size())) {
      const CVector3d& n = m_FaceNormal[f];
      glNormal3f(static_cast<float>(n.x), static_cast<float>(n.y), static_cast<float>(n.z));
    }
    const int* c = FaceCorners(f);
    glBegin(GL_POLYGON);
    for (int k = 0; k < FaceSize(f); k++) {
      const CPolygonVertex& v = m_Vertices[c[k]];
      glVertex3d(v.x, v.y, v.z);
    }
    glEnd();
  }
}
