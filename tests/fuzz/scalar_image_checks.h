#pragma once

// What every run of a scalar-image reader must leave: on failure a message
// and the old image; on success an image of the size read, values of -1 or
// at least 0, and a maximum that no value exceeds.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/side/ScalarImageReaders.h"

template <typename Reader>
void CheckScalarImageReader(const uint8_t* data, size_t size, Reader reader) {
  constexpr int kFuzzMaxSide = 256;
  orvex::CScalarImage image;
  image.Resize(1, 1, 7.0f);
  std::string error;
  const std::string text(reinterpret_cast<const char*>(data), size);
  if (!reader(text, image, error, kFuzzMaxSide)) {
    if (error.empty() || image.m_Width != 1 || image.m_Values[0] != 7.0f) std::abort();
    return;
  }
  if (image.m_Width < 1 || image.m_Height < 1 || image.m_Width > kFuzzMaxSide ||
      image.m_Height > kFuzzMaxSide ||
      image.m_Values.size() != static_cast<size_t>(image.m_Width) * image.m_Height)
    std::abort();
  for (float v : image.m_Values) {
    if (v == orvex::kEmptyPixel) continue;
    if (!(v >= 0.0f) || v > image.m_Maximum) std::abort();
  }
}
