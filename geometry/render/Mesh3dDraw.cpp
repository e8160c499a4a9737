#include <GL/gl.h>

#include "geometry/Mesh3d.h"
#include "geometry/render/ObjectDrawers.h"

int CMesh3d::glDraw(const CDrawOptions& options) const {
  if (!m_Show) return 0;

  // display-list mode: the cached list, recompiled when the mesh changed
  // or when it was made in another share group. The material is set
  // outside the list, so that changing it rebuilds nothing.
  if (m_DisplayListMode && options.m_DisplayLists && !options.m_ForceMeshColor) {
    if (!m_GlList.IsCurrent(m_Revision)) glBuildList(options);
    glPushAttrib(GL_ENABLE_BIT);
    glDisable(GL_COLOR_MATERIAL);
    glApplyMaterial();
    const bool called = m_GlList.glCall();
    glPopAttrib();
    return called ? 1 : 0;
  }

  // immediate mode
  DrawContent(options);
  return 1;
}

int CMesh3d::glBuildList(const CDrawOptions& options) const {
  if (NbVertex() == 0 || NbFace() == 0) {
    m_GlList.glRelease();
    return 0;
  }
  return m_GlList.glCompile(m_Revision, false, [&] { DrawGeometry(options); }) ? 1 : 0;
}

static void glColor(const CColor& c) {
  glColor3ub(c.r, c.g, c.b);
}

static void glNormal(const CVector3d& n) {
  glNormal3f(static_cast<float>(n.x), static_cast<float>(n.y), static_cast<float>(n.z));
}

// glTexCoord2f for corner k of face i, when both the index and the
// coordinate it names are within the stored counts.
static void glTexCoordOfCorner(const CMesh3d* mesh, int i, int k) {
  if (i >= mesh->m_NbTextureCoordinateIndex) return;
  int index = mesh->m_pTextureCoordinateIndex[3 * i + k];
  if (index < 0 || index >= mesh->m_NbTextureCoordinate) return;
  glTexCoord2f(mesh->m_pTextureCoordinate[2 * index], mesh->m_pTextureCoordinate[2 * index + 1]);
}

// One point per grid cell: cyan positive, blue zero, red negative.
static void glDrawGrid(const CMesh3d* mesh) {
  glBegin(GL_POINTS);
  for (int i = 0; i < mesh->m_nx; i++)
    for (int j = 0; j < mesh->m_ny; j++)
      for (int k = 0; k < mesh->m_nz; k++) {
        float value = mesh->m_pGrid[i][j][k];
        if (value > 0.0f)
          glColor3f(0.0f, 1.0f, 1.0f);
        else if (value == 0.0f)
          glColor3f(0.0f, 0.0f, 1.0f);
        else
          glColor3f(1.0f, 0.0f, 0.0f);
        glVertex3f(static_cast<float>(i), static_cast<float>(j), static_cast<float>(k));
      }
  glEnd();
}

// Face by face; a face with a missing corner is skipped.
static void glDrawFacesOneByOne(const CMesh3d* mesh, bool textured, bool useMeshColor) {
  int nf = mesh->NbFace();
  glBegin(GL_TRIANGLES);
  for (int i = 0; i < nf; i++) {
    const CFace3d* f = mesh->GetFace(i);
    if (!f || f->HasNullVertex()) continue;
    if (mesh->m_NormalBinding == 1) glNormal(f->m_Normal);
    if (!useMeshColor && mesh->m_ColorBinding == 1) glColor(f->m_Color);
    for (int k = 0; k < 3; k++) {
      const CVertex3d* v = f->v(k);
      if (mesh->m_NormalBinding == 0) glNormal(v->m_Normal);
      if (!useMeshColor && mesh->m_ColorBinding == 0) glColor(v->m_Color);
      if (textured) glTexCoordOfCorner(mesh, i, k);
      glVertex3f(static_cast<float>(v->x), static_cast<float>(v->y), static_cast<float>(v->z));
    }
  }
  glEnd();
}

void CMesh3d::DrawContent(const CDrawOptions& options) const {
  if (!m_Show) return;
  glPushAttrib(GL_ENABLE_BIT);
  glDisable(GL_COLOR_MATERIAL);
  glApplyMaterial();
  DrawGeometry(options);
  glPopAttrib();
}

// The material. One without diffuse colour (the scene writer stores
// black) would leave only the ambient term: such a mesh is lit white, as
// colour tracking of its white faces lights it.
void CMesh3d::glApplyMaterial() const {
  m_Material.glApply();
  if (m_Material.HasDiffuse()) return;
  const GLfloat white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
  glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE, white);
}

// Everything but the material, which the caller applies with colour
// tracking off, inside an enable-bit push that restores tracking after.
void CMesh3d::DrawGeometry(const CDrawOptions& options) const {
  const bool useMeshColor = m_UseMeshColor || options.m_ForceMeshColor;
  // without colours of its own the material lights the mesh; with them,
  // colour tracking takes the colours before the first one is sent
  const bool plain = !useMeshColor && HasPlainColor();
  if (!plain) glEnable(GL_COLOR_MATERIAL);
  glPushMatrix();
  m_Transform.glApply();

  // initial color
  int nf = NbFace();
  if (nf > 0 && GetFace(0)) glColor(GetFace(0)->m_Color);
  if (useMeshColor) glColor(m_Color);
  glPointSize(5.0f);

  // faces, as one indexed call when the mesh allows it
  bool textured = m_pTextureCoordinate && m_pTextureCoordinateIndex && m_IndexTexture >= 0;
  if (!options.m_IndexedDrawing || !glDrawFacesIndexed(this, textured, useMeshColor))
    glDrawFacesOneByOne(this, textured, useMeshColor);

  // the attached scalar grid
  if (m_ShowGrid && m_pGrid) glDrawGrid(this);

  glPopMatrix();
}
