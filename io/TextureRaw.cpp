// Raw pixel files: width x height pixels of depth / 8 bytes each, rows
// unpadded, no header; the caller gives the size.

#include <cstring>

#include "io/ByteCursor.h"
#include "io/TextFile.h"
#include "io/Texture.h"

int CTexture::ReadRaw(const std::string& fileName, unsigned int width, unsigned int height,
                      unsigned int depth) {
  std::string bytes, ignored;
  if (!ReadWholeFile(fileName, bytes, ignored)) {
    Free();
    return Fail("Unable to open file for reading");
  }
  if (!ReadRawFromMemory(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), width,
                         height, depth))
    return 0;
  m_FileName = fileName;
  return 1;
}

int CTexture::ReadRawFromMemory(const unsigned char* data, size_t size, unsigned int width,
                                unsigned int height, unsigned int depth) {
  m_Error.clear();
  if (!Alloc(width, height, depth)) return Fail("Insuffisant memory");

  // the file holds unpadded rows; each goes to its padded place
  const size_t packed = static_cast<size_t>(width) * (depth / 8);
  const unsigned char* rows = CByteCursor(data, size).Items(height, packed);
  if (!rows) {
    Free();
    return Fail("Error during reading image");
  }
  for (unsigned int y = 0; y < height; y++)
    std::memcpy(m_pData + static_cast<size_t>(y) * m_WidthByte32, rows + y * packed, packed);
  return 1;
}
