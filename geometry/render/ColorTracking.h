#pragma once

#include <GL/gl.h>

#include "geometry/Material.h"

// Draws with the object's material: an object with colours of its own
// keeps colour tracking (its colours light it); one without (all white)
// is drawn with tracking off, so that its material lights it and the
// shading shows. The tracking state is restored afterwards.
template <class Draw>
void glDrawWithMaterial(const CMaterial& material, bool ownColors, Draw draw) {
  const GLboolean tracking = glIsEnabled(GL_COLOR_MATERIAL);
  if (!ownColors) glDisable(GL_COLOR_MATERIAL);
  material.glApply();
  draw();
  if (!ownColors && tracking) glEnable(GL_COLOR_MATERIAL);
}
