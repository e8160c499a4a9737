// SGI image files (".rgb"): a 512-byte big-endian header followed by the
// image. Only verbatim storage of three 8-bit channels is read.

#include "io/TextFile.h"
#include "io/Texture.h"

namespace {

constexpr size_t SGI_HEADER_SIZE = 512;
constexpr uint16_t SGI_MAGIC = 474;

// The header fields the reader uses, in file order.
struct SgiHeader {
  uint16_t magic;
  unsigned char storage;         // 0 verbatim, 1 run-length
  unsigned char bytesPerChannel; // 1 or 2
  uint16_t dimension;
  uint16_t xSize, ySize, zSize;
  uint32_t minimum, maximum;
  uint32_t colormap;
};

SgiHeader ParseSgiHeader(const unsigned char* p) {
  SgiHeader h;
  h.magic = GetBig16(p);
  h.storage = p[2];
  h.bytesPerChannel = p[3];
  h.dimension = GetBig16(p + 4);
  h.xSize = GetBig16(p + 6);
  h.ySize = GetBig16(p + 8);
  h.zSize = GetBig16(p + 10);
  h.minimum = GetBig32(p + 12);
  h.maximum = GetBig32(p + 16);
  // 4 unused bytes and the 80-byte image name
  h.colormap = GetBig32(p + 104);
  return h;
}

int IsReadableSgi(const SgiHeader& h) {
  return h.storage == 0 && h.bytesPerChannel == 1 && h.dimension == 3 && h.zSize == 3 &&
         h.xSize > 0 && h.ySize > 0;
}

} // namespace

int CTexture::ReadRgb(const std::string& fileName) {
  std::string bytes, ignored;
  if (!ReadWholeFile(fileName, bytes, ignored)) {
    // an unreadable SGI file fails without a message
    Free();
    m_Error.clear();
    return 0;
  }
  if (!ReadRgbFromMemory(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()))
    return 0;
  m_FileName = fileName;
  return 1;
}

int CTexture::ReadRgbFromMemory(const unsigned char* data, size_t size) {
  Free();
  m_Error.clear();

  // header
  if (size < 2 || GetBig16(data) != SGI_MAGIC) return Fail("Invalid magic number");
  if (size < SGI_HEADER_SIZE) return Fail("Sorry, unable to read this format");
  const SgiHeader header = ParseSgiHeader(data);
  if (!IsReadableSgi(header)) return Fail("Sorry, unable to read this format");
  if (!Alloc(header.xSize, header.ySize, 24)) return 0;

  // three planes of xSize x ySize bytes, bottom row first
  const size_t plane = static_cast<size_t>(header.xSize) * header.ySize;
  if ((size - SGI_HEADER_SIZE) / 3 < plane) {
    Free();
    return Fail("Error during reading image");
  }
  const unsigned char* bytes = data + SGI_HEADER_SIZE;
  for (int channel = 0; channel < 3; channel++)
    for (unsigned int y = 0; y < m_Height; y++) {
      const unsigned char* source = bytes + channel * plane + static_cast<size_t>(y) * m_Width;
      unsigned char* row = m_pData + static_cast<size_t>(y) * m_WidthByte32;
      for (unsigned int x = 0; x < m_Width; x++) row[3 * x + channel] = source[x];
    }

  // top row first
  FlipVertical();
  return 1;
}
