#pragma once

// Small scalar images for the data-analysis tests: built from rows of
// values (-1 for empty pixels) or at random with holes.

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

} // namespace testsupport
