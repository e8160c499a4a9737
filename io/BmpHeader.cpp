#include "io/BmpHeader.h"

uint16_t GetLittle16(const unsigned char* p) {
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t GetLittle32(const unsigned char* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

void PutLittle16(unsigned char* p, uint16_t value) {
  p[0] = static_cast<unsigned char>(value);
  p[1] = static_cast<unsigned char>(value >> 8);
}

void PutLittle32(unsigned char* p, uint32_t value) {
  for (int i = 0; i < 4; i++) p[i] = static_cast<unsigned char>(value >> (8 * i));
}

uint16_t GetBig16(const unsigned char* p) {
  return static_cast<uint16_t>((p[0] << 8) | p[1]);
}

uint32_t GetBig32(const unsigned char* p) {
  return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
         (static_cast<uint32_t>(p[2]) << 8) | static_cast<uint32_t>(p[3]);
}

void CBitmapFileHeader::Read(const unsigned char* p) {
  bfType = GetLittle16(p);
  bfSize = GetLittle32(p + 2);
  bfReserved1 = GetLittle16(p + 6);
  bfReserved2 = GetLittle16(p + 8);
  bfOffBits = GetLittle32(p + 10);
}

void CBitmapFileHeader::Write(unsigned char* p) const {
  PutLittle16(p, bfType);
  PutLittle32(p + 2, bfSize);
  PutLittle16(p + 6, bfReserved1);
  PutLittle16(p + 8, bfReserved2);
  PutLittle32(p + 10, bfOffBits);
}

void CBitmapInfoHeader::Read(const unsigned char* p) {
  biSize = GetLittle32(p);
  biWidth = static_cast<int32_t>(GetLittle32(p + 4));
  biHeight = static_cast<int32_t>(GetLittle32(p + 8));
  biPlanes = GetLittle16(p + 12);
  biBitCount = GetLittle16(p + 14);
  biCompression = GetLittle32(p + 16);
  biSizeImage = GetLittle32(p + 20);
  biXPelsPerMeter = static_cast<int32_t>(GetLittle32(p + 24));
  biYPelsPerMeter = static_cast<int32_t>(GetLittle32(p + 28));
  biClrUsed = GetLittle32(p + 32);
  biClrImportant = GetLittle32(p + 36);
}

void CBitmapInfoHeader::Write(unsigned char* p) const {
  PutLittle32(p, biSize);
  PutLittle32(p + 4, static_cast<uint32_t>(biWidth));
  PutLittle32(p + 8, static_cast<uint32_t>(biHeight));
  PutLittle16(p + 12, biPlanes);
  PutLittle16(p + 14, biBitCount);
  PutLittle32(p + 16, biCompression);
  PutLittle32(p + 20, biSizeImage);
  PutLittle32(p + 24, static_cast<uint32_t>(biXPelsPerMeter));
  PutLittle32(p + 28, static_cast<uint32_t>(biYPelsPerMeter));
  PutLittle32(p + 32, biClrUsed);
  PutLittle32(p + 36, biClrImportant);
}

uint64_t BmpRowBytes(uint64_t width, unsigned int bitCount) {
  return (width * bitCount + 31) / 32 * 4;
}
