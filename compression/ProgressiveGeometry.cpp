#include "compression/ProgressiveGeometry.h"

#include <cmath>
#include <cstdlib>

#include "compression/ProgressiveMesh.h"

namespace orvex {

namespace {

struct Vec {
  double x, y, z;
};
Vec At(const int32_t* p) {
  return {double(p[0]), double(p[1]), double(p[2])};
}
Vec Sub(Vec a, Vec b) {
  return {a.x - b.x, a.y - b.y, a.z - b.z};
}
Vec Cross(Vec a, Vec b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double Dot(Vec a, Vec b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}
double Length(Vec a) {
  return std::sqrt(Dot(a, a));
}
Vec FromArray(const double* a) {
  return {a[0], a[1], a[2]};
}
void ToArray(Vec v, double* a) {
  a[0] = v.x;
  a[1] = v.y;
  a[2] = v.z;
}
Vec Position(const CProgressiveMesh& mesh, int v) {
  return At(mesh.Position(v));
}

} // namespace

CPatchFrame PatchFrame(const CProgressiveMesh& mesh, const int* border, int size) {
  CPatchFrame frame;
  // barycenter and Newell normal of the border polygon
  Vec c{0, 0, 0}, n{0, 0, 0};
  for (int i = 0; i < size; ++i) {
    Vec a = Position(mesh, border[i]), b = Position(mesh, border[(i + 1) % size]);
    c = {c.x + a.x, c.y + a.y, c.z + a.z};
    n = {n.x + (a.y - b.y) * (a.z + b.z), n.y + (a.z - b.z) * (a.x + b.x),
         n.z + (a.x - b.x) * (a.y + b.y)};
  }
  c = {c.x / size, c.y / size, c.z / size};
  double ln = Length(n);
  n = ln > 0.0 ? Vec{n.x / ln, n.y / ln, n.z / ln} : Vec{0, 0, 1};
  // first tangent: b0 - barycenter on the plane; a fixed axis when it
  // vanishes there
  Vec d = Sub(Position(mesh, border[0]), c);
  double dn = Dot(d, n);
  Vec t1 = {d.x - dn * n.x, d.y - dn * n.y, d.z - dn * n.z};
  double lt = Length(t1);
  if (!(lt > 1e-9)) {
    Vec axis = std::fabs(n.x) < 0.9 ? Vec{1, 0, 0} : Vec{0, 1, 0};
    double an = Dot(axis, n);
    t1 = {axis.x - an * n.x, axis.y - an * n.y, axis.z - an * n.z};
    lt = Length(t1);
  }
  t1 = {t1.x / lt, t1.y / lt, t1.z / lt};
  Vec t2 = Cross(n, t1);
  double radius = 0.0;
  for (int i = 0; i < size; ++i) radius += Length(Sub(Position(mesh, border[i]), c));
  ToArray(c, frame.m_Center);
  ToArray(n, frame.m_Normal);
  ToArray(t1, frame.m_T1);
  ToArray(t2, frame.m_T2);
  frame.m_MeanRadius = radius / size;
  return frame;
}

void PredictPosition(const CPatchFrame& frame, const int32_t residual[3], int32_t out[3]) {
  for (int k = 0; k < 3; ++k) {
    double v = frame.m_Center[k] + residual[1] * frame.m_T1[k] + residual[2] * frame.m_T2[k] +
               residual[0] * frame.m_Normal[k];
    out[k] = static_cast<int32_t>(std::floor(v + 0.5));
  }
}

bool FindResidual(const CPatchFrame& frame, const int32_t p[3], int32_t largest,
                  int32_t residual[3]) {
  Vec d = Sub(At(p), FromArray(frame.m_Center));
  const double coords[3] = {Dot(d, FromArray(frame.m_Normal)), Dot(d, FromArray(frame.m_T1)),
                            Dot(d, FromArray(frame.m_T2))};
  int32_t base[3];
  for (int k = 0; k < 3; ++k) {
    // positions are at most 2^12 steps from each other, so this fits
    base[k] = static_cast<int32_t>(std::floor(coords[k] + 0.5));
  }
  // the rounded coordinates first, then their neighbours in a fixed order
  for (int trial = 0; trial < 27; ++trial) {
    int32_t r[3];
    if (trial == 0) {
      r[0] = base[0], r[1] = base[1], r[2] = base[2];
    } else {
      int code = trial <= 13 ? trial - 1 : trial; // skips the centre (13)
      r[0] = base[0] + code / 9 - 1;
      r[1] = base[1] + (code / 3) % 3 - 1;
      r[2] = base[2] + code % 3 - 1;
    }
    if (std::abs(r[0]) > largest || std::abs(r[1]) > largest || std::abs(r[2]) > largest) continue;
    int32_t q[3];
    PredictPosition(frame, r, q);
    if (q[0] == p[0] && q[1] == p[1] && q[2] == p[2]) {
      residual[0] = r[0], residual[1] = r[1], residual[2] = r[2];
      return true;
    }
  }
  return false;
}

double PatchDistance(const CPatchFrame& frame, const int32_t r[3]) {
  Vec d = Sub(At(r), FromArray(frame.m_Center));
  double distance = std::fabs(Dot(d, FromArray(frame.m_Normal)));
  return frame.m_MeanRadius > 0.0 ? distance / frame.m_MeanRadius : distance;
}

double PatchVolume(const CProgressiveMesh& mesh, const CPatchFrame& frame, const int* border,
                   const int32_t r[3], const int (*faces)[3], int nbFace) {
  // signed volumes of the tetrahedra (r, new face): their sum is the
  // volume enclosed by the old fan and the new faces
  Vec apex = At(r);
  double volume = 0.0;
  for (int f = 0; f < nbFace; ++f) {
    Vec a = Sub(Position(mesh, border[faces[f][0]]), apex);
    Vec b = Sub(Position(mesh, border[faces[f][1]]), apex);
    Vec c = Sub(Position(mesh, border[faces[f][2]]), apex);
    volume += Dot(a, Cross(b, c)) / 6.0;
  }
  double measure = std::cbrt(std::fabs(volume));
  return frame.m_MeanRadius > 0.0 ? measure / frame.m_MeanRadius : measure;
}

bool BorderIsConvex(const CProgressiveMesh& mesh, const int* border, int size) {
  auto turn = [&](int i) {
    Vec a = Position(mesh, border[i % size]), b = Position(mesh, border[(i + 1) % size]),
        c = Position(mesh, border[(i + 2) % size]);
    return Cross(Sub(b, a), Sub(c, b));
  };
  for (int i = 0; i < size; ++i)
    if (Dot(turn(i), turn(i + 1)) < 0.0) return false;
  return true;
}

bool KeepsOrientation(const CProgressiveMesh& mesh, const int* border, int size, const int32_t r[3],
                      const int (*faces)[3], int nbFace) {
  Vec apex = At(r), fan{0, 0, 0};
  for (int i = 0; i < size; ++i) {
    Vec n = Cross(Sub(Position(mesh, border[i]), apex),
                  Sub(Position(mesh, border[(i + 1) % size]), apex));
    fan = {fan.x + n.x, fan.y + n.y, fan.z + n.z};
  }
  for (int f = 0; f < nbFace; ++f) {
    Vec a = Position(mesh, border[faces[f][0]]);
    Vec n = Cross(Sub(Position(mesh, border[faces[f][1]]), a),
                  Sub(Position(mesh, border[faces[f][2]]), a));
    if (Dot(n, fan) < 0.0) return false;
  }
  return true;
}

} // namespace orvex
