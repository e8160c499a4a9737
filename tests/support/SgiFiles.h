#pragma once

// Writes small uncompressed SGI ".rgb" images (three 8-bit planes, bottom
// row first) for the tiled-picture tests and benchmarks.

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace testsupport {

// A width by height picture whose pixel (x, y) has the colour
// colour(x, y) = {r, g, b}; y counts from the bottom row.
template <typename Colour>
inline bool WriteSgiImage(const std::string& fileName, int width, int height, Colour colour) {
  std::vector<unsigned char> bytes(512, 0);
  auto put16 = [&](std::size_t at, int v) {
    bytes[at] = static_cast<unsigned char>(v >> 8);
    bytes[at + 1] = static_cast<unsigned char>(v);
  };
  put16(0, 474);
  bytes[2] = 0; // verbatim
  bytes[3] = 1; // one byte per channel
  put16(4, 3);
  put16(6, width);
  put16(8, height);
  put16(10, 3);
  bytes[19] = 255; // maximum pixel value
  for (int channel = 0; channel < 3; ++channel)
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) bytes.push_back(colour(x, y)[channel]);
  std::ofstream out(fileName, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

} // namespace testsupport
