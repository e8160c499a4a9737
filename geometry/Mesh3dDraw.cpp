#include <GL/gl.h>

#include "geometry/GlListGroup.h"
#include "geometry/Mesh3d.h"

int CMesh3d::glDraw() {
  if (!m_Show) return 0;

  // display-list mode: rebuild the list when out of date or made in
  // another share group, then call it
  if (m_DisplayListMode) {
    if (!m_ListDone || m_Modified || m_ListGroup != glCurrentListGroup()) glBuildList();
    if (m_ListOpenGL == 0 || !glIsList(m_ListOpenGL)) return 0;
    glCallList(m_ListOpenGL);
    return 1;
  }

  // immediate mode
  DrawContent();
  return 1;
}

int CMesh3d::glBuildList() {
  // a list of another group goes with its own contexts
  if (m_ListOpenGL != 0 && m_ListGroup == glCurrentListGroup()) glDeleteLists(m_ListOpenGL, 1);
  m_ListOpenGL = 0;
  m_ListDone = 0;
  m_ListGroup = glCurrentListGroup();
  if (NbVertex() == 0 || NbFace() == 0) return 0;
  m_ListOpenGL = glGenLists(1);
  if (m_ListOpenGL == 0) return 0;
  glNewList(m_ListOpenGL, GL_COMPILE);
  DrawContent();
  glEndList();
  m_ListDone = 1;
  m_Modified = 0;
  return 1;
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
static void glDrawFacesOneByOne(const CMesh3d* mesh, bool textured) {
  int nf = mesh->NbFace();
  glBegin(GL_TRIANGLES);
  for (int i = 0; i < nf; i++) {
    const CFace3d* f = mesh->GetFace(i);
    if (!f || f->HasNullVertex()) continue;
    if (mesh->m_NormalBinding == 1) glNormal(f->m_Normal);
    if (!mesh->m_UseMeshColor && mesh->m_ColorBinding == 1) glColor(f->m_Color);
    for (int k = 0; k < 3; k++) {
      const CVertex3d* v = f->v(k);
      if (mesh->m_NormalBinding == 0) glNormal(v->m_Normal);
      if (!mesh->m_UseMeshColor && mesh->m_ColorBinding == 0) glColor(v->m_Color);
      if (textured) glTexCoordOfCorner(mesh, i, k);
      glVertex3f(static_cast<float>(v->x), static_cast<float>(v->y), static_cast<float>(v->z));
    }
  }
  glEnd();
}

void CMesh3d::DrawContent() {
  if (!m_Show) return;
  m_Material.glApply();
  glPushMatrix();
  m_Transform.glApply();

  // initial color
  int nf = NbFace();
  if (nf > 0 && GetFace(0)) glColor(GetFace(0)->m_Color);
  if (m_UseMeshColor) glColor(m_Color);
  glPointSize(5.0f);

  // faces, as one indexed call when the mesh allows it
  bool textured = m_pTextureCoordinate && m_pTextureCoordinateIndex && m_IndexTexture >= 0;
  if (!glDrawFacesIndexed(this, textured)) glDrawFacesOneByOne(this, textured);

  // the attached scalar grid
  if (m_ShowGrid && m_pGrid) glDrawGrid(this);

  glPopMatrix();
}
