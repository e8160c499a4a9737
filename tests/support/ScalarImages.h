#pragma once

// Small scalar images for the data-analysis tests: built from rows of
// values (-1 for empty pixels) or at random with holes.

#include <cmath>
#include <random>
#include <vector>

#include "app/side/ScalarImage.h"

namespace testsupport {

inline orvex::CScalarImage ScalarImageFromRows(const std::vector<std::vector<float>>& rows) {
  orvex::CScalarImage image;
  image.Resize(rows.empty() ? 0 : static_cast<int>(rows[0].size()), static_cast<int>(rows.size()));
  for (int y = 0; y < image.m_Height; ++y)
    for (int x = 0; x < image.m_Width; ++x) image.At(x, y) = rows[y][x];
  return image;
}

// A width by height image whose pixels are empty with probability
// emptyShare, otherwise a value in 0 .. 100.
inline orvex::CScalarImage RandomScalarImage(int width, int height, double emptyShare,
                                             unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<float> value(0.0f, 100.0f);
  std::bernoulli_distribution empty(emptyShare);
  orvex::CScalarImage image;
  image.Resize(width, height);
  for (float& v : image.m_Values) v = empty(random) ? orvex::kEmptyPixel : value(random);
  image.m_Maximum = 100.0f;
  return image;
}

// Every pixel's weighted sum in double, kernel rows then columns, pixels
// outside the image read as 0.
inline void PlainConvolve(orvex::CScalarImage& image, const std::vector<int>& kernel, int kw,
                          int kh, int divider) {
  const orvex::CScalarImage in = image;
  for (int y = 0; y < in.m_Height; ++y)
    for (int x = 0; x < in.m_Width; ++x) {
      double sum = 0.0;
      for (int ky = 0; ky < kh; ++ky)
        for (int kx = 0; kx < kw; ++kx) {
          const int sx = x + kx - kw / 2, sy = y + ky - kh / 2;
          const bool inside = sx >= 0 && sy >= 0 && sx < in.m_Width && sy < in.m_Height;
          sum += static_cast<double>(kernel[ky * kw + kx]) * (inside ? in.At(sx, sy) : 0.0f);
        }
      image.At(x, y) = static_cast<float>(sum / divider);
    }
}

// Every pixel centre inside or on an edge of the triangle, either
// orientation, takes the value.
inline void PlainFillTriangle(orvex::CScalarImage& image, const double* c, float value) {
  const auto side = [&](int i, int j, double px, double py) {
    return (c[j] - c[i]) * (py - c[i + 1]) - (c[j + 1] - c[i + 1]) * (px - c[i]);
  };
  const double area = side(0, 2, c[4], c[5]), s = std::copysign(1.0, area);
  for (int y = 0; y < image.m_Height; ++y)
    for (int x = 0; x < image.m_Width; ++x)
      if (area != 0.0 && s * side(0, 2, x, y) >= 0.0 && s * side(2, 4, x, y) >= 0.0 &&
          s * side(4, 0, x, y) >= 0.0)
        image.At(x, y) = value;
}

} // namespace testsupport
