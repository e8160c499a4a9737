// Quad meshes made without a file: the cube, the mushroom and the height
// field of an image.

#include "processing/QuadShapes.h"

#include <vector>

#include "geometry/ImageGrid.h"
#include "geometry/QuadMesh.h"
#include "processing/QuadSubdivision.h"

CQuadMesh* MakeQuadBox() {
  const std::vector<float> xyz = {1,  1, -1, 1,  1, 1, 1,  -1, 1, 1,  -1, -1,
                                  -1, 1, -1, -1, 1, 1, -1, -1, 1, -1, -1, -1};
  const std::vector<int> quads = {0, 1, 2, 3, 0, 4, 5, 1, 4, 7, 6, 5,
                                  7, 3, 2, 6, 2, 1, 5, 6, 0, 3, 7, 4};
  return MakeQuadMesh(xyz, quads);
}

CQuadMesh* MakeMushroom(const CMushroomParams& p) {
  const float s = static_cast<float>(p.StemRadius);
  const float c = static_cast<float>(p.CapRadius);
  const float h = static_cast<float>(p.StemHeight);
  const float top = h + static_cast<float>(p.CapHeight);
  // four square rings from the ground up: stem bottom, stem top (under the
  // cap), cap rim at the stem's top, cap rim at the top
  const float rings[4][2] = {{s, 0.0f}, {s, h}, {c, h}, {c, top}};
  const float corners[4][2] = {{1, 1}, {1, -1}, {-1, -1}, {-1, 1}};
  std::vector<float> xyz;
  for (const auto& ring : rings)
    for (const auto& corner : corners) {
      xyz.push_back(ring[0] * corner[0]);
      xyz.push_back(ring[1]);
      xyz.push_back(ring[0] * corner[1]);
    }
  auto at = [](int ring, int k) { return 4 * ring + (k & 3); };
  std::vector<int> quads;
  quads.reserve(14 * 4);
  auto quad = [&quads](int a, int b, int cc, int d) {
    for (int corner : {a, b, cc, d}) quads.push_back(corner);
  };
  // the stem's bottom, facing down
  quad(at(0, 3), at(0, 2), at(0, 1), at(0, 0));
  // the sides between consecutive rings: the stem, the cap's underside, the
  // cap's rim (12 quads), facing outwards
  for (int ring = 0; ring < 3; ring++)
    for (int k = 0; k < 4; k++)
      quad(at(ring, k), at(ring, k + 1), at(ring + 1, k + 1), at(ring + 1, k));
  // the cap's top, facing up
  quad(at(3, 0), at(3, 1), at(3, 2), at(3, 3));
  CQuadMesh* mesh = MakeQuadMesh(xyz, quads);
  for (int step = 0; step < p.Steps; step++) SubdivisionCatmullClark(*mesh);
  return mesh;
}

CQuadMesh* QuadMeshFromImage(const CTextureImage& image, int columns, int rows, int useColors) {
  const std::vector<CImageSample> samples = SampleImageGrid(image, columns, rows);
  auto* mesh = new CQuadMesh;
  if (samples.empty()) return mesh;
  mesh->m_Vertices.reserve(samples.size());
  for (int i = 0; i < rows; i++)
    for (int j = 0; j < columns; j++) {
      const CImageSample& s = samples[static_cast<size_t>(i) * columns + j];
      const int v = mesh->AddVertex(static_cast<float>(j), s.gray, static_cast<float>(i));
      if (useColors) mesh->m_Vertices[v].m_Color.Set(s.r, s.g, s.b);
    }
  auto w = [columns](int i, int j) { return i * columns + j; };
  for (int i = 0; i + 1 < rows; i++)
    for (int j = 0; j + 1 < columns; j++)
      mesh->AddFace(w(i, j), w(i + 1, j), w(i + 1, j + 1), w(i, j + 1));
  mesh->Rebuild();
  return mesh;
}
