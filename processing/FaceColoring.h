#pragma once

#include "geometry/Color.h"

class CMesh3d;

// The ten colours that show face flags: a face with flag k is drawn in
// kFlagPalette[k mod 10].
extern const CColor kFlagPalette[10];

// Colours every face by its flag through kFlagPalette (negative flags wrap
// into the palette as positive ones do) and marks the mesh modified.
void ColorFacesByFlag(CMesh3d* mesh);
