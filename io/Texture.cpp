#include "io/Texture.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <new>

static unsigned int g_MaxSide = 16384;

CTexture::~CTexture() {
  Free();
}

void CTexture::SetMaxSide(unsigned int side) {
  g_MaxSide = side;
}
unsigned int CTexture::GetMaxSide() {
  return g_MaxSide;
}

int CTexture::Fail(const std::string& message) {
  m_Error = message;
  return 0;
}

//////////////////////////////////////////////////////////////////////
// Storage
//////////////////////////////////////////////////////////////////////

int CTexture::IsValid() const {
  return (m_Depth == 24 || m_Depth == 32) && m_Width != 0 && m_Height != 0 && m_pData != nullptr;
}

void CTexture::Free() {
  delete[] m_pData;
  m_pData = nullptr;
  m_Width = m_Height = m_Depth = 0;
  m_WidthByte32 = 0;
}

int CTexture::Alloc(unsigned int width, unsigned int height, unsigned int depth) {
  Free();
  const int depthAccepted = depth == 8 || depth == 24 || depth == 32;
  if (!depthAccepted || width == 0 || height == 0 || width > g_MaxSide || height > g_MaxSide)
    return Fail("CTexture::Alloc : Insufisant memory");
  // at most 16384 x 4 bytes per row and 16384 rows: fits easily in size_t
  const size_t rowBytes = static_cast<size_t>(BmpRowBytes(width, depth));
  m_pData = new (std::nothrow) unsigned char[rowBytes * height]();
  if (!m_pData) return Fail("CTexture::Alloc : Insufisant memory");
  m_Width = width;
  m_Height = height;
  m_Depth = depth;
  UpdateHeader();
  return 1;
}

void CTexture::UpdateHeader() {
  m_WidthByte32 = static_cast<int>(BmpRowBytes(m_Width, m_Depth));
  m_Header = CBitmapInfoHeader();
  m_Header.biSize = 40;
  m_Header.biWidth = static_cast<int32_t>(m_Width);
  m_Header.biHeight = static_cast<int32_t>(m_Height);
  m_Header.biPlanes = 1;
  m_Header.biBitCount = static_cast<uint16_t>(m_Depth);
  m_Header.biCompression = 0;
  m_Header.biSizeImage = static_cast<uint32_t>(m_WidthByte32) * m_Height;
}

int CTexture::CopyFrom(const unsigned char* source, unsigned int width, unsigned int height,
                       unsigned int depth) {
  if (!source || !Alloc(width, height, depth)) return 0;
  const size_t packed = static_cast<size_t>(width) * (depth / 8);
  for (unsigned int y = 0; y < height; y++)
    std::memcpy(m_pData + static_cast<size_t>(y) * m_WidthByte32, source + y * packed, packed);
  return 1;
}

//////////////////////////////////////////////////////////////////////
// File dispatch
//////////////////////////////////////////////////////////////////////

static int EndsWith(const std::string& text, const std::string& suffix) {
  return text.size() >= suffix.size() &&
         text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

int CTexture::ReadFile(const std::string& fileName, unsigned int width, unsigned int height,
                       unsigned int depth) {
  Free();
  m_FileName = fileName;
  m_Error.clear();
  m_ErrorTitle.clear();
  std::string lower = fileName;
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });

  // the extension picks the reader
  if (EndsWith(lower, ".bmp")) return ReadBmp(fileName);
  if (EndsWith(lower, ".jpg") || EndsWith(lower, ".jpeg")) return ReadJpeg(fileName);
  if (EndsWith(lower, ".raw")) return ReadRaw(fileName, width, height, depth);
  if (EndsWith(lower, ".rgb")) return ReadRgb(fileName);
  return Fail("CTexture::ReadFile : invalid file redirection : " + fileName + "\n");
}

//////////////////////////////////////////////////////////////////////
// Pixels
//////////////////////////////////////////////////////////////////////

unsigned char* CTexture::PixelAt(unsigned int x, unsigned int y) const {
  if (!m_pData || x >= m_Width || y >= m_Height || m_Depth < 8) return nullptr;
  return m_pData + static_cast<size_t>(y) * m_WidthByte32 +
         static_cast<size_t>(x) * BytesPerPixel();
}

void CTexture::SwapRedBlue() {
  if (!IsValid()) return;
  for (unsigned int y = 0; y < m_Height; y++)
    for (unsigned int x = 0; x < m_Width; x++) {
      unsigned char* p = PixelAt(x, y);
      std::swap(p[0], p[2]);
    }
}

void CTexture::FlipVertical() {
  if (!m_pData) return;
  const size_t rowBytes = static_cast<size_t>(m_WidthByte32);
  for (unsigned int i = 0; i < m_Height / 2; i++)
    std::swap_ranges(m_pData + i * rowBytes, m_pData + (i + 1) * rowBytes,
                     m_pData + (m_Height - 1 - i) * rowBytes);
}

unsigned char CTexture::GetGray(unsigned int x, unsigned int y) const {
  const unsigned char* p = PixelAt(x, y);
  if (!p) return 0;
  if (m_Depth == 8) return p[0];
  return static_cast<unsigned char>((p[0] + p[1] + p[2]) / 3);
}

int CTexture::GetColor(unsigned int x, unsigned int y, unsigned char& a, unsigned char& b,
                       unsigned char& c) const {
  const unsigned char* p = PixelAt(x, y);
  if (!p) return 0;
  if (m_Depth == 8) {
    a = b = c = p[0];
  } else {
    a = p[0];
    b = p[1];
    c = p[2];
  }
  return 1;
}

void CTexture::SetColor(unsigned int x, unsigned int y, unsigned char a, unsigned char b,
                        unsigned char c) {
  unsigned char* p = PixelAt(x, y);
  if (!p) return;
  p[0] = a;
  if (m_Depth == 8) return;
  p[1] = b;
  p[2] = c;
}

void CTexture::Fill(unsigned char a, unsigned char b, unsigned char c) {
  for (unsigned int y = 0; y < m_Height; y++)
    for (unsigned int x = 0; x < m_Width; x++) SetColor(x, y, c, b, a);
}

int CTexture::ToClipboardDIB(std::vector<unsigned char>& block) const {
  block.clear();
  if (!IsValid()) return 0;
  const size_t pixels = static_cast<size_t>(m_WidthByte32) * m_Height;
  block.resize(CBitmapInfoHeader::SIZE + pixels);
  m_Header.Write(block.data());
  std::memcpy(block.data() + CBitmapInfoHeader::SIZE, m_pData, pixels);
  return 1;
}
