// A tiling drawn as its tiles: a sphere at each tile (red for face tiles,
// green for vertex tiles) and blue lines to its neighbours, unlit, through
// one display list.

#include <GL/gl.h>
#include <GL/glu.h>

#include "geometry/TilingMesh3d.h"
#include "geometry/render/ObjectDrawers.h"

// Radius of a tile's sphere relative to its size measure.
constexpr double kSphereScale = 0.1;

static void glDrawTiles(const CTilingMesh3d& tiling, GLUquadricObj* quadric) {
  glPushMatrix();
  tiling.m_Transform.glApply();
  for (const auto& tile : tiling.m_ArrayTile) {
    if (tile->IsFaceTile())
      glColor3ub(255, 0, 0);
    else
      glColor3ub(0, 255, 0);
    glPushMatrix();
    glTranslatef(tile->m_Position[0], tile->m_Position[1], tile->m_Position[2]);
    gluSphere(quadric, kSphereScale * tile->SizeMeasure(), 8, 8);
    glPopMatrix();

    glColor3ub(0, 0, 255);
    glLineWidth(3.0f);
    glBegin(GL_LINES);
    for (const CTile3d* n : tile->m_ArrayNeighbor) {
      glVertex3fv(tile->m_Position);
      glVertex3fv(n->m_Position);
    }
    glEnd();
    glLineWidth(1.0f);
    tile->m_Drawn = 1;
  }
  glPopMatrix();
}

int glBuildTiling(const CTilingMesh3d& tiling) {
  if (tiling.m_ArrayTile.empty()) {
    tiling.m_GlList.glRelease();
    return 0;
  }
  GLUquadricObj* quadric = gluNewQuadric();
  if (!quadric) return 0;
  const bool built =
      tiling.m_GlList.glCompile(tiling.m_Revision, false, [&] { glDrawTiles(tiling, quadric); });
  gluDeleteQuadric(quadric);
  return built ? 1 : 0;
}

int glDrawTiling(const CTilingMesh3d& tiling) {
  if (!tiling.m_Show) return 0;
  if (!tiling.m_GlList.IsCurrent(tiling.m_Revision) && !glBuildTiling(tiling)) return 0;
  const GLboolean lighting = glIsEnabled(GL_LIGHTING);
  glDisable(GL_LIGHTING);
  const bool called = tiling.m_GlList.glCall();
  if (lighting) glEnable(GL_LIGHTING);
  return called ? 1 : 0;
}
