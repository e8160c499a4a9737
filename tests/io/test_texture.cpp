// CTexture: storage, pixel access, extension dispatch and the readers and
// writer of every format, with their error texts.

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "io/Texture.h"
#include "test_texture_samples.h"

using namespace samples;

namespace {

// Byte c of pixel (x, y) as stored.
unsigned char At(const CTexture& t, unsigned int x, unsigned int y, int c) {
  return t.m_pData[static_cast<size_t>(y) * t.m_WidthByte32 + 3 * x + c];
}

const unsigned char* Data(const Bytes& b) {
  return b.data();
}

// Restores the default size limit after a test that lowers it.
struct MaxSideGuard {
  ~MaxSideGuard() { CTexture::SetMaxSide(16384); }
};

} // namespace

TEST(Texture, AllocPadsRowsAndRefusesImpossibleSizes) {
  CTexture t;
  ASSERT_EQ(t.Alloc(5, 2, 24), 1);
  EXPECT_EQ(t.m_WidthByte32, 16);
  EXPECT_EQ(t.m_Header.biSizeImage, 32u);
  EXPECT_EQ(t.m_Header.biWidth, 5);
  EXPECT_EQ(t.m_Header.biHeight, 2);
  EXPECT_EQ(t.m_Header.biBitCount, 24);
  EXPECT_EQ(t.m_Header.biSize, 40u);
  EXPECT_TRUE(t.IsValid());
  ASSERT_EQ(t.Alloc(4, 1, 24), 1);
  EXPECT_EQ(t.m_WidthByte32, 12);
  ASSERT_EQ(t.Alloc(3, 1, 32), 1);
  EXPECT_EQ(t.m_WidthByte32, 12);
  ASSERT_EQ(t.Alloc(3, 1, 8), 1);
  EXPECT_EQ(t.m_WidthByte32, 4);
  EXPECT_FALSE(t.IsValid()); // 8-bit data is not a texture

  for (unsigned int bad : {0u, 16385u, 0xFFFFFFFFu}) {
    EXPECT_EQ(t.Alloc(bad, 1, 24), 0);
    EXPECT_EQ(t.Alloc(1, bad, 24), 0);
  }
  EXPECT_EQ(t.Alloc(2, 2, 16), 0);
  EXPECT_EQ(t.GetError(), "CTexture::Alloc : Insufisant memory");
  EXPECT_EQ(t.m_pData, nullptr);
  EXPECT_EQ(t.m_Width, 0u);
}

TEST(Texture, PixelAccessFollowsStorageOrderAndStaysInside) {
  CTexture t;
  ASSERT_EQ(t.Alloc(3, 2, 24), 1);
  t.Fill(10, 20, 30); // red, green, blue of a BMP-ordered image
  EXPECT_EQ(At(t, 2, 1, 0), 30);
  EXPECT_EQ(At(t, 2, 1, 2), 10);
  t.SetColor(1, 0, 3, 6, 9);
  unsigned char a, b, c;
  ASSERT_EQ(t.GetColor(1, 0, a, b, c), 1);
  EXPECT_EQ(a + 10 * b + 100 * c, 3 + 60 + 900);
  EXPECT_EQ(t.GetGray(1, 0), 6);
  EXPECT_EQ(t.GetColor(3, 0, a, b, c), 0);
  EXPECT_EQ(t.GetGray(0, 2), 0);
  t.SetColor(99, 99, 1, 1, 1); // ignored

  t.SwapRedBlue();
  EXPECT_EQ(At(t, 1, 0, 0), 9);
  EXPECT_EQ(At(t, 1, 0, 2), 3);
  t.FlipVertical();
  EXPECT_EQ(At(t, 1, 1, 0), 9);
  EXPECT_EQ(At(t, 1, 0, 0), 10);

  CTexture gray;
  ASSERT_EQ(gray.Alloc(2, 1, 8), 1);
  gray.SetColor(1, 0, 77, 1, 1);
  EXPECT_EQ(gray.GetGray(1, 0), 77);
  ASSERT_EQ(gray.GetColor(1, 0, a, b, c), 1);
  EXPECT_EQ(b, 77);
  EXPECT_EQ(gray.m_pData[2], 0); // neighbour untouched
}

