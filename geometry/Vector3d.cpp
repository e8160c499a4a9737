#include "geometry/Vector3d.h"

#include <cmath>

#include "geometry/Vertex3d.h"

CVector3d::CVector3d(const CVertex3d* a, const CVertex3d* b)
    : x(b->x - a->x), y(b->y - a->y), z(b->z - a->z) {}

void CVector3d::Set(const CVertex3d* v) {
  Set(v->x, v->y, v->z);
}

void CVector3d::operator^=(const CVector3d& u) {
  *this = *this ^ u;
}

double CVector3d::Length() const {
  return std::sqrt(LengthSquared());
}

void CVector3d::Normalize() {
  double len = Length();
  if (len != 0.0) *this /= len;
}

void CVector3d::SetLength(double s) {
  double len = Length();
  if (len != 0.0) *this *= s / len;
}

CVector3d CVector3d::Cross(const CVector3d& u) const {
  return *this ^ u;
}

CVector3d CVector3d::Reject(const CVector3d& u) const {
  return *this - u * ((*this * u) / (u * u));
}

double CVector3d::Angle(const CVector3d& u) const {
  return std::atan2((*this ^ u).Length(), *this * u);
}

double CVector3d::SignedAngle(const CVector3d& u, const CVector3d& ref, double eps) const {
  CVector3d c = *this ^ u;
  double sine = c.Length();
  if (c * ref <= -eps) sine = -sine;
  return std::atan2(sine, *this * u);
}

CVector3d CVector3d::Rotate(double angle, const CVector3d& axis) const {
  return axis * (*this * axis) + std::sin(angle) * (axis ^ *this) + std::cos(angle) * Reject(axis);
}

CVector3d operator+(const CVector3d& a, const CVector3d& b) {
  return CVector3d(a.x + b.x, a.y + b.y, a.z + b.z);
}
CVector3d operator-(const CVector3d& a, const CVector3d& b) {
  return CVector3d(a.x - b.x, a.y - b.y, a.z - b.z);
}
CVector3d operator*(const CVector3d& a, double s) {
  return CVector3d(a.x * s, a.y * s, a.z * s);
}
CVector3d operator*(double s, const CVector3d& a) {
  return a * s;
}
CVector3d operator^(const CVector3d& a, const CVector3d& b) {
  return CVector3d(a.y * b.z - b.y * a.z, a.z * b.x - b.z * a.x, b.y * a.x - a.y * b.x);
}
double operator*(const CVector3d& a, const CVector3d& b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}
double DotProduct(const CVector3d& a, const CVector3d& b) {
  return a * b;
}
CVector3d CrossProduct(const CVector3d& a, const CVector3d& b) {
  return a ^ b;
}

double AngleBetween(const CVector3d& a, const CVector3d& b) {
  double lengths = a.Length() * b.Length();
  if (lengths == 0.0) return 0.0;
  double s = (a ^ b).Length() / lengths;
  if (s > 1.0) s = 1.0;
  if (s < -1.0) s = -1.0;
  double angle = std::asin(s);
  return (a * b >= 0.0) ? angle : PI_3D - angle;
}
