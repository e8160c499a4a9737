// CVector3d operations and AngleBetween.

#include <gtest/gtest.h>

#include <cmath>

#include "geometry/Vector3d.h"
#include "geometry/Vertex3d.h"

namespace {

constexpr double kEps = 1e-12;

void ExpectVec(const CVector3d& v, double x, double y, double z, double eps = kEps) {
  EXPECT_NEAR(v.x, x, eps);
  EXPECT_NEAR(v.y, y, eps);
  EXPECT_NEAR(v.z, z, eps);
}

} // namespace

TEST(Vector3d, DefaultIsZeroAndTypeIs5) {
  CVector3d v;
  ExpectVec(v, 0, 0, 0, 0);
  EXPECT_EQ(v.GetType(), 5);
}

TEST(Vector3d, FromTwoVerticesIsBMinusA) {
  CVertex3d a(1, 2, 3), b(4, 6, 8);
  CVector3d v(&a, &b);
  ExpectVec(v, 3, 4, 5, 0);
  CVector3d w;
  w.Set(&b);
  ExpectVec(w, 4, 6, 8, 0);
}

TEST(Vector3d, ArithmeticAndProducts) {
  CVector3d a(1, 2, 3), b(4, 5, 6);
  ExpectVec(a + b, 5, 7, 9);
  ExpectVec(b - a, 3, 3, 3);
  EXPECT_DOUBLE_EQ(a * b, 32.0);
  ExpectVec(a ^ b, -3, 6, -3);
  ExpectVec(a.Cross(b), -3, 6, -3);
  CVector3d c = a;
  c ^= b;
  ExpectVec(c, -3, 6, -3);
  c = a;
  c += b;
  ExpectVec(c, 5, 7, 9);
  c *= 2.0;
  ExpectVec(c, 10, 14, 18);
  EXPECT_DOUBLE_EQ(CVector3d(3, 4, 0).Length(), 5.0);
  EXPECT_DOUBLE_EQ(CVector3d(3, 4, 0).LengthSquared(), 25.0);
}

TEST(Vector3d, NormalizeAndSetLength) {
  CVector3d v(3, 0, 4);
  v.Normalize();
  ExpectVec(v, 0.6, 0, 0.8);
  v.SetLength(10.0);
  ExpectVec(v, 6, 0, 8);
}

TEST(Vector3d, NormalizeAndSetLengthOfZeroLeaveItUnchanged) {
  CVector3d v;
  v.Normalize();
  ExpectVec(v, 0, 0, 0, 0);
  EXPECT_FALSE(std::isnan(v.x));
  v.SetLength(3.0);
  ExpectVec(v, 0, 0, 0, 0);
  EXPECT_FALSE(std::isnan(v.y));
}

TEST(Vector3d, Reject) {
  CVector3d v(1, 2, 3), u(0, 0, 2);
  ExpectVec(v.Reject(u), 1, 2, 0);
  EXPECT_NEAR(v.Reject(CVector3d(1, 1, 0)) * CVector3d(1, 1, 0), 0.0, kEps);
}

TEST(Vector3d, AngleInZeroPi) {
  EXPECT_NEAR(CVector3d(1, 0, 0).Angle(CVector3d(0, 1, 0)), PI_3D / 2, 1e-9);
  EXPECT_NEAR(CVector3d(1, 0, 0).Angle(CVector3d(-1, 0, 0)), M_PI, 1e-12);
  EXPECT_NEAR(CVector3d(1, 0, 0).Angle(CVector3d(2, 0, 0)), 0.0, 1e-12);
}

TEST(Vector3d, AngleBetweenParallelOppositePerpendicular) {
  CVector3d x(1, 0, 0);
  EXPECT_DOUBLE_EQ(AngleBetween(x, CVector3d(5, 0, 0)), 0.0);
  // The literal pi, not M_PI.
  EXPECT_DOUBLE_EQ(AngleBetween(x, CVector3d(-2, 0, 0)), 3.14159265359);
  EXPECT_DOUBLE_EQ(AngleBetween(x, CVector3d(0, 3, 0)), std::asin(1.0));
  EXPECT_NEAR(AngleBetween(x, CVector3d(0, 0, -1)), M_PI / 2, 1e-15);
}

TEST(Vector3d, AngleBetweenZeroVectorIsZero) {
  EXPECT_EQ(AngleBetween(CVector3d(), CVector3d(1, 2, 3)), 0.0);
  EXPECT_EQ(AngleBetween(CVector3d(1, 2, 3), CVector3d()), 0.0);
}

TEST(Vector3d, AngleBetweenObtuse) {
  // 135 degrees: asin gives 45, the negative dot folds it to pi - 45.
  double a = AngleBetween(CVector3d(1, 0, 0), CVector3d(-1, 1, 0));
  EXPECT_NEAR(a, 3.14159265359 - M_PI / 4, 1e-12);
}

TEST(Vector3d, SignedAngle) {
  CVector3d x(1, 0, 0), y(0, 1, 0), z(0, 0, 1);
  EXPECT_NEAR(x.SignedAngle(y, z, 1e-9), M_PI / 2, 1e-12);
  EXPECT_NEAR(y.SignedAngle(x, z, 1e-9), -M_PI / 2, 1e-12);
  // A cross product below eps in magnitude against ref counts as positive.
  CVector3d tiny(1, 1e-12, 0);
  EXPECT_GT(x.SignedAngle(CVector3d(1, -1e-12, 0), z, 1e-6), 0.0);
  EXPECT_GE(tiny.SignedAngle(x, z, 1e-6), 0.0);
  // Exactly -eps is negated.
  CVector3d u(0, -0.5, 0);
  double eps = (x ^ u) * z; // -0.5
  EXPECT_LT(x.SignedAngle(u, z, -eps), 0.0);
}

TEST(Vector3d, RotateAboutUnitAxis) {
  CVector3d z(0, 0, 1);
  ExpectVec(CVector3d(1, 0, 0).Rotate(M_PI / 2, z), 0, 1, 0);
  ExpectVec(CVector3d(1, 0, 2).Rotate(M_PI, z), -1, 0, 2);
  ExpectVec(CVector3d(0, 1, 0).Rotate(M_PI / 2, CVector3d(1, 0, 0)), 0, 0, 1);
  // Length is kept for a unit axis.
  CVector3d axis(1, 1, 1);
  axis.Normalize();
  CVector3d r = CVector3d(1, 2, 3).Rotate(0.7, axis);
  EXPECT_NEAR(r.Length(), CVector3d(1, 2, 3).Length(), 1e-12);
}

TEST(Vector3d, RotateDoesNotNormaliseAxis) {
  // With axis (0, 0, 2): axis (v.axis) doubles the parallel part twice.
  CVector3d r = CVector3d(0, 0, 1).Rotate(0.0, CVector3d(0, 0, 2));
  ExpectVec(r, 0, 0, 4);
}