TEST(Texture, CopyFromPadsRowsAndClipboardBlockHasHeaderAndRows) {
  const Bytes raw = Raw(3, 2, 24);
  CTexture t;
  ASSERT_EQ(t.CopyFrom(raw.data(), 3, 2, 24), 1);
  EXPECT_EQ(At(t, 0, 1, 0), raw[9]);
  EXPECT_EQ(At(t, 2, 1, 2), raw[17]);
  std::vector<unsigned char> block;
  ASSERT_EQ(t.ToClipboardDIB(block), 1);
  ASSERT_EQ(block.size(), 40u + 2 * 12);
  EXPECT_EQ(block[0], 40);
  EXPECT_EQ(block[4], 3);
  EXPECT_EQ(block[40 + 12], raw[9]);
  CTexture empty;
  EXPECT_EQ(empty.ToClipboardDIB(block), 0);
  EXPECT_TRUE(block.empty());
}

TEST(Texture, ReadFileDispatchesOnTheExtension) {
  CTexture t;
  EXPECT_EQ(t.ReadFile("picture.gif"), 0);
  EXPECT_EQ(t.GetError(), "CTexture::ReadFile : invalid file redirection : picture.gif\n");
  EXPECT_EQ(t.m_FileName, "picture.gif");
  EXPECT_EQ(t.ReadFile("a"), 0);
  EXPECT_EQ(t.GetError(), "CTexture::ReadFile : invalid file redirection : a\n");

  const std::string missing = TempPath("missing");
  EXPECT_EQ(t.ReadFile(missing + ".BMP"), 0);
  EXPECT_EQ(t.GetError(), "Unable to open file for reading");
  EXPECT_EQ(t.ReadFile(missing + ".jpeg"), 0);
  EXPECT_EQ(t.GetError(), "JPEG :\nCan't open " + missing + ".jpeg\n");
  EXPECT_EQ(t.ReadFile(missing + ".Jpg"), 0);
  EXPECT_EQ(t.GetError(), "JPEG :\nCan't open " + missing + ".Jpg\n");
  EXPECT_EQ(t.ReadFile(missing + ".raw", 2, 2, 24), 0);
  EXPECT_EQ(t.GetError(), "Unable to open file for reading");
  EXPECT_EQ(t.ReadFile(missing + ".rgb"), 0);
  EXPECT_EQ(t.GetError(), ""); // an SGI file that cannot be opened fails silently

  const std::string path = TempPath("dispatch.bmp");
  WriteFile(path, Bmp24(2, 2));
  ASSERT_EQ(t.ReadFile(path), 1);
  EXPECT_EQ(t.m_FileName, path);
  EXPECT_EQ(t.m_Width, 2u);
}

TEST(TextureBmp, WriteThenReadKeepsEveryRowForOddAndTinySizes) {
  for (unsigned int width : {1u, 2u, 3u, 5u, 7u})
    for (unsigned int height : {1u, 3u}) {
      CTexture t;
      ASSERT_EQ(t.CopyFrom(Raw(width, height, 24).data(), width, height, 24), 1);
      const std::string path = TempPath("round.bmp");
      ASSERT_EQ(t.WriteBmp(path), 1);
      std::ifstream in(path, std::ios::binary | std::ios::ate);
      EXPECT_EQ(static_cast<size_t>(in.tellg()), 54 + t.m_WidthByte32 * height);

      CTexture back;
      ASSERT_EQ(back.ReadBmp(path), 1) << back.GetError();
      EXPECT_EQ(back.m_Width, width);
      EXPECT_EQ(back.m_Height, height);
      EXPECT_EQ(back.m_Depth, 24u);
      EXPECT_EQ(back.m_FileName, path);
      for (unsigned int y = 0; y < height; y++)
        for (unsigned int x = 0; x < width; x++)
          for (int c = 0; c < 3; c++) ASSERT_EQ(At(back, x, y, c), Pattern(x, y, c));
    }
}

