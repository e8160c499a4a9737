#include "processing/FaceColoring.h"

#include "geometry/Mesh3d.h"

const CColor kFlagPalette[10] = {{40, 128, 255},  {255, 128, 84},  {128, 255, 128}, {40, 128, 128},
                                 {128, 128, 128}, {255, 255, 128}, {128, 128, 255}, {255, 128, 192},
                                 {171, 60, 60},   {0, 128, 80}};

void ColorFacesByFlag(CMesh3d* mesh) {
  for (int i = 0; i < mesh->NbFace(); i++) {
    CFace3d* face = mesh->GetFace(i);
    // a negative flag would index before the palette with a plain modulo
    int entry = face->m_Flag % 10;
    if (entry < 0) entry += 10;
    face->m_Color = kFlagPalette[entry];
  }
  mesh->SetModified();
}
