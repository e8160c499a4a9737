// CDIB: creation, loading (core and info headers), saving, pixel addressing,
// palette mapping and block copies; refused files keep the old image.

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

#include "io/Dib.h"
#include "test_texture_samples.h"

using namespace samples;

TEST(Dib, CreateGivesZeroedEightBitRowsAddressedFromTheTop) {
  CDIB dib;
  EXPECT_EQ(dib.Create(0, 3), 0);
  EXPECT_EQ(dib.Create(16385, 1), 0);
  ASSERT_EQ(dib.Create(5, 3), 1);
  EXPECT_EQ(dib.GetWidth(), 5);
  EXPECT_EQ(dib.GetHeight(), 3);
  EXPECT_EQ(dib.GetBitCount(), 8);
  EXPECT_EQ(dib.GetStride(), 8);
  EXPECT_EQ(dib.GetHeader().biSize, 40u);
  EXPECT_EQ(dib.GetHeader().biPlanes, 1);
  EXPECT_EQ(dib.NumColors(), 256);
  // (0, 0) is the first pixel of the last stored row
  EXPECT_EQ(dib.GetPixelAddress(0, 0), dib.GetBits() + 2 * 8);
  EXPECT_EQ(dib.GetPixelAddress(4, 2), dib.GetBits() + 4);
  EXPECT_EQ(dib.GetPixelAddress(5, 0), nullptr);
  EXPECT_EQ(dib.GetPixelAddress(0, -1), nullptr);
  const CDibRect r = dib.GetRect();
  EXPECT_EQ(r.left + r.top, 0);
  EXPECT_EQ(r.right, 5);
  EXPECT_EQ(r.bottom, 3);
}

TEST(Dib, LoadReadsInfoAndCoreHeadersAndSaveRoundTrips) {
  CDIB dib;
  const std::string path = TempPath("gray.dib");
  WriteFile(path, Dib8(7, 3));
  ASSERT_EQ(dib.Load(path), 1);
  EXPECT_EQ(dib.GetWidth(), 7);
  EXPECT_EQ(*dib.GetPixelAddress(6, 0), Pattern(6, 2, 0));
  EXPECT_EQ(dib.GetColorTable()[200].rgbGreen, 200);

  const Bytes core = DibCore8(5, 2);
  ASSERT_EQ(dib.LoadFromMemory(core.data(), core.size()), 1);
  EXPECT_EQ(dib.GetHeader().biSize, 40u);
  EXPECT_EQ(dib.GetWidth(), 5);
  EXPECT_EQ(dib.GetBitCount(), 8);
  EXPECT_EQ(dib.GetColorTable()[3].rgbBlue, 3);
  EXPECT_EQ(dib.GetColorTable()[3].rgbGreen, 252);
  EXPECT_EQ(dib.GetColorTable()[3].rgbRed, 7);
  EXPECT_EQ(*dib.GetPixelAddress(4, 1), Pattern(4, 0, 0));

  const std::string saved = TempPath("saved.dib");
  ASSERT_EQ(dib.Save(saved), 1);
  std::ifstream in(saved, std::ios::binary | std::ios::ate);
  EXPECT_EQ(static_cast<size_t>(in.tellg()), 1078u + 8 * 2);
  CDIB back;
  ASSERT_EQ(back.Load(saved), 1);
  EXPECT_EQ(std::memcmp(back.GetBits(), dib.GetBits(), 16), 0);
  EXPECT_EQ(back.GetColorTable()[3].rgbGreen, 252);
}

TEST(Dib, RefusedFilesReturnZeroAndKeepTheOldImage) {
  const Bytes good = Dib8(6, 4);
  struct Case {
    const char* what;
    size_t keep;
    size_t at;
    uint32_t value;
  };
  const Case cases[] = {
      {"empty", 0, 0, 0},
      {"only file header", 14, 0, 0},
      {"not BM", good.size(), 0, 0x4D42 + 1},
      {"colors used beyond 256", good.size(), 46, 257},
      {"huge colors used", good.size(), 46, 0xFFFFFFFFu},
      {"header size 20", good.size(), 14, 20},
      {"header size beyond file", good.size(), 14, 100000},
      {"compressed", good.size(), 30, 1},
      {"width 0", good.size(), 18, 0},
      {"negative height", good.size(), 22, 0xFFFFFFFCu},
      {"huge width", good.size(), 18, 0x7FFFFFFF},
      {"bits offset past end", good.size(), 10, 0x7FFFFFFF},
      {"bits offset in table", good.size(), 10, 60},
      {"short bits", good.size() - 1, 0, 0},
      {"table cut", 54 + 100, 0, 0},
  };
  CDIB dib;
  ASSERT_EQ(dib.Create(2, 2), 1);
  *dib.GetPixelAddress(1, 1) = 9;
  for (const Case& c : cases) {
    Bytes file(good.begin(), good.begin() + static_cast<long>(c.keep));
    if (c.at == 0 && c.value) PutLittle16(&file[0], static_cast<uint16_t>(c.value));
    if (c.at) PutLittle32(&file[c.at], c.value);
    EXPECT_EQ(dib.LoadFromMemory(file.data(), file.size()), 0) << c.what;
    EXPECT_EQ(dib.GetWidth(), 2) << c.what;
    EXPECT_EQ(*dib.GetPixelAddress(1, 1), 9) << c.what;
  }
  EXPECT_EQ(dib.Load(""), 0);
  EXPECT_EQ(dib.Load(TempPath("no-such.dib")), 0);
}