TEST(TextureBmp, TopDownRowsAreStoredBottomFirstAndHeaderSizeZeroIsAccepted) {
  CTexture t;
  const Bytes topDown = Bmp24(3, 4, true);
  ASSERT_EQ(t.ReadBmpFromMemory(Data(topDown), topDown.size()), 1);
  EXPECT_EQ(t.m_Height, 4u);
  EXPECT_EQ(At(t, 2, 0, 1), Pattern(2, 0, 1));
  EXPECT_EQ(At(t, 1, 3, 0), Pattern(1, 3, 0));

  Bytes zeroSize = Bmp24(5, 3);
  PutLittle32(&zeroSize[34], 0);
  ASSERT_EQ(t.ReadBmpFromMemory(Data(zeroSize), zeroSize.size()), 1);
  EXPECT_EQ(At(t, 4, 2, 2), Pattern(4, 2, 2));
}

TEST(TextureBmp, RefusesLyingOrTruncatedFilesWithTheirMessages) {
  const Bytes good = Bmp24(5, 3);
  struct Case {
    const char* what;
    size_t keep;    // bytes kept from the good file
    size_t offset;  // field patched (0 = none)
    uint32_t value; // new value
    int width16;    // patch a 16-bit field instead
    const char* error;
  };
  const uint32_t minus1 = 0xFFFFFFFFu;
  const Case cases[] = {
      {"empty", 0, 0, 0, 0, "Error during reading file header"},
      {"13 bytes", 13, 0, 0, 0, "Error during reading file header"},
      {"not BM", good.size(), 0, 0x4D43, 1, "Invalid BMP file"},
      {"no info header", 53, 0, 0, 0, "Error during reading image header"},
      {"8 bits", good.size(), 28, 8, 1, "Texture file must have 24 bits depth"},
      {"2 planes", good.size(), 26, 2, 1, "Texture file must have 24 bits depth"},
      {"compressed", good.size(), 30, 1, 0, "Invalid BMP file"},
      {"core header size", good.size(), 14, 12, 0, "Invalid BMP file"},
      {"width 0", good.size(), 18, 0, 0, "Invalid BMP file"},
      {"negative width", good.size(), 18, minus1, 0, "Invalid BMP file"},
      {"height 0", good.size(), 22, 0, 0, "Invalid BMP file"},
      {"height INT_MIN", good.size(), 22, 0x80000000u, 0, "Invalid BMP file"},
      {"offset inside header", good.size(), 10, 40, 0, "Invalid BMP file"},
      {"offset past end", good.size(), 10, 0x7FFFFFFF, 0, "Error during reading image"},
      {"truncated pixels", good.size() - 1, 0, 0, 0, "Error during reading image"},
      {"image size beyond file", good.size(), 34, 1000, 0, "Error during reading image"},
      {"huge width", good.size(), 18, 0x7FFFFFFF, 0, "Insuffisant memory"},
      {"huge height", good.size(), 22, 20000, 0, "Insuffisant memory"},
      {"many rows", good.size(), 22, 4000, 0, "Error during reading image"},
  };
  for (const Case& c : cases) {
    Bytes file(good.begin(), good.begin() + static_cast<long>(c.keep));
    if (c.offset == 0 && c.width16) PutLittle16(&file[0], static_cast<uint16_t>(c.value));
    if (c.offset && c.width16) PutLittle16(&file[c.offset], static_cast<uint16_t>(c.value));
    if (c.offset && !c.width16) PutLittle32(&file[c.offset], c.value);
    CTexture t;
    EXPECT_EQ(t.ReadBmpFromMemory(file.data(), file.size()), 0) << c.what;
    EXPECT_EQ(t.GetError(), c.error) << c.what;
    EXPECT_EQ(t.m_pData, nullptr) << c.what;
    EXPECT_EQ(t.m_Width, 0u) << c.what;
  }
}

