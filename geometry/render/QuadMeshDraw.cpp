// Drawing of the quad mesh: four-corner primitives with the quad's normal
// and the corners' colours (or the mesh colour), through a display list
// rebuilt when the mesh changed.

#include <GL/gl.h>

#include "geometry/QuadMesh.h"
#include "geometry/render/ColorTracking.h"
#include "geometry/render/ObjectDrawers.h"

int glDrawQuadMesh(const CQuadMesh& mesh) {
  if (mesh.m_DisplayListMode) {
    if (!mesh.m_GlList.IsCurrent(mesh.m_Revision)) glBuildQuadMesh(mesh);
    if (mesh.m_GlList.glCall()) return 1;
  }
  glDrawQuadContent(mesh);
  return 1;
}

int glBuildQuadMesh(const CQuadMesh& mesh) {
  if (mesh.NbVertex() == 0 || mesh.NbFace() == 0) {
    mesh.m_GlList.glRelease();
    return 0;
  }
  return mesh.m_GlList.glCompile(mesh.m_Revision, false, [&] { glDrawQuadContent(mesh); }) ? 1 : 0;
}

void glDrawQuadContent(const CQuadMesh& mesh) {
  const CColor white;
  bool ownColors = mesh.m_UseMeshColor != 0;
  for (const CQuadVertex& v : mesh.m_Vertices) ownColors = ownColors || v.m_Color != white;
  glDrawWithMaterial(mesh.m_Material, ownColors, [&] { mesh.DrawFaces(ownColors); });
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