TEST(Dib, NumColorsAndAttachHonourTheColorsUsedField) {
  Bytes info(CDIB::INFO_SIZE, 0);
  CBitmapInfoHeader h;
  h.biWidth = 4;
  h.biHeight = 2;
  h.biBitCount = 4;
  h.Write(info.data());
  info[40 + 4 * 15 + 2] = 99; // red of entry 15
  info[40 + 4 * 16 + 2] = 55; // beyond a 16-color table
  unsigned char bits[8] = {0};
  CDIB dib;
  ASSERT_EQ(dib.Attach(info.data(), bits), 1);
  EXPECT_EQ(dib.NumColors(), 16);
  EXPECT_EQ(dib.GetColorTable()[15].rgbRed, 99);
  EXPECT_EQ(dib.GetColorTable()[16].rgbRed, 0);
  EXPECT_EQ(dib.GetBits(), bits);
  EXPECT_EQ(dib.m_bMyBits, 0);
  EXPECT_EQ(dib.GetPixelAddress(0, 0), nullptr); // pixel access is 8-bit only

  h.biClrUsed = 3;
  h.Write(info.data());
  ASSERT_EQ(dib.Attach(info.data(), bits), 1);
  EXPECT_EQ(dib.NumColors(), 3);
  h.biClrUsed = 300;
  h.Write(info.data());
  EXPECT_EQ(dib.Attach(info.data(), bits), 0);
  h.biClrUsed = 0;
  h.biBitCount = 24;
  h.Write(info.data());
  ASSERT_EQ(dib.Attach(info.data(), bits), 1);
  EXPECT_EQ(dib.NumColors(), 0);
}

TEST(Dib, MapColorsAndCopyBitsWithTransparencyAndClipping) {
  CDIB source;
  ASSERT_EQ(source.Create(3, 2), 1);
  for (int y = 0; y < 2; y++)
    for (int x = 0; x < 3; x++)
      *source.GetPixelAddress(x, y) = static_cast<unsigned char>(3 * y + x);
  CRgbQuad* table = source.GetColorTable();
  for (int i = 0; i < 256; i++) table[i].rgbRed = static_cast<unsigned char>(i);
  CRgbQuad palette[256];
  for (int i = 0; i < 256; i++) palette[i].rgbRed = static_cast<unsigned char>(255 - i);
  ASSERT_EQ(source.MapColorsToPalette(palette), 1);
  EXPECT_EQ(*source.GetPixelAddress(2, 1), 250);
  EXPECT_EQ(source.GetColorTable()[0].rgbRed, 255);

  CDIB target;
  ASSERT_EQ(target.Create(4, 4), 1);
  std::memset(target.GetBits(), 7, 16);
  EXPECT_EQ(source.CopyBits(&target, 0, 0, 0, 2, 0, 0, -1), 0);
  // pixel value 254 (source (1, 0)) is transparent
  EXPECT_EQ(source.CopyBits(&target, 1, 1, 3, 2, 0, 0, 254), 2);
  EXPECT_EQ(*target.GetPixelAddress(1, 1), 255);
  EXPECT_EQ(*target.GetPixelAddress(2, 1), 7);
  EXPECT_EQ(*target.GetPixelAddress(3, 2), 250);
  // blocks reaching outside either bitmap are clipped
  EXPECT_EQ(source.CopyBits(&target, -1, 3, 3, 2, 0, 0, -1), 1);
  EXPECT_EQ(*target.GetPixelAddress(0, 3), 254);
  EXPECT_EQ(source.CopyBits(&target, 0, 0, 5, 5, 3, 0, -1), 0);
}

TEST(Dib, SaveReportsItsFailures) {
  CDIB dib;
  EXPECT_EQ(dib.Save(TempPath("no-folder/x.dib")), 0);
  EXPECT_EQ(dib.m_Error, "Failed to open file");
  EXPECT_EQ(dib.Save(TempPath("empty.dib")), 0);
  EXPECT_EQ(dib.m_Error, "Failed to save file");
  EXPECT_EQ(dib.Save(""), 0);
  EXPECT_EQ(dib.m_Error, "Failed to open file");
}