TEST(TextureBmp, WriteRefusesInvalidTexturesAndUnwritablePaths) {
  CTexture empty;
  EXPECT_EQ(empty.WriteBmp(TempPath("never.bmp")), 0);
  CTexture t;
  ASSERT_EQ(t.Alloc(2, 2, 24), 1);
  EXPECT_EQ(t.WriteBmp(TempPath("no-such-folder/x.bmp")), 0);
  EXPECT_EQ(t.GetError(), "Unable to open file for writing");
  CTexture wide;
  ASSERT_EQ(wide.Alloc(2, 2, 32), 1);
  EXPECT_EQ(wide.WriteBmp(TempPath("never32.bmp")), 0);
}

TEST(TextureJpeg, ColorAndGrayImagesDecodeToPaddedRgbRows) {
  for (unsigned int width : {1u, 3u, 5u, 8u})
    for (bool gray : {false, true}) {
      const Bytes jpeg = Jpeg(width, 2, gray);
      CTexture t;
      ASSERT_EQ(t.ReadJpegFromMemory(Data(jpeg), jpeg.size()), 1) << t.GetError();
      EXPECT_EQ(t.m_Width, width);
      EXPECT_EQ(t.m_Height, 2u);
      EXPECT_EQ(t.m_Depth, 24u);
      EXPECT_EQ(t.m_WidthByte32 % 4, 0);
      EXPECT_EQ(t.m_Header.biWidth, static_cast<int32_t>(width));
      for (unsigned int y = 0; y < 2; y++)
        for (unsigned int x = 0; x < width; x++) {
          if (gray) {
            EXPECT_EQ(At(t, x, y, 0), At(t, x, y, 1));
            EXPECT_EQ(At(t, x, y, 0), At(t, x, y, 2));
          }
          // lossy: close to the pattern, red first, top row first
          for (int c = 0; c < (gray ? 1 : 3); c++)
            EXPECT_NEAR(At(t, x, y, c), JpegPattern(x, y, c), 12) << width << " " << x << " " << y;
        }
      for (unsigned int x = 0; x < width; x++) EXPECT_LT(At(t, x, 0, 0), At(t, x, 1, 0));
    }

  const std::string path = TempPath("file.jpg");
  WriteFile(path, Jpeg(4, 4, false));
  CTexture t;
  ASSERT_EQ(t.ReadFile(path), 1);
  EXPECT_EQ(t.m_FileName, path);
}

TEST(TextureJpeg, LibraryErrorsComeBackAsMessagesAndLeaveNoImage) {
  const Bytes good = Jpeg(6, 4, false);
  const Bytes garbage = {0xFF, 0xD8, 0xFF, 0x00, 1, 2, 3};
  const Bytes notJpeg = {'B', 'M', 0, 0};
  const Bytes half(good.begin(), good.begin() + static_cast<long>(good.size() / 3));
  for (const Bytes* bytes : {&garbage, &notJpeg, &half}) {
    CTexture t;
    EXPECT_EQ(t.ReadJpegFromMemory(Data(*bytes), bytes->size()), 0);
    EXPECT_EQ(t.m_ErrorTitle, "JPEG Fatal Error");
    EXPECT_FALSE(t.GetError().empty());
    EXPECT_EQ(t.m_pData, nullptr);
  }
  CTexture t;
  EXPECT_EQ(t.ReadJpegFromMemory(nullptr, 0), 0);
  EXPECT_EQ(t.m_ErrorTitle, "JPEG Fatal Error");

  // a truncated scan still decodes (the library pads it) once the header is whole
  const Bytes cut(good.begin(), good.end() - 40);
  EXPECT_EQ(t.ReadJpegFromMemory(Data(cut), cut.size()), 1);

  MaxSideGuard guard;
  CTexture::SetMaxSide(5);
  EXPECT_EQ(t.ReadJpegFromMemory(Data(good), good.size()), 0);
  EXPECT_EQ(t.GetError(), "JpegFile :\nOut of memory");
  EXPECT_EQ(t.m_ErrorTitle, "");
}

