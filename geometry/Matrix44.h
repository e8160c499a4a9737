#pragma once

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
