// Drawing of the polygon mesh: one filled polygon per face with its normal
// and colour, through a display list rebuilt when the mesh changed.

#include <GL/gl.h>

#include "geometry/PolygonMesh.h"
#include "geometry/render/ColorTracking.h"
#include "geometry/render/ObjectDrawers.h"

int glDrawPolygonMesh(const CPolygonMesh& mesh) {
  if (mesh.m_DisplayListMode) {
    if (!mesh.m_GlList.IsCurrent(mesh.m_Revision)) glBuildPolygonMesh(mesh);
    if (mesh.m_GlList.glCall()) return 1;
  }
  glDrawPolygonContent(mesh);
  return 1;
}

int glBuildPolygonMesh(const CPolygonMesh& mesh) {
  if (mesh.NbVertex() == 0 || mesh.NbFace() == 0) {
    mesh.m_GlList.glRelease();
    return 0;
  }
  return mesh.m_GlList.glCompile(mesh.m_Revision, false, [&] { glDrawPolygonContent(mesh); }) ? 1
                                                                                              : 0;
}

void glDrawPolygonContent(const CPolygonMesh& mesh) {
  const CColor white;
  bool ownColors = mesh.m_UseMeshColor != 0;
  for (const CColor& c : mesh.m_FaceColor) ownColors = ownColors || c != white;
  glDrawWithMaterial(mesh.m_Material, ownColors, [&] { mesh.DrawFaces(ownColors); });
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
