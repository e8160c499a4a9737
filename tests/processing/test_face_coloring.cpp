#include <gtest/gtest.h>

#include "geometry/Mesh3d.h"
#include "processing/FaceColoring.h"
#include "tests/support/TestMeshes.h"

TEST(FaceColoring, FlagsPickPaletteEntriesModuloTenAndNegativeFlagsWrap) {
  CMesh3d* mesh = testmeshes::MakeGrid(2, 2);
  const int flags[] = {0, 1, 9, 10, 23, -1, -10, -11};
  const int entries[] = {0, 1, 9, 0, 3, 9, 0, 9};
  ASSERT_GE(mesh->NbFace(), 8);
  for (int i = 0; i < 8; i++) mesh->GetFace(i)->m_Flag = flags[i];
  unsigned before = mesh->m_Revision;
  ColorFacesByFlag(mesh);
  for (int i = 0; i < 8; i++)
    EXPECT_EQ(mesh->GetFace(i)->m_Color, kFlagPalette[entries[i]]) << "flag " << flags[i];
  EXPECT_NE(mesh->m_Revision, before);
  delete mesh;
}
