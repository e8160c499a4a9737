#include "geometry/Vector3d.h"

#include <cmath>

#include "geometry/Vertex3d.h"

void CVector3d::operator^=(const CVector3d& u) {
  *this = *this ^ u;
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
