#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "io/BmpHeader.h"

// One entry of a bitmap color table, in file order.
struct CRgbQuad {
  unsigned char rgbBlue = 0;
  unsigned char rgbGreen = 0;
  unsigned char rgbRed = 0;
  unsigned char rgbReserved = 0;
};

struct CDibRect {
  int left = 0, top = 0, right = 0, bottom = 0;
};

// Palette bitmap: a 40-byte header with a full 256-entry color table, and
// rows of one palette index per pixel, padded to 4 bytes and stored bottom
// row first. Load also accepts other uncompressed bitmaps (1, 4 or 24 bits);
// the pixel operations (GetPixelAddress, CopyBits, MapColorsToPalette) work
// on 8-bit bitmaps only.
class CDIB {
public:
  static constexpr size_t INFO_SIZE = CBitmapInfoHeader::SIZE + 256 * 4;

  unsigned char* m_pBMI = nullptr;  // header and color table, INFO_SIZE bytes
  unsigned char* m_pBits = nullptr; // pixel rows
  int m_bMyBits = 0;                // the bits belong to this bitmap
  size_t m_BitsSize = 0;            // bytes behind m_pBits when known (owned bits)
  std::string m_Error;

  CDIB();
  CDIB(const CDIB&) = delete;
  CDIB& operator=(const CDIB&) = delete;
  ~CDIB();

  // A zeroed 8-bit bitmap (width and height 1..16384); 0 when refused.
  int Create(int width, int height);
  // Copies the header and its color table (40 + 4 x color count bytes) from
  // info and uses bits without owning them. The caller guarantees that bits
  // hold the rows the header describes. 0 for a header this class refuses.
  int Attach(const unsigned char* info, unsigned char* bits);
  // 2, 16 or 256 for 1, 4 or 8 bits per pixel, else 0; a non-zero
  // colors-used field takes precedence.
  int NumColors() const;

  // Reads a whole ".bmp" / ".dib" file; 0 (keeping the old image) on any
  // short or inconsistent file. An empty name (the file dialog of the
  // desktop application) reads nothing here.
  int Load(const std::string& fileName);
  int LoadFromMemory(const unsigned char* data, size_t size);
  // Writes the file header ("BM", bits offset 1078), the header with the
  // full 256-entry table and the bits. Failures: "Failed to open file",
  // "Failed to save file".
  int Save(const std::string& fileName);
  int SaveToMemory(std::vector<unsigned char>& file) const;

  // Maps each of the 256 colors to the nearest palette entry, rewrites every
  // pixel through that map, then copies the palette into the color table.
  int MapColorsToPalette(const CRgbQuad palette[256]);
  // Pixel (x, y), y counted from the top; null outside or when not 8-bit.
  unsigned char* GetPixelAddress(int x, int y);
  CDibRect GetRect() const;
  // Copies the w x h block at (sx, sy) of this bitmap to (dx, dy) of
  // destination, clipped to both; pixels equal to transparent are skipped
  // unless it is -1. Returns the number of rows copied.
  int CopyBits(CDIB* destination, int dx, int dy, int w, int h, int sx, int sy,
               int transparent) const;

  CBitmapInfoHeader GetHeader() const;
  int GetWidth() const;
  int GetHeight() const;
  int GetBitCount() const;
  // Bytes of one padded row.
  int GetStride() const;
  CRgbQuad* GetColorTable() {
    return reinterpret_cast<CRgbQuad*>(m_pBMI + CBitmapInfoHeader::SIZE);
  }
  unsigned char* GetBits() { return m_pBits; }

private:
  void SetHeader(const CBitmapInfoHeader& header);
  void FreeBits();
  const unsigned char* PixelAddress(int x, int y) const;
};
