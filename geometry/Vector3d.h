#pragma once

#include <cmath>

#include "geometry/Object3d.h"

class CVertex3d;

// The constant pi as the geometry code has always used it.
constexpr double PI_3D = 3.14159265359;

// 3D vector of doubles: a plain value of three doubles, without a vtable
// (a vertex's normal and a face's normal and auxiliary vector are stored
// inline, so every byte counts on million-face meshes). A free point of a
// vector set is a CPoint3d (VectorSet3d.h).
class CVector3d {
public:
  double x = 0.0, y = 0.0, z = 0.0;

  CVector3d() = default;
  CVector3d(double vx, double vy, double vz) : x(vx), y(vy), z(vz) {}
  // b - a for two vertex positions.
  CVector3d(const CVertex3d* a, const CVertex3d* b);
  CVector3d(const CVector3d&) = default;
  CVector3d& operator=(const CVector3d&) = default;

  // Object type 5, as for every object kind (not virtual: no vtable).
  int GetType() const { return TYPE_VECTOR3D; }

  void Set(double vx, double vy, double vz) {
    x = vx;
    y = vy;
    z = vz;
  }
  void Set(const CVector3d& v) { Set(v.x, v.y, v.z); }
  void Set(const CVertex3d* v);
  void Copy(const CVector3d& v) { Set(v); }

  void operator+=(const CVector3d& v) {
    x += v.x;
    y += v.y;
    z += v.z;
  }
  void operator-=(const CVector3d& v) {
    x -= v.x;
    y -= v.y;
    z -= v.z;
  }
  void operator*=(double s) {
    x *= s;
    y *= s;
    z *= s;
  }
  void operator/=(double s) {
    x /= s;
    y /= s;
    z /= s;
  }
  // this = this x u
  void operator^=(const CVector3d& u);

  double LengthSquared() const { return x * x + y * y + z * z; }
  double Length() const { return std::sqrt(LengthSquared()); }
  // Divides by the length only when it is non-zero.
  void Normalize() {
    double len = Length();
    if (len != 0.0) *this /= len;
  }
  // Scales to length s only when the length is non-zero.
  void SetLength(double s);

  CVector3d Cross(const CVector3d& u) const;
  // Component orthogonal to u: this - ((this.u)/(u.u)) u.
  CVector3d Reject(const CVector3d& u) const;
  // atan2(|this x u|, this.u) in [0, pi].
  double Angle(const CVector3d& u) const;
  // As Angle, negative when (this x u).ref <= -eps.
  double SignedAngle(const CVector3d& u, const CVector3d& ref, double eps) const;
  // Rodrigues' rotation about axis (assumed unit length, not normalised).
  CVector3d Rotate(double angle, const CVector3d& axis) const;
};

// The arithmetic every geometric loop runs, inline so that it compiles to
// a few instructions at each use.
inline CVector3d operator+(const CVector3d& a, const CVector3d& b) {
  return CVector3d(a.x + b.x, a.y + b.y, a.z + b.z);
}
inline CVector3d operator-(const CVector3d& a, const CVector3d& b) {
  return CVector3d(a.x - b.x, a.y - b.y, a.z - b.z);
}
inline CVector3d operator*(const CVector3d& a, double s) {
  return CVector3d(a.x * s, a.y * s, a.z * s);
}
inline CVector3d operator*(double s, const CVector3d& a) {
  return a * s;
}
// Cross product.
inline CVector3d operator^(const CVector3d& a, const CVector3d& b) {
  return CVector3d(a.y * b.z - b.y * a.z, a.z * b.x - b.z * a.x, b.y * a.x - a.y * b.x);
}
// Dot product.
inline double operator*(const CVector3d& a, const CVector3d& b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}
double DotProduct(const CVector3d& a, const CVector3d& b);
CVector3d CrossProduct(const CVector3d& a, const CVector3d& b);

// Angle between a and b in [0, pi] through asin of the clamped sine; 0 when
// either vector is zero.
double AngleBetween(const CVector3d& a, const CVector3d& b);
