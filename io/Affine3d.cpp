#include "io/Affine3d.h"

#include <cmath>

#include "io/MeshBuilder.h"

void CAffine3d::Translate(const float* t, double sign) {
  for (int i = 0; i < 3; i++) m[i][3] += sign * t[i];
}

void CAffine3d::Rotate(const float* r) {
  double x = r[0], y = r[1], z = r[2];
  const double len = std::sqrt(x * x + y * y + z * z);
  if (len == 0.0) return;
  x /= len, y /= len, z /= len;
  const double cs = std::cos(r[3]), sn = std::sin(r[3]), t = 1 - cs;
  const double rot[3][3] = {{t * x * x + cs, t * x * y - sn * z, t * x * z + sn * y},
                            {t * x * y + sn * z, t * y * y + cs, t * y * z - sn * x},
                            {t * x * z - sn * y, t * y * z + sn * x, t * z * z + cs}};
  CAffine3d out;
  for (int i = 0; i < 3; i++)
    for (int j = 0; j < 4; j++)
      out.m[i][j] = rot[i][0] * m[0][j] + rot[i][1] * m[1][j] + rot[i][2] * m[2][j];
  *this = out;
}

void CAffine3d::Scale(const float* s) {
  for (int i = 0; i < 3; i++)
    for (int j = 0; j < 4; j++) m[i][j] *= s[i];
}

void CAffine3d::Transform(const float* translation, const float* rotation, const float* scale,
                          const float* center, const float* scaleOrientation) {
  const float inverse[4] = {scaleOrientation[0], scaleOrientation[1], scaleOrientation[2],
                            -scaleOrientation[3]};
  Translate(center, -1);
  Rotate(inverse);
  Scale(scale);
  Rotate(scaleOrientation);
  Rotate(rotation);
  Translate(center, 1);
  Translate(translation, 1);
}

void CAffine3d::Then(const CAffine3d& after) {
  CAffine3d out;
  for (int i = 0; i < 3; i++)
    for (int j = 0; j < 4; j++) {
      double v = 0;
      for (int k = 0; k < 3; k++) v += m[i][k] * after.m[k][j];
      out.m[i][j] = v + (j == 3 ? m[i][3] : 0.0);
    }
  *this = out;
}

bool CAffine3d::IsIdentity() const {
  const CAffine3d identity;
  for (int i = 0; i < 3; i++)
    for (int j = 0; j < 4; j++)
      if (m[i][j] != identity.m[i][j]) return false;
  return true;
}

void CAffine3d::Apply(float* p) const {
  const double x = p[0], y = p[1], z = p[2];
  for (int k = 0; k < 3; k++)
    p[k] = NarrowToFloat(m[k][0] * x + m[k][1] * y + m[k][2] * z + m[k][3]);
}
