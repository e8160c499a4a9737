#include "io/WriteBmp.h"

#include "io/BmpHeader.h"
#include "io/ReplaceFile.h"

void BottomUpBgr(const CRgbImage& image, std::vector<unsigned char>& out) {
  const size_t row = size_t(BmpRowBytes(uint64_t(image.m_Width), 24));
  out.assign(row * size_t(image.m_Height), 0);
  for (int y = 0; y < image.m_Height; y++) {
    const unsigned char* src = image.Pixel(0, image.m_Height - 1 - y);
    unsigned char* dst = out.data() + size_t(y) * row;
    for (int x = 0; x < image.m_Width; x++, src += 3, dst += 3) {
      dst[0] = src[2];
      dst[1] = src[1];
      dst[2] = src[0];
    }
  }
}

int WriteBmp24(const std::string& fileName, const CRgbImage& image, std::string& error) {
  if (image.IsEmpty()) {
    error = "No picture to write";
    return 0;
  }
  std::vector<unsigned char> pixels;
  BottomUpBgr(image, pixels);
  const size_t headers = CBitmapFileHeader::SIZE + CBitmapInfoHeader::SIZE;
  if (pixels.size() > 0x7FFFFFFFu - headers) {
    error = "Picture too large for a bitmap file";
    return 0;
  }
  CBitmapFileHeader file;
  file.bfSize = uint32_t(headers + pixels.size());
  file.bfOffBits = uint32_t(headers);
  CBitmapInfoHeader info;
  info.biWidth = image.m_Width;
  info.biHeight = image.m_Height;
  info.biBitCount = 24;
  info.biSizeImage = uint32_t(pixels.size());
  unsigned char head[CBitmapFileHeader::SIZE + CBitmapInfoHeader::SIZE];
  file.Write(head);
  info.Write(head + CBitmapFileHeader::SIZE);

  CReplaceFile out;
  if (!out.Open(fileName) || !out.Write(head, sizeof(head)) ||
      !out.Write(pixels.data(), pixels.size()) || !out.Commit()) {
    error = "Unable to open file for writing";
    return 0;
  }
  return 1;
}
