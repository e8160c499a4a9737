#pragma once

#include <vector>

#include "geometry/TextureImage.h"

// One sample of an image: its gray value (mean of red, green and blue) and
// its colour.
struct CImageSample {
  unsigned char gray = 0, r = 0, g = 0, b = 0;
};

// columns x rows samples, row by row: sample (i, j) is the pixel
// (trunc(j / columns * width), trunc(i / rows * height)). The pixels are
// taken as true red, green, blue (gray for 8-bit images). Empty when the
// image is not valid or a count is below 1.
std::vector<CImageSample> SampleImageGrid(const CTextureImage& image, int columns, int rows);
