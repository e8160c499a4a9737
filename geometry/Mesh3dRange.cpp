#include <cmath>
#include <utility>

#include "geometry/Mesh3d.h"

// Coordinate c (0, 1, 2 = x, y, z) of the current or the saved position;
// any other c reads as 0 and writes nothing.
static double* CurrentCoord(CVertex3d* v, int c) {
  switch (c) {
  case 0:
    return &v->x;
  case 1:
    return &v->y;
  case 2:
    return &v->z;
  default:
    return nullptr;
  }
}

static const double* SavedCoordOf(const CVertexExtra3d& e, int c) {
  switch (c) {
  case 0:
    return &e.sx;
  case 1:
    return &e.sy;
  case 2:
    return &e.sz;
  default:
    return nullptr;
  }
}

// Reading a saved coordinate allocates nothing; writing one gives the vertex
// its side block.
static double* SavedCoord(CVertex3d* v, int c) {
  if (c < 0 || c > 2) return nullptr;
  return const_cast<double*>(SavedCoordOf(v->MutableExtra(), c));
}

static double* ReadSavedCoord(CVertex3d* v, int c) {
  return const_cast<double*>(SavedCoordOf(v->Extra(), c));
}

using CoordAccess = double* (*)(CVertex3d*, int);

// Smallest and largest value of one coordinate, in single precision; both
// 0 for an empty mesh or an unknown coordinate.
static void RangeOf(const CArray3d<CVertex3d>& vertices, int c, CoordAccess access, float& min,
                    float& max) {
  bool first = true;
  min = max = 0.0f;
  for (CVertex3d* v : vertices) {
    if (!v) continue;
    const double* p = access(v, c);
    if (!p) return;
    float value = static_cast<float>(*p);
    if (first || value < min) min = value;
    if (first || value > max) max = value;
    first = false;
  }
}

static void TranslateAll(CArray3d<CVertex3d>& vertices, int c, CoordAccess access, double d) {
  for (CVertex3d* v : vertices)
    if (v)
      if (double* p = access(v, c)) *p += d;
}

static void ScaleAll(CArray3d<CVertex3d>& vertices, int c, CoordAccess access, double s) {
  for (CVertex3d* v : vertices)
    if (v)
      if (double* p = access(v, c)) *p *= s;
}

void CMesh3d::Range(int coord, float* min, float* max) const {
  RangeOf(m_ArrayVertex, coord, CurrentCoord, *min, *max);
}

void CMesh3d::RangeSaved(int coord, float* min, float* max) const {
  RangeOf(m_ArrayVertex, coord, ReadSavedCoord, *min, *max);
}

// Maps coordinate c linearly from its current range onto [newMin, newMax].
// A flat coordinate (max = min) cannot be scaled: it is moved to the middle
// of the new range instead.
void CMesh3d::Range(int coord, float newMin, float newMax) {
  float min, max;
  RangeOf(m_ArrayVertex, coord, CurrentCoord, min, max);
  Translate(coord, -static_cast<double>(min));
  if (max == min) {
    Translate(coord, 0.5 * (static_cast<double>(newMin) + static_cast<double>(newMax)));
    return;
  }
  Scale(coord, (static_cast<double>(newMax) - newMin) / (static_cast<double>(max) - min));
  Translate(coord, newMin);
}

void CMesh3d::Translate(int coord, double d) {
  TranslateAll(m_ArrayVertex, coord, CurrentCoord, d);
  SetModified();
}

void CMesh3d::Scale(int coord, double s) {
  ScaleAll(m_ArrayVertex, coord, CurrentCoord, s);
  SetModified();
}

void CMesh3d::TranslateSaved(int coord, double d) {
  TranslateAll(m_ArrayVertex, coord, SavedCoord, d);
}

void CMesh3d::ScaleSaved(int coord, double s) {
  ScaleAll(m_ArrayVertex, coord, SavedCoord, s);
}

double CMesh3d::BoundingDiagonal() const {
  double sum = 0.0;
  for (int c = 0; c < 3; c++) {
    float min, max;
    Range(c, &min, &max);
    double d = static_cast<double>(max) - min;
    sum += d * d;
  }
  return std::sqrt(sum);
}

double CMesh3d::RmsDisplacement() const {
  int n = 0;
  double sum = 0.0;
  for (const CVertex3d* v : m_ArrayVertex) {
    if (!v) continue;
    const CVertexExtra3d& e = v->Extra();
    double dx = v->x - e.sx, dy = v->y - e.sy, dz = v->z - e.sz;
    sum += dx * dx + dy * dy + dz * dz;
    n++;
  }
  return n ? std::sqrt(sum / n) : 0.0;
}

// 0 when nothing moved; also 0 when the box is flat to a point, where the
// ratio has no meaning.
double CMesh3d::DisplacementDecibels() const {
  double rms = RmsDisplacement();
  if (rms == 0.0) return 0.0;
  double diagonal = BoundingDiagonal();
  if (diagonal == 0.0) return 0.0;
  return 20.0 * std::log10(diagonal / rms);
}

double CMesh3d::DisplacementRatio() const {
  double diagonal = BoundingDiagonal();
  if (diagonal == 0.0) return 0.0;
  return RmsDisplacement() / diagonal;
}

void CMesh3d::SavePositions() {
  for (CVertex3d* v : m_ArrayVertex)
    if (v) v->SavePosition();
}

void CMesh3d::SwapPositions() {
  for (CVertex3d* v : m_ArrayVertex)
    if (v) v->SwapSavedPosition();
  m_PositionsSwapped = !m_PositionsSwapped;
  SetModified();
}
