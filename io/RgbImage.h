#pragma once

#include <cstddef>
#include <vector>

// A picture of 8-bit red, green, blue pixels, rows from the top down with
// no padding between them.
struct CRgbImage {
  int m_Width = 0;
  int m_Height = 0;
  std::vector<unsigned char> m_Pixels; // 3 * m_Width * m_Height bytes

  void Resize(int width, int height) {
    m_Width = width;
    m_Height = height;
    m_Pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height) * 3, 0);
  }
  bool IsEmpty() const { return m_Width <= 0 || m_Height <= 0; }
  // The three bytes of pixel (x, y), y counted from the top row.
  const unsigned char* Pixel(int x, int y) const {
    return m_Pixels.data() + (static_cast<size_t>(y) * m_Width + x) * 3;
  }
};
