#pragma once

#include <cstdint>
#include <vector>

class CMesh3d;

namespace orvex {

// Uniform quantization of positions on the bounding box: each axis is
// mapped from [min, max] onto [0, 2^bits - 1] and rounded. The step and
// the minimum travel as single-precision floats; a flat axis (max = min)
// has step 0, codes every coordinate 0 and decodes it to the minimum.
struct CQuantizer {
  int m_Bits = 12;
  float m_Step[3] = {0.0f, 0.0f, 0.0f};
  float m_Min[3] = {0.0f, 0.0f, 0.0f};

  int32_t Largest() const { return (int32_t(1) << m_Bits) - 1; }
  // Fits the box of the positions (x, y, z per vertex) and returns the
  // quantized coordinates.
  std::vector<int32_t> Fit(const std::vector<double>& positions, int bits);
  // Position of quantized coordinates.
  void Dequantize(const int32_t q[3], double out[3]) const {
    for (int k = 0; k < 3; ++k)
      out[k] = static_cast<double>(m_Min[k]) + static_cast<double>(m_Step[k]) * q[k];
  }
};

} // namespace orvex
