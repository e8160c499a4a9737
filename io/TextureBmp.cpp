// BMP (24-bit, uncompressed) reading and writing of CTexture.

#include <algorithm>
#include <climits>
#include <cstring>

#include "io/ByteCursor.h"
#include "io/ReplaceFile.h"
#include "io/TextFile.h"
#include "io/Texture.h"

int CTexture::ReadBmp(const std::string& fileName) {
  std::string bytes, ignored;
  if (!ReadWholeFile(fileName, bytes, ignored)) {
    Free();
    return Fail("Unable to open file for reading");
  }
  if (!ReadBmpFromMemory(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()))
    return 0;
  m_FileName = fileName;
  return 1;
}

int CTexture::ReadBmpFromMemory(const unsigned char* data, size_t size) {
  Free();
  m_Error.clear();

  // file header: type "BM"
  CByteCursor cursor(data, size);
  const unsigned char* file = cursor.Block(CBitmapFileHeader::SIZE);
  if (!file) return Fail("Error during reading file header");
  CBitmapFileHeader fileHeader;
  fileHeader.Read(file);
  if (fileHeader.bfType != BMP_FILE_TYPE) return Fail("Invalid BMP file");

  // information header: one plane of 24-bit uncompressed pixels
  const unsigned char* info = cursor.Block(CBitmapInfoHeader::SIZE);
  if (!info) return Fail("Error during reading image header");
  CBitmapInfoHeader header;
  header.Read(info);
  if (header.biPlanes != 1 || header.biBitCount != 24)
    return Fail("Texture file must have 24 bits depth");
  const int headerShape = header.biSize >= CBitmapInfoHeader::SIZE && header.biCompression == 0;
  const int sizeShape = header.biWidth > 0 && header.biHeight != 0 && header.biHeight != INT_MIN;
  if (!headerShape || !sizeShape) return Fail("Invalid BMP file");
  const uint64_t headersEnd = CBitmapFileHeader::SIZE + static_cast<uint64_t>(header.biSize);
  if (fileHeader.bfOffBits < headersEnd) return Fail("Invalid BMP file");

  // a negative height marks rows stored top first
  const int topDown = header.biHeight < 0;
  const unsigned int width = static_cast<unsigned int>(header.biWidth);
  const unsigned int height =
      static_cast<unsigned int>(topDown ? -header.biHeight : header.biHeight);
  if (!Alloc(width, height, 24)) return Fail("Insuffisant memory");

  // pixel rows: the header's image size is only trusted when it covers them
  const size_t rowBytes = static_cast<size_t>(m_WidthByte32);
  const uint64_t imageSize = std::max<uint64_t>(header.biSizeImage, rowBytes * height);
  const unsigned char* bits = cursor.Seek(fileHeader.bfOffBits) ? cursor.Block(imageSize) : nullptr;
  if (!bits) {
    Free();
    return Fail("Error during reading image");
  }
  for (unsigned int y = 0; y < height; y++) {
    const unsigned int row = topDown ? height - 1 - y : y;
    std::memcpy(m_pData + row * rowBytes, bits + y * rowBytes, rowBytes);
  }
  UpdateHeader();
  return 1;
}

int CTexture::WriteBmp(const std::string& fileName) {
  if (!IsValid() || m_Depth != 24) return 0;
  UpdateHeader();
  const uint32_t imageSize = m_Header.biSizeImage;
  CReplaceFile file;
  if (!file.Open(fileName)) return Fail("Unable to open file for writing");

  // file header
  CBitmapFileHeader fileHeader;
  fileHeader.bfSize = imageSize + 54;
  fileHeader.bfOffBits = 54;
  unsigned char bytes[CBitmapFileHeader::SIZE];
  fileHeader.Write(bytes);
  if (!file.Write(bytes, sizeof bytes)) return Fail("Error during writing file header");

  // information header
  unsigned char info[CBitmapInfoHeader::SIZE];
  m_Header.Write(info);
  if (!file.Write(info, sizeof info)) return Fail("Error during writing image header");

  // pixels
  if (!file.Write(m_pData, imageSize) || !file.Commit()) return Fail("Error during writing image");
  return 1;
}
