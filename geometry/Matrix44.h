#pragma once

#include <cmath>
#include <cstring>

// Column-major 4x4 matrices of doubles, as OpenGL lays them out.

// out = a * b; out may be a or b.
inline void Matrix44Multiply(const double a[16], const double b[16], double out[16]) {
  double r[16];
  for (int col = 0; col < 4; col++)
    for (int row = 0; row < 4; row++) {
      double sum = 0.0;
      for (int k = 0; k < 4; k++) sum += a[k * 4 + row] * b[col * 4 + k];
      r[col * 4 + row] = sum;
    }
  std::memcpy(out, r, sizeof(r));
}

inline void Matrix44Identity(double m[16]) {
  for (int i = 0; i < 16; i++) m[i] = (i % 5 == 0) ? 1.0 : 0.0;
}

// The matrix glRotate builds for an angle in degrees about a unit axis.
inline void Matrix44Rotation(double degrees, double x, double y, double z, double m[16]) {
  const double radians = degrees * M_PI / 180.0;
  const double c = std::cos(radians), s = std::sin(radians), t = 1.0 - c;
  Matrix44Identity(m);
  m[0] = x * x * t + c;
  m[1] = y * x * t + z * s;
  m[2] = x * z * t - y * s;
  m[4] = x * y * t - z * s;
  m[5] = y * y * t + c;
  m[6] = y * z * t + x * s;
  m[8] = x * z * t + y * s;
  m[9] = y * z * t - x * s;
  m[10] = z * z * t + c;
}
