#pragma once

// Quad meshes made without a file.

class CQuadMesh;
class CTextureImage;

// The cube of side 2 centred on the origin: the vertices (1, 1, -1),
// (1, 1, 1), (1, -1, 1), (1, -1, -1), (-1, 1, -1), (-1, 1, 1), (-1, -1, 1),
// (-1, -1, -1) in this order and the six quads (V0, V1, V2, V3),
// (V0, V4, V5, V1), (V4, V7, V6, V5), (V7, V3, V2, V6), (V2, V1, V5, V6),
// (V0, V3, V7, V4), normals outwards.
CQuadMesh* MakeQuadBox();

// Dialog "Mushroom".
struct CMushroomParams {
  static constexpr const char* kTitle = "Mushroom";
  double StemRadius = 0.3; // "Stem radius"
  double StemHeight = 1.0; // "Stem height"
  double CapRadius = 1.0;  // "Cap radius"
  double CapHeight = 0.5;  // "Cap height"
  int Steps = 2;           // "Steps": Catmull-Clark steps, 0 … 6
};

// A closed quad mesh of 14 quads: a square stem (its bottom, four sides)
// under a wider square cap (its underside ring, four sides, top), then
// Steps Catmull-Clark steps.
CQuadMesh* MakeMushroom(const CMushroomParams& params);

// Height field of an image as quads: columns x rows vertices (j, gray, i)
// (pixel colours with useColors), one quad (W(i, j), W(i + 1, j),
// W(i + 1, j + 1), W(i, j + 1)) per cell. The pixels are true red, green,
// blue with row 0 at the bottom.
CQuadMesh* QuadMeshFromImage(const CTextureImage& image, int columns, int rows, int useColors);
