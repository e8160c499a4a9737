#include "geometry/TextureCopy.h"

#include <cstdlib>

CTextureCopy::CTextureCopy(const CTextureImage& source)
    : m_FileName(source.GetFileName()), m_Width(source.GetWidth()), m_Height(source.GetHeight()),
      m_Depth(source.GetDepth()), m_RowBytes(source.GetRowBytes()), m_Valid(source.IsValid()) {
  // rows of |row bytes| each (a negative step would walk upwards from the
  // first row, which is not a layout this system uses: nothing is copied)
  const unsigned char* pixels = source.GetPixels();
  if (pixels && m_RowBytes > 0)
    m_Pixels.assign(pixels, pixels + static_cast<size_t>(m_RowBytes) * m_Height);
}
