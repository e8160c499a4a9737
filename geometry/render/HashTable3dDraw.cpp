// The spatial grid drawn as the boxes of its occupied cells, unlit.

#include <GL/gl.h>

#include "geometry/HashTable3d.h"
#include "geometry/render/ObjectDrawers.h"

// The twelve edges of the box [min, max].
static void glDrawBox(const float min[3], const float max[3]) {
  const float x[2] = {min[0], max[0]}, y[2] = {min[1], max[1]}, z[2] = {min[2], max[2]};
  glBegin(GL_LINES);
  for (int a = 0; a < 2; a++)
    for (int b = 0; b < 2; b++) {
      glVertex3f(x[0], y[a], z[b]);
      glVertex3f(x[1], y[a], z[b]);
      glVertex3f(x[a], y[0], z[b]);
      glVertex3f(x[a], y[1], z[b]);
      glVertex3f(x[a], y[b], z[0]);
      glVertex3f(x[a], y[b], z[1]);
    }
  glEnd();
}

int glDrawHashTable(const CHashTable3d& table) {
  const GLboolean lighting = glIsEnabled(GL_LIGHTING);
  glDisable(GL_LIGHTING);
  glPushMatrix();
  table.Transform().glApply();
  float min[3], max[3];
  for (const CHashTable3d::CellMark& cell : table.Cells()) {
    if (cell.mark == 1)
      glColor3ub(255, 0, 0);
    else
      glColor3ub(255, 255, 0);
    table.CellBox(cell.i, cell.j, cell.k, min, max);
    glDrawBox(min, max);
  }
  glColor3ub(255, 0, 0);
  for (int axis = 0; axis < 3; axis++) table.Range(axis, &min[axis], &max[axis]);
  glDrawBox(min, max);
  glPopMatrix();
  if (lighting) glEnable(GL_LIGHTING);
  return 1;
}
