#pragma once

// A scalar image for the data-analysis window: width by height floats in
// which -1 marks an empty pixel, its maximum value, hole filling from the
// neighbours, convolution by an integer kernel and the grey display.

#include <functional>
#include <string>
#include <vector>

#include "io/RgbImage.h"

namespace orvex {

constexpr float kEmptyPixel = -1.0f;

class CScalarImage {
public:
  int m_Width = 0;
  int m_Height = 0;
  float m_Maximum = 0.0f;
  std::vector<float> m_Values; // rows from the top, m_Width per row

  void Resize(int width, int height, float value = kEmptyPixel);
  float& At(int x, int y) { return m_Values[static_cast<std::size_t>(y) * m_Width + x]; }
  float At(int x, int y) const { return m_Values[static_cast<std::size_t>(y) * m_Width + x]; }
  bool IsEmpty() const { return m_Width <= 0 || m_Height <= 0; }

  // One hole-filling pass over a copy: every empty interior pixel with a
  // filled neighbour takes the mean of its filled neighbours. True when a
  // pixel changed.
  bool FillPass();

  // Fills until nothing changes, with the values of repeated passes, but
  // visiting only the front of the holes. `ring` (may be empty) is called
  // after each ring; returns the number of rings that changed pixels.
  int FillRecursive(const std::function<void()>& ring = {});

  // Convolves with a kernelWidth by kernelHeight integer kernel divided by
  // divider; the image is bordered by zeros. 0 with the message in error
  // (the image unchanged) on a bad kernel or divider.
  int Convolve(const std::vector<int>& kernel, int kernelWidth, int kernelHeight, int divider,
               std::string& error);
  int Gaussian3x3(std::string& error);

  // The grey display: every filled pixel gets value / maximum * 255 in all
  // three channels, empty pixels keep their colour. A maximum of 0 or less
  // gives grey 0. The display is resized (black) when its size differs.
  void RefreshDisplay(CRgbImage& display) const;
};

} // namespace orvex