TEST(TextureRaw, RowsArePaddedForEveryDepthAndShortFilesRefused) {
  for (unsigned int depth : {8u, 24u, 32u})
    for (unsigned int width : {1u, 3u, 5u}) {
      const Bytes raw = Raw(width, 3, depth);
      const std::string path = TempPath("image.raw");
      WriteFile(path, raw);
      CTexture t;
      ASSERT_EQ(t.ReadFile(path, width, 3, depth), 1);
      EXPECT_EQ(t.m_FileName, path);
      const unsigned int bpp = depth / 8;
      for (unsigned int y = 0; y < 3; y++)
        for (unsigned int x = 0; x < width; x++)
          ASSERT_EQ(t.m_pData[y * t.m_WidthByte32 + bpp * x], Pattern(x, y, 0));

      EXPECT_EQ(t.ReadRawFromMemory(raw.data(), raw.size() - 1, width, 3, depth), 0);
      EXPECT_EQ(t.GetError(), "Error during reading image");
      EXPECT_EQ(t.m_pData, nullptr);
    }
  CTexture t;
  const Bytes raw = Raw(2, 2, 24);
  EXPECT_EQ(t.ReadRawFromMemory(raw.data(), raw.size(), 2, 2, 12), 0);
  EXPECT_EQ(t.GetError(), "Insuffisant memory");
  EXPECT_EQ(t.ReadRawFromMemory(raw.data(), raw.size(), 0, 2, 24), 0);
  EXPECT_EQ(t.GetError(), "Insuffisant memory");
}

TEST(TextureSgi, PlanesFillTheChannelsWithTheTopRowFirst) {
  for (unsigned int width : {1u, 3u, 5u})
    for (unsigned int height : {1u, 2u, 3u}) {
      const std::string path = TempPath("image.rgb");
      WriteFile(path, Sgi(width, height));
      CTexture t;
      ASSERT_EQ(t.ReadFile(path), 1) << t.GetError();
      EXPECT_EQ(t.m_Width, width);
      EXPECT_EQ(t.m_Height, height);
      for (unsigned int y = 0; y < height; y++)
        for (unsigned int x = 0; x < width; x++)
          for (int c = 0; c < 3; c++) ASSERT_EQ(At(t, x, y, c), Pattern(x, height - 1 - y, c));
    }
}

TEST(TextureSgi, RefusesOtherLayoutsAndTruncatedImages) {
  const Bytes good = Sgi(4, 3);
  struct Case {
    const char* what;
    size_t keep;
    size_t at;
    unsigned char value;
    const char* error;
  };
  const Case cases[] = {
      {"empty", 0, 0, 0, "Invalid magic number"},
      {"bad magic", good.size(), 1, 0xDB, "Invalid magic number"},
      {"short header", 300, 0, 1, "Sorry, unable to read this format"},
      {"run-length", good.size(), 2, 1, "Sorry, unable to read this format"},
      {"two bytes per channel", good.size(), 3, 2, "Sorry, unable to read this format"},
      {"dimension 2", good.size(), 5, 2, "Sorry, unable to read this format"},
      {"four channels", good.size(), 11, 4, "Sorry, unable to read this format"},
      {"width 0", good.size(), 7, 0, "Sorry, unable to read this format"},
      {"truncated planes", good.size() - 1, 0, 1, "Error during reading image"},
      {"huge width", good.size(), 6, 0xFF, "CTexture::Alloc : Insufisant memory"},
      {"more rows than data", good.size(), 9, 200, "Error during reading image"},
  };
  for (const Case& c : cases) {
    Bytes file(good.begin(), good.begin() + static_cast<long>(c.keep));
    if (c.at < file.size() && (c.at || c.value != 1)) file[c.at] = c.value;
    CTexture t;
    EXPECT_EQ(t.ReadRgbFromMemory(file.data(), file.size()), 0) << c.what;
    EXPECT_EQ(t.GetError(), c.error) << c.what;
    EXPECT_EQ(t.m_pData, nullptr) << c.what;
  }
}
