#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "geometry/TextureImage.h"
#include "io/BmpHeader.h"

// In-memory RGB image: read from BMP, JPEG, raw and SGI files, uploaded as
// an OpenGL texture by the scene graph, sampled as a height field.
//
// Rows are always stored padded to m_WidthByte32 (row bytes) whatever the
// source, so the pixel buffer is exactly height x row bytes. Byte and row
// order follow the source: BMP keeps blue, green, red with the bottom row
// first; JPEG stores red, green, blue with the top row first; SGI stores its
// three channels in bytes 0, 1, 2 with the top row first; raw keeps the
// file's bytes.
//
// Failures return 0 and leave the message in m_Error (and, for errors
// raised inside the JPEG library, the title "JPEG Fatal Error" in
// m_ErrorTitle); a failed read leaves no image.
class CTexture : public CTextureImage {
public:
  unsigned char* m_pData = nullptr;
  unsigned int m_Width = 0;
  unsigned int m_Height = 0;
  unsigned int m_Depth = 0; // bits per pixel
  std::string m_FileName;
  std::string m_FileName2;
  CBitmapInfoHeader m_Header;
  int m_WidthByte32 = 0; // row bytes
  std::string m_Error;
  std::string m_ErrorTitle;

  CTexture() = default;
  CTexture(const CTexture&) = delete;
  CTexture& operator=(const CTexture&) = delete;
  ~CTexture() override;

  // CTextureImage
  const std::string& GetFileName() const override { return m_FileName; }
  unsigned int GetWidth() const override { return m_Width; }
  unsigned int GetHeight() const override { return m_Height; }
  unsigned int GetDepth() const override { return m_Depth; }
  int GetRowBytes() const override { return m_WidthByte32; }
  const unsigned char* GetPixels() const override { return m_pData; }
  unsigned char* GetData() { return m_pData; }
  // Depth 24 or 32 with non-zero width, height and pixels.
  int IsValid() const override;

  // storage
  // Width and height 1..GetMaxSide(), depth 8, 24 or 32; else (or when
  // memory runs out) "CTexture::Alloc : Insufisant memory" and 0.
  int Alloc(unsigned int width, unsigned int height, unsigned int depth);
  void Free();
  void UpdateHeader();
  // Copies unpadded source rows of width * depth / 8 bytes.
  int CopyFrom(const unsigned char* source, unsigned int width, unsigned int height,
               unsigned int depth);
  const std::string& GetError() const { return m_Error; }

  // Largest width or height any reader or Alloc accepts (default 16384).
  static void SetMaxSide(unsigned int side);
  static unsigned int GetMaxSide();

  // files: dispatch on the extension, then one reader per format; each file
  // reader has an in-memory core taking the whole file's bytes
  int ReadFile(const std::string& fileName, unsigned int width = 0, unsigned int height = 0,
               unsigned int depth = 0);
  int ReadBmp(const std::string& fileName);
  int ReadBmpFromMemory(const unsigned char* data, size_t size);
  int ReadJpeg(const std::string& fileName);
  int ReadJpegFromMemory(const unsigned char* data, size_t size);
  int ReadRaw(const std::string& fileName, unsigned int width, unsigned int height,
              unsigned int depth);
  int ReadRawFromMemory(const unsigned char* data, size_t size, unsigned int width,
                        unsigned int height, unsigned int depth);
  int ReadRgb(const std::string& fileName);
  int ReadRgbFromMemory(const unsigned char* data, size_t size);
  int WriteBmp(const std::string& fileName);

  // pixels; y counts rows in storage order
  void SwapRedBlue();
  void FlipVertical();
  // The byte for 8-bit data, else the mean of the first three bytes; 0
  // outside the image.
  unsigned char GetGray(unsigned int x, unsigned int y) const;
  // The first three bytes in storage order (one byte three times for 8-bit
  // data); 0 outside the image.
  int GetColor(unsigned int x, unsigned int y, unsigned char& a, unsigned char& b,
               unsigned char& c) const;
  // Writes a, b, c in storage order (only a for 8-bit data).
  void SetColor(unsigned int x, unsigned int y, unsigned char a, unsigned char b, unsigned char c);
  // Writes c, b, a as bytes 0, 1, 2 of every pixel: a BMP-ordered image gets
  // the color (a, b, c) as red, green, blue.
  void Fill(unsigned char a, unsigned char b, unsigned char c);

  // The 40-byte header followed by height x row bytes of pixels, as the
  // clipboard's device-independent bitmap format holds it; 0 for an invalid
  // texture.
  int ToClipboardDIB(std::vector<unsigned char>& block) const;

private:
  int Fail(const std::string& message);
  unsigned char* PixelAt(unsigned int x, unsigned int y) const;
  int BytesPerPixel() const { return static_cast<int>(m_Depth / 8); }
};
