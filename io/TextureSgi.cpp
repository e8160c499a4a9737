// SGI image files (".rgb"): a 512-byte big-endian header followed by the
// image. Only verbatim storage of three 8-bit channels is read.

#include "io/ByteCursor.h"
#include "io/TextFile.h"
#include "io/Texture.h"

namespace {

constexpr size_t SGI_HEADER_SIZE = 512;
constexpr uint16_t SGI_MAGIC = 474;

// The header fields the reader uses, in file order.
struct SgiHeader {
  uint16_t magic = 0;
  uint8_t storage = 0;         // 0 verbatim, 1 run-length
  uint8_t bytesPerChannel = 0; // 1 or 2
  uint16_t dimension = 0;
  uint16_t xSize = 0, ySize = 0, zSize = 0;
  uint32_t minimum = 0, maximum = 0;
  uint32_t colormap = 0;
};

// The header after the magic number; false when the file is shorter than
// the header.
bool ParseSgiHeader(CByteCursor& bytes, SgiHeader& h) {
  bytes.U8(h.storage);
  bytes.U8(h.bytesPerChannel);
  bytes.U16BE(h.dimension);
  bytes.U16BE(h.xSize);
  bytes.U16BE(h.ySize);
  bytes.U16BE(h.zSize);
  bytes.U32BE(h.minimum);
  bytes.U32BE(h.maximum);
  bytes.Skip(4 + 80); // unused, then the image name
  bytes.U32BE(h.colormap);
  return bytes.Seek(SGI_HEADER_SIZE);
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
  CByteCursor cursor(data, size);
  SgiHeader header;
  if (!cursor.U16BE(header.magic) || header.magic != SGI_MAGIC) return Fail("Invalid magic number");
  if (!ParseSgiHeader(cursor, header) || !IsReadableSgi(header))
    return Fail("Sorry, unable to read this format");
  if (!Alloc(header.xSize, header.ySize, 24)) return 0;

  // three planes of xSize x ySize bytes, bottom row first
  const size_t plane = static_cast<size_t>(header.xSize) * header.ySize;
  const unsigned char* bytes = cursor.Items(3, plane);
  if (!bytes) {
    Free();
    return Fail("Error during reading image");
  }
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
