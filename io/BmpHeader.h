#pragma once

#include <cstddef>
#include <cstdint>

// Byte-order helpers for binary image headers.
uint16_t GetLittle16(const unsigned char* p);
uint32_t GetLittle32(const unsigned char* p);
void PutLittle16(unsigned char* p, uint16_t value);
void PutLittle32(unsigned char* p, uint32_t value);
uint16_t GetBig16(const unsigned char* p);
uint32_t GetBig32(const unsigned char* p);

// Type field of a bitmap file header: "BM".
constexpr uint16_t BMP_FILE_TYPE = 19778;

// The 14-byte file header of a ".bmp" / ".dib" file.
struct CBitmapFileHeader {
  static constexpr size_t SIZE = 14;
  uint16_t bfType = BMP_FILE_TYPE;
  uint32_t bfSize = 0;
  uint16_t bfReserved1 = 0;
  uint16_t bfReserved2 = 0;
  uint32_t bfOffBits = 0;

  void Read(const unsigned char* p);
  void Write(unsigned char* p) const;
};

// The 40-byte bitmap information header (little-endian on disk).
struct CBitmapInfoHeader {
  static constexpr size_t SIZE = 40;
  uint32_t biSize = 40;
  int32_t biWidth = 0;
  int32_t biHeight = 0;
  uint16_t biPlanes = 1;
  uint16_t biBitCount = 0;
  uint32_t biCompression = 0;
  uint32_t biSizeImage = 0;
  int32_t biXPelsPerMeter = 0;
  int32_t biYPelsPerMeter = 0;
  uint32_t biClrUsed = 0;
  uint32_t biClrImportant = 0;

  void Read(const unsigned char* p);
  void Write(unsigned char* p) const;
};

// Bytes of one row of `width` pixels at `bitCount` bits, padded to a
// multiple of 4.
uint64_t BmpRowBytes(uint64_t width, unsigned int bitCount);
