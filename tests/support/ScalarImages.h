#pragma once

// Small scalar images for the data-analysis tests: built from rows of
// values (-1 for empty pixels) or at random with holes, and the plain
// per-pixel fill pass and convolution the fast ones must equal bit for bit.

#include <cstddef>
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

// One fill pass done the plain way: a copy of the image, then every empty
// interior pixel takes the mean of its filled neighbours, summed in double
// in reading order.
inline bool PlainFillPass(orvex::CScalarImage& image) {
  const orvex::CScalarImage before = image;
  bool changed = false;
  for (int y = 1; y < image.m_Height - 1; ++y)
    for (int x = 1; x < image.m_Width - 1; ++x) {
      if (before.At(x, y) != orvex::kEmptyPixel) continue;
      double sum = 0.0;
      int count = 0;
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
          const float v = before.At(x + dx, y + dy);
          if ((dx != 0 || dy != 0) && v != orvex::kEmptyPixel) {
            sum += v;
            ++count;
          }
        }
      if (count > 0) {
        image.At(x, y) = static_cast<float>(sum / count);
        changed = true;
      }
    }
  return changed;
}

// A triangle painted the plain way: every pixel centre of the image tested
// against the three edges (inside or on an edge, either orientation).
inline void PlainFillTriangle(orvex::CScalarImage& image, const double* c, float value) {
  const auto edge = [](double ax, double ay, double bx, double by, double px, double py) {
    return (bx - ax) * (py - ay) - (by - ay) * (px - ax);
  };
  const double area = edge(c[0], c[1], c[2], c[3], c[4], c[5]);
  if (area == 0.0) return;
  const double sign = area > 0.0 ? 1.0 : -1.0;
  for (int y = 0; y < image.m_Height; ++y)
    for (int x = 0; x < image.m_Width; ++x)
      if (sign * edge(c[0], c[1], c[2], c[3], x, y) >= 0.0 &&
          sign * edge(c[2], c[3], c[4], c[5], x, y) >= 0.0 &&
          sign * edge(c[4], c[5], c[0], c[1], x, y) >= 0.0)
        image.At(x, y) = value;
}

// A convolution done the plain way: every pixel's weighted sum in double,
// kernel rows then columns, pixels outside the image read as 0.
inline void PlainConvolve(orvex::CScalarImage& image, const std::vector<int>& kernel,
                          int kernelWidth, int kernelHeight, int divider) {
  const orvex::CScalarImage before = image;
  for (int y = 0; y < image.m_Height; ++y)
    for (int x = 0; x < image.m_Width; ++x) {
      double sum = 0.0;
      for (int ky = 0; ky < kernelHeight; ++ky)
        for (int kx = 0; kx < kernelWidth; ++kx) {
          const int sx = x + kx - kernelWidth / 2, sy = y + ky - kernelHeight / 2;
          const bool inside = sx >= 0 && sy >= 0 && sx < image.m_Width && sy < image.m_Height;
          const float v = inside ? before.At(sx, sy) : 0.0f;
          sum += static_cast<double>(kernel[static_cast<std::size_t>(ky * kernelWidth + kx)]) * v;
        }
      image.At(x, y) = static_cast<float>(sum / divider);
    }
}

} // namespace testsupport
