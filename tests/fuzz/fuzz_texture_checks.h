#pragma once

// Walks every pixel of a texture a reader accepted, so that a buffer
// shorter than its stated size shows up under the address sanitizer.

#include <cstdlib>
#include <vector>

#include "io/Texture.h"

inline void CheckTexture(CTexture& texture) {
  if (!texture.m_pData) return;
  if (texture.m_WidthByte32 < static_cast<int>(texture.m_Width * (texture.m_Depth / 8)))
    std::abort();
  unsigned int sum = 0;
  for (unsigned int y = 0; y < texture.m_Height; y++)
    sum += texture.GetGray(texture.m_Width - 1, y) + texture.GetGray(0, y);
  const size_t last = static_cast<size_t>(texture.m_WidthByte32) * texture.m_Height - 1;
  sum += texture.m_pData[last];
  texture.SwapRedBlue();
  texture.FlipVertical();
  std::vector<unsigned char> block;
  texture.ToClipboardDIB(block);
  if (sum == 0xFFFFFFFFu) std::abort(); // keeps the reads
}
