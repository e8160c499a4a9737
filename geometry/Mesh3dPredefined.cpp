// Test meshes made without a file: the tetrahedron, the box, the cosine
// and peaks height fields and the height field of an image.

#include <cmath>

#include "geometry/ImageGrid.h"
#include "geometry/Mesh3d.h"

static void AddTriangle(CMesh3d* mesh, int a, int b, int c) {
  mesh->AddFace(new CFace3d(mesh->GetVertex(a), mesh->GetVertex(b), mesh->GetVertex(c)));
}

void CMesh3d::MakeTetrahedron() {
  DeleteContents();
  AddVertex(new CVertex3d(1.5, 0.0, 1.5));
  AddVertex(new CVertex3d(-1.5, 0.0, 1.5));
  AddVertex(new CVertex3d(0.0, 0.0, -1.5));
  AddVertex(new CVertex3d(0.0, 3.0, 0.0));
  AddTriangle(this, 0, 1, 2);
  AddTriangle(this, 0, 2, 3);
  AddTriangle(this, 2, 1, 3);
  AddTriangle(this, 1, 0, 3);
  Rebuild();
}

void CMesh3d::MakeBox(float sx, float sy, float sz) {
  DeleteContents();
  const double hx = sx / 2.0, hy = sy / 2.0, hz = sz / 2.0;
  const double corners[8][3] = {{-hx, -hy, -hz}, {-hx, hy, -hz}, {hx, hy, -hz}, {hx, -hy, -hz},
                                {-hx, -hy, hz},  {-hx, hy, hz},  {hx, hy, hz},  {hx, -hy, hz}};
  for (const auto& c : corners) AddVertex(new CVertex3d(c[0], c[1], c[2]));
  // two triangles per side, with the outward normal stored at creation
  const int faces[12][3] = {{0, 1, 3}, {3, 1, 2}, {0, 4, 1}, {1, 4, 5}, {3, 2, 7}, {7, 2, 6},
                            {4, 0, 3}, {7, 4, 3}, {6, 4, 7}, {6, 5, 4}, {1, 5, 6}, {2, 1, 6}};
  const double normals[6][3] = {{0, 0, -1}, {-1, 0, 0}, {1, 0, 0},
                                {0, -1, 0}, {0, 0, 1},  {0, 1, 0}};
  for (int f = 0; f < 12; f++) {
    AddTriangle(this, faces[f][0], faces[f][1], faces[f][2]);
    const double* n = normals[f / 2];
    GetFace(f)->m_Normal.Set(n[0], n[1], n[2]);
  }
}

// The nz x nx grid of vertices made by height (u, v) -> vertex, cut into
// the triangles (A, B, C) and (A, C, D) per cell.
template <class Height>
static void MakeGridMap(CMesh3d* mesh, int nx, int nz, float min, float max, Height height) {
  mesh->DeleteContents();
  if (nx < 1 || nz < 1) return;
  const float step = (max - min) / static_cast<float>(nx);
  mesh->m_ArrayVertex.Reserve(nx * nz);
  for (int i = 0; i < nz; i++) {
    const float u = min + static_cast<float>(i) * step;
    for (int j = 0; j < nx; j++) {
      const float v = min + static_cast<float>(j) * step;
      mesh->AddVertex(height(u, v));
    }
  }
  mesh->m_ArrayFace.Reserve(2 * (nx - 1) * (nz - 1));
  for (int i = 0; i + 1 < nz; i++)
    for (int j = 0; j + 1 < nx; j++) {
      const int a = i * nx + j, b = i * nx + j + 1, c = (i + 1) * nx + j + 1, d = (i + 1) * nx + j;
      AddTriangle(mesh, a, b, c);
      AddTriangle(mesh, a, c, d);
    }
}

void CMesh3d::MakeCosineMap(int nx, int nz, float min, float max) {
  MakeGridMap(this, nx, nz, min, max,
              [](float u, float v) { return new CVertex3d(u, std::cos(v) * std::cos(u), v); });
}

// The classic peaks surface of two variables.
static float Peaks(float x, float y) {
  return 3.0f * (1.0f - x) * (1.0f - x) * std::exp(-x * x - (y + 1.0f) * (y + 1.0f)) -
         10.0f * (x / 5.0f - x * x * x - std::pow(y, 5.0f)) * std::exp(-x * x - y * y) -
         1.0f / 3.0f * std::exp(-(x + 1.0f) * (x + 1.0f) - y * y);
}

void CMesh3d::MakePeaksMap(int nx, int nz, float min, float max) {
  MakeGridMap(this, nx, nz, min, max,
              [](float x, float z) { return new CVertex3d(x, Peaks(x, z) / 3.0f, z); });
}

void CMesh3d::BuildFromImage(const CTextureImage* texture, int columns, int rows, int useColors) {
  DeleteContents();
  if (!texture) return;
  const std::vector<CImageSample> samples = SampleImageGrid(*texture, columns, rows);
  if (samples.empty()) return;
  m_ArrayVertex.Reserve(columns * rows);
  for (int i = 0; i < rows; i++)
    for (int j = 0; j < columns; j++) {
      const CImageSample& s = samples[static_cast<size_t>(i) * columns + j];
      auto* v = new CVertex3d(j, s.gray, i);
      if (useColors) v->m_Color.Set(s.r, s.g, s.b);
      AddVertex(v);
    }
  auto w = [columns](int i, int j) { return i * columns + j; };
  for (int i = 0; i + 1 < rows; i++)
    for (int j = 0; j + 1 < columns; j++) {
      AddTriangle(this, w(i, j + 1), w(i, j), w(i + 1, j + 1));
      AddTriangle(this, w(i + 1, j + 1), w(i, j), w(i + 1, j));
      if (!useColors) continue;
      GetFace(NbFace() - 2)->m_Color = GetVertex(w(i, j))->m_Color;
      GetFace(NbFace() - 1)->m_Color = GetVertex(w(i, j + 1))->m_Color;
    }
  BuildAdjacency();
  CalculateNormalPerFace();
  CalculateNormalPerVertex();
}
