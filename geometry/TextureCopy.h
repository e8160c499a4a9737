#pragma once

#include <string>
#include <vector>

#include "geometry/TextureImage.h"

// A texture image copied through the CTextureImage interface (name, size,
// depth, row layout, pixels, validity), whatever class the original is: the
// copy a cloned scene owns.
class CTextureCopy : public CTextureImage {
public:
  explicit CTextureCopy(const CTextureImage& source);

  const std::string& GetFileName() const override { return m_FileName; }
  unsigned int GetWidth() const override { return m_Width; }
  unsigned int GetHeight() const override { return m_Height; }
  unsigned int GetDepth() const override { return m_Depth; }
  int GetRowBytes() const override { return m_RowBytes; }
  const unsigned char* GetPixels() const override {
    return m_Pixels.empty() ? nullptr : m_Pixels.data();
  }
  int IsValid() const override { return m_Valid; }

private:
  std::string m_FileName;
  unsigned int m_Width = 0, m_Height = 0, m_Depth = 0;
  int m_RowBytes = 0;
  std::vector<unsigned char> m_Pixels;
  int m_Valid = 0;
};
