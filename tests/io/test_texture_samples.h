#pragma once

// Small image files built in memory for the texture and palette bitmap
// tests, and written as seeds for the fuzz targets.

#include <string>
#include <vector>

namespace samples {

using Bytes = std::vector<unsigned char>;

// Byte `channel` (0..2) of pixel (x, y) in every generated image.
unsigned char Pattern(unsigned int x, unsigned int y, int channel);

// 24-bit BMP, rows padded to 4 bytes, bottom row first (top row first with
// a negative height when topDown is set). Pixel (x, row) holds Pattern.
Bytes Bmp24(unsigned int width, unsigned int height, bool topDown = false);

// 8-bit palette BMP (gray table); pixel (x, row) = Pattern(x, row, 0).
Bytes Dib8(unsigned int width, unsigned int height);
// Same with an OS/2 12-byte core header and 3-byte color entries.
Bytes DibCore8(unsigned int width, unsigned int height);

// Unpadded rows of width * depth / 8 bytes.
Bytes Raw(unsigned int width, unsigned int height, unsigned int depth);

// SGI verbatim image, 3 channels of 1 byte, file rows bottom first; the
// value of channel c at file row r is Pattern(x, r, c).
Bytes Sgi(unsigned int width, unsigned int height);

// Smooth pattern of the JPEG samples (lossy coding keeps it within a few
// levels): channel 0 grows by 20 per row, channels 1 and 2 are constant.
unsigned char JpegPattern(unsigned int x, unsigned int y, int channel);

// JPEG through libjpeg: RGB (3 components) or gray (1 component) of
// JpegPattern, quality 100.
Bytes Jpeg(unsigned int width, unsigned int height, bool gray);

void WriteFile(const std::string& path, const Bytes& bytes);
std::string TempPath(const std::string& name);

} // namespace samples
