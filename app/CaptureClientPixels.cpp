#include "app/CaptureClientPixels.h"

#include <GL/gl.h>

#include <algorithm>

namespace orvex {

bool CaptureClientPixels(int width, int height, CRgbImage& image) {
  if (width <= 0 || height <= 0) return false;
  image.Resize(width, height);
  // one read of the whole area (GL rows come bottom-up), then the rows swapped
  GLint alignment = 4;
  glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, image.m_Pixels.data());
  glPixelStorei(GL_PACK_ALIGNMENT, alignment);
  const size_t row = size_t(width) * 3;
  for (int y = 0; y < height / 2; y++)
    std::swap_ranges(image.m_Pixels.begin() + long(y * row),
                     image.m_Pixels.begin() + long((y + 1) * row),
                     image.m_Pixels.begin() + long((height - 1 - y) * row));
  return true;
}

} // namespace orvex
