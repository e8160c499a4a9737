// Builders of small image files, and the test that reads every seed back
// (and writes the fuzz seed corpus when ORVEX_CORPUS_DIR is set).

#include "test_texture_samples.h"

#include <gtest/gtest.h>
#include <jpeglib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sys/stat.h>

#include "io/BmpHeader.h"
#include "io/Dib.h"
#include "io/Texture.h"

namespace samples {

unsigned char Pattern(unsigned int x, unsigned int y, int channel) {
  return static_cast<unsigned char>(x * 37 + y * 11 + channel * 85);
}

unsigned char JpegPattern(unsigned int, unsigned int y, int channel) {
  const unsigned char constant[3] = {0, 128, 220};
  return channel == 0 ? static_cast<unsigned char>(40 + 20 * (y % 8)) : constant[channel];
}

static void FileHeader(Bytes& b, uint32_t offset) {
  CBitmapFileHeader h;
  h.bfSize = static_cast<uint32_t>(b.size());
  h.bfOffBits = offset;
  h.Write(b.data());
}

static void InfoHeader(Bytes& b, int32_t width, int32_t height, uint16_t bits, uint32_t image) {
  CBitmapInfoHeader h;
  h.biWidth = width;
  h.biHeight = height;
  h.biBitCount = bits;
  h.biSizeImage = image;
  h.Write(b.data() + 14);
}

Bytes Bmp24(unsigned int width, unsigned int height, bool topDown) {
  const size_t row = BmpRowBytes(width, 24);
  Bytes b(54 + row * height, 0);
  FileHeader(b, 54);
  InfoHeader(b, static_cast<int32_t>(width),
             topDown ? -static_cast<int32_t>(height) : static_cast<int32_t>(height), 24,
             static_cast<uint32_t>(row * height));
  for (unsigned int r = 0; r < height; r++) {
    // stored row r is image row r (bottom first), or height-1-r when top-down
    const unsigned int imageRow = topDown ? height - 1 - r : r;
    for (unsigned int x = 0; x < width; x++)
      for (int c = 0; c < 3; c++) b[54 + r * row + 3 * x + c] = Pattern(x, imageRow, c);
  }
  return b;
}

Bytes Dib8(unsigned int width, unsigned int height) {
  const size_t row = BmpRowBytes(width, 8);
  Bytes b(54 + 1024 + row * height, 0);
  FileHeader(b, 1078);
  InfoHeader(b, static_cast<int32_t>(width), static_cast<int32_t>(height), 8, 0);
  for (int i = 0; i < 256; i++)
    for (int c = 0; c < 3; c++) b[54 + 4 * i + c] = static_cast<unsigned char>(i);
  for (unsigned int r = 0; r < height; r++)
    for (unsigned int x = 0; x < width; x++) b[1078 + r * row + x] = Pattern(x, r, 0);
  return b;
}

Bytes DibCore8(unsigned int width, unsigned int height) {
  const size_t row = BmpRowBytes(width, 8);
  const uint32_t offset = 14 + 12 + 3 * 256;
  Bytes b(offset + row * height, 0);
  FileHeader(b, offset);
  PutLittle32(&b[14], 12);
  PutLittle16(&b[18], static_cast<uint16_t>(width));
  PutLittle16(&b[20], static_cast<uint16_t>(height));
  PutLittle16(&b[22], 1);
  PutLittle16(&b[24], 8);
  for (int i = 0; i < 256; i++) {
    b[26 + 3 * i] = static_cast<unsigned char>(i);           // blue
    b[26 + 3 * i + 1] = static_cast<unsigned char>(255 - i); // green
    b[26 + 3 * i + 2] = 7;                                   // red
  }
  for (unsigned int r = 0; r < height; r++)
    for (unsigned int x = 0; x < width; x++) b[offset + r * row + x] = Pattern(x, r, 0);
  return b;
}

Bytes Raw(unsigned int width, unsigned int height, unsigned int depth) {
  const unsigned int bpp = depth / 8;
  Bytes b(static_cast<size_t>(width) * height * bpp);
  for (unsigned int y = 0; y < height; y++)
    for (unsigned int x = 0; x < width; x++)
      for (unsigned int c = 0; c < bpp; c++)
        b[(y * width + x) * bpp + c] = Pattern(x, y, static_cast<int>(c));
  return b;
}

Bytes Sgi(unsigned int width, unsigned int height) {
  Bytes b(512 + 3 * static_cast<size_t>(width) * height, 0);
  b[0] = 0x01;
  b[1] = 0xDA; // 474
  b[2] = 0;    // verbatim
  b[3] = 1;    // one byte per channel
  b[5] = 3;    // dimension
  b[6] = static_cast<unsigned char>(width >> 8);
  b[7] = static_cast<unsigned char>(width);
  b[8] = static_cast<unsigned char>(height >> 8);
  b[9] = static_cast<unsigned char>(height);
  b[11] = 3; // channels
  b[19] = 255;
  const size_t plane = static_cast<size_t>(width) * height;
  for (int c = 0; c < 3; c++)
    for (unsigned int r = 0; r < height; r++)
      for (unsigned int x = 0; x < width; x++)
        b[512 + c * plane + r * width + x] = Pattern(x, r, c);
  return b;
}

Bytes Jpeg(unsigned int width, unsigned int height, bool gray) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr error;
  cinfo.err = jpeg_std_error(&error);
  jpeg_create_compress(&cinfo);
  unsigned char* out = nullptr;
  unsigned long outSize = 0;
  jpeg_mem_dest(&cinfo, &out, &outSize);
  cinfo.image_width = width;
  cinfo.image_height = height;
  cinfo.input_components = gray ? 1 : 3;
  cinfo.in_color_space = gray ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 100, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<unsigned char> line(static_cast<size_t>(width) * cinfo.input_components);
  while (cinfo.next_scanline < cinfo.image_height) {
    for (unsigned int x = 0; x < width; x++)
      for (int c = 0; c < cinfo.input_components; c++)
        line[x * cinfo.input_components + c] = JpegPattern(x, cinfo.next_scanline, c);
    JSAMPROW row = line.data();
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  Bytes b(out, out + outSize);
  jpeg_destroy_compress(&cinfo);
  std::free(out);
  return b;
}

void WriteFile(const std::string& path, const Bytes& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

std::string TempPath(const std::string& name) {
  return ::testing::TempDir() + name;
}

} // namespace samples

using namespace samples;

namespace {

struct Seed {
  std::string folder;
  std::string name;
  Bytes bytes;
};

std::vector<Seed> Seeds() {
  std::vector<Seed> seeds = {
      {"bmp", "1x1.bmp", Bmp24(1, 1)},
      {"bmp", "5x3.bmp", Bmp24(5, 3)},
      {"bmp", "3x4_topdown.bmp", Bmp24(3, 4, true)},
      {"dib", "1x1.dib", Dib8(1, 1)},
      {"dib", "7x3.dib", Dib8(7, 3)},
      {"dib", "5x2_core.dib", DibCore8(5, 2)},
      {"jpeg", "1x1.jpg", Jpeg(1, 1, false)},
      {"jpeg", "9x5.jpg", Jpeg(9, 5, false)},
      {"jpeg", "5x3_gray.jpg", Jpeg(5, 3, true)},
      {"raw", "3x2x24.raw", Raw(3, 2, 24)},
      {"raw", "1x1x8.raw", Raw(1, 1, 8)},
      {"sgi", "1x1.rgb", Sgi(1, 1)},
      {"sgi", "5x3.rgb", Sgi(5, 3)},
  };
  // the raw fuzz target takes width, height and depth from its first bytes
  for (Seed& s : seeds)
    if (s.folder == "raw") {
      const bool eight = s.name.find("x8") != std::string::npos;
      Bytes prefix = eight ? Bytes{0, 0, 0} : Bytes{2, 1, 1};
      s.bytes.insert(s.bytes.begin(), prefix.begin(), prefix.end());
    }
  return seeds;
}

// Reads a seed the way its fuzz target does.
int ReadsBack(const Seed& seed) {
  const unsigned char* data = seed.bytes.data();
  const size_t size = seed.bytes.size();
  CTexture texture;
  if (seed.folder == "bmp") return texture.ReadBmpFromMemory(data, size);
  if (seed.folder == "jpeg") return texture.ReadJpegFromMemory(data, size);
  if (seed.folder == "sgi") return texture.ReadRgbFromMemory(data, size);
  if (seed.folder == "raw") {
    const unsigned int depth[3] = {8, 24, 32};
    return texture.ReadRawFromMemory(data + 3, size - 3, 1u + data[0] % 64, 1u + data[1] % 64,
                                     depth[data[2] % 3]);
  }
  CDIB dib;
  return dib.LoadFromMemory(data, size);
}

} // namespace

TEST(TextureSeeds, EverySeedReadsBackAndIsWrittenOnRequest) {
  const char* corpus = std::getenv("ORVEX_CORPUS_DIR");
  for (const Seed& seed : Seeds()) {
    EXPECT_EQ(ReadsBack(seed), 1) << seed.name;
    if (!corpus) continue;
    const std::string folder = std::string(corpus) + "/" + seed.folder;
    mkdir(folder.c_str(), 0755);
    WriteFile(folder + "/" + seed.name, seed.bytes);
  }
}
