#include "geometry/ImageGrid.h"

std::vector<CImageSample> SampleImageGrid(const CTextureImage& image, int columns, int rows) {
  std::vector<CImageSample> samples;
  const unsigned int width = image.GetWidth(), height = image.GetHeight();
  const unsigned int bytes = image.GetDepth() / 8;
  if (!image.IsValid() || !image.GetPixels() || columns < 1 || rows < 1 || width == 0 ||
      height == 0 || (bytes != 1 && bytes != 3 && bytes != 4))
    return samples;
  samples.resize(static_cast<size_t>(columns) * static_cast<size_t>(rows));
  for (int i = 0; i < rows; i++) {
    const auto y = static_cast<unsigned int>(static_cast<double>(i) / rows * height);
    const unsigned char* row =
        image.GetPixels() + static_cast<size_t>(y) * static_cast<size_t>(image.GetRowBytes());
    for (int j = 0; j < columns; j++) {
      const auto x = static_cast<unsigned int>(static_cast<double>(j) / columns * width);
      const unsigned char* p = row + static_cast<size_t>(x) * bytes;
      CImageSample& s = samples[static_cast<size_t>(i) * columns + j];
      s.r = p[0];
      s.g = bytes == 1 ? p[0] : p[1];
      s.b = bytes == 1 ? p[0] : p[2];
      s.gray = static_cast<unsigned char>((s.r + s.g + s.b) / 3);
    }
  }
  return samples;
}
