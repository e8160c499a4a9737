// The files of the view exports read back: SVG pictures (well-formed XML,
// one element per primitive), AVI videos (chunk tree, headers, index,
// pixels) and 24-bit bitmaps.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "io/WriteAvi.h"
#include "io/WriteBmp.h"
#include "io/WriteSvg.h"
#include "tests/support/BatchProcess.h"
#include "tests/support/ExportFiles.h"
#include "tests/support/TestFolder.h"

using namespace testsupport;

namespace {

// A picture whose pixel (x, y) has red x, green y and blue seed.
CRgbImage Gradient(int width, int height, unsigned char seed) {
  CRgbImage image;
  image.Resize(width, height);
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) {
      unsigned char* p = image.m_Pixels.data() + (size_t(y) * width + x) * 3;
      p[0] = (unsigned char)x;
      p[1] = (unsigned char)y;
      p[2] = seed;
    }
  return image;
}

TEST(SvgWriter, PictureIsWellFormedWithOneElementPerPrimitive) {
  CVectorPicture picture(320, 200);
  picture.SetBackground(CColor(128, 128, 128));
  picture.Line({1.5, 2.25}, {300, 190.126}, CColor(255, 0, 16));
  const CVectorPoint triangle[3] = {{10, 10}, {-0.5, 20}, {30, 1e300 * 10}};
  picture.Polygon(triangle, 3, CColor(1, 2, 3), true, CColor(0, 0, 0));
  picture.Polygon(triangle, 3, CColor(255, 255, 255), false, CColor(0, 0, 0));
  const std::string svg = SvgText(picture);
  EXPECT_NE(svg.find("width=\"320\" height=\"200\" viewBox=\"0 0 320 200\""), std::string::npos);
  EXPECT_NE(svg.find("<rect x=\"0\" y=\"0\" width=\"320\" height=\"200\" fill=\"#808080\"/>"),
            std::string::npos);
  EXPECT_NE(svg.find("<line x1=\"1.5\" y1=\"2.25\" x2=\"300\" y2=\"190.13\" stroke=\"#ff0010\"/>"),
            std::string::npos);
  // a coordinate that is not finite becomes 0
  EXPECT_NE(svg.find("points=\"10,10 -0.5,20 30,0\" fill=\"#010203\" stroke=\"#000000\"/>"),
            std::string::npos);
  EXPECT_NE(svg.find("fill=\"#ffffff\"/>"), std::string::npos);
  EXPECT_EQ(Occurrences(svg, "<polygon "), 2u);

  if (std::system("xmllint --version >/dev/null 2>&1") != 0) GTEST_SKIP() << "xmllint missing";
  const std::filesystem::path dir = FreshTestFolder("orvex_svg_");
  std::string error;
  ASSERT_TRUE(WriteSvg((dir / "picture.svg").string(), picture, error)) << error;
  batchprocess::Outcome lint =
      batchprocess::Run("xmllint", {"--noout", (dir / "picture.svg").string()}, dir);
  EXPECT_EQ(lint.status, 0) << lint.err;
}

TEST(AviWriter, ThreeFramesReadBackWithHeadersIndexAndPixels) {
  const std::filesystem::path dir = FreshTestFolder("orvex_avi_");
  const std::vector<CRgbImage> frames = {Gradient(8, 3, 1), Gradient(8, 3, 2), Gradient(8, 3, 3)};
  const std::string path = (dir / "video.avi").string();
  std::string error;
  ASSERT_TRUE(WriteAvi(path, frames, kAviRate, error)) << error;
  AviFile avi;
  ASSERT_TRUE(ReadAvi(batchprocess::ReadFile(path), avi, error)) << error;
  const std::string& b = avi.bytes;
  EXPECT_EQ(b.size(), AviFileSize(8, 3, 3, kAviRate));
  EXPECT_EQ(avi.riff.size + 8, b.size());

  // main and stream headers, frame format
  const uint32_t image = 24 * 3; // rows of 8 pixels: 24 bytes
  const struct {
    const RiffChunk* chunk;
    size_t at;
    uint32_t value;
    const char* name;
  } fields[] = {
      {avi.avih, 0, 40000, "microseconds per frame"},
      {avi.avih, 12, 0x10, "has index"},
      {avi.avih, 16, 75, "total frames"},
      {avi.avih, 24, 1, "streams"},
      {avi.avih, 28, image, "buffer"},
      {avi.avih, 32, 8, "width"},
      {avi.avih, 36, 3, "height"},
      {avi.strh, 20, 1, "scale"},
      {avi.strh, 24, 25, "rate"},
      {avi.strh, 32, 75, "length"},
      {avi.strh, 36, image, "suggested buffer"},
      {avi.strh, 40, 1000, "quality"},
      {avi.strf, 0, 40, "format size"},
      {avi.strf, 4, 8, "format width"},
      {avi.strf, 8, 3, "format height"},
      {avi.strf, 16, 0, "no compression"},
      {avi.strf, 20, image, "image size"},
  };
  for (const auto& f : fields) EXPECT_EQ(Le32(b, f.chunk->offset + f.at), f.value) << f.name;
  EXPECT_EQ(b.substr(avi.strh->offset, 4), "vids");
  EXPECT_EQ(Le16(b, avi.strf->offset + 12), 1);  // planes
  EXPECT_EQ(Le16(b, avi.strf->offset + 14), 24); // bits
  EXPECT_EQ(Le16(b, avi.strh->offset + 52), 8);  // frame rectangle right
  EXPECT_EQ(Le16(b, avi.strh->offset + 54), 3);  // and bottom

  // one chunk per sample: a key frame at 25 i, empty chunks between
  ASSERT_EQ(avi.movi->children.size(), 75u);
  ASSERT_EQ(avi.idx1->size, 75u * 16);
  for (size_t s = 0; s < 75; s++) {
    const RiffChunk& chunk = avi.movi->children[s];
    const size_t entry = avi.idx1->offset + s * 16;
    const bool key = s % 25 == 0;
    EXPECT_EQ(chunk.code, "00db");
    EXPECT_EQ(chunk.size, key ? image : 0u) << s;
    EXPECT_EQ(b.substr(entry, 4), "00db");
    EXPECT_EQ(Le32(b, entry + 4), key ? 0x10u : 0u) << s;
    EXPECT_EQ(Le32(b, entry + 8), chunk.offset - 8 - (avi.movi->offset)) << s;
    EXPECT_EQ(Le32(b, entry + 12), chunk.size) << s;
  }
  // pixels: bottom-up rows of blue, green, red
  for (size_t f = 0; f < 3; f++) {
    const RiffChunk& chunk = avi.movi->children[f * 25];
    for (int y = 0; y < 3; y++)
      for (int x = 0; x < 8; x++) {
        const unsigned char* want = frames[f].Pixel(x, 2 - y);
        const size_t at = chunk.offset + size_t(y) * 24 + size_t(x) * 3;
        ASSERT_EQ((unsigned char)b[at], want[2]);
        ASSERT_EQ((unsigned char)b[at + 1], want[1]);
        ASSERT_EQ((unsigned char)b[at + 2], want[0]);
      }
  }
}

TEST(AviWriter, RefusesWhatItCannotWriteAndKeepsTheOldFile) {
  const std::filesystem::path dir = FreshTestFolder("orvex_avi_refused_");
  const std::string path = (dir / "video.avi").string();
  std::string error;
  ASSERT_TRUE(WriteAvi(path, {Gradient(4, 1, 0)}, kAviRate, error));
  const std::string old = batchprocess::ReadFile(path);
  const struct {
    const char* name;
    std::vector<CRgbImage> frames;
  } cases[] = {
      {"no frame", {}},
      {"empty frame", {CRgbImage()}},
      {"frames of two sizes", {Gradient(4, 2, 0), Gradient(8, 2, 0)}},
  };
  for (const auto& c : cases) {
    error.clear();
    EXPECT_FALSE(WriteAvi(path, c.frames, kAviRate, error)) << c.name;
    EXPECT_FALSE(error.empty()) << c.name;
  }
  EXPECT_EQ(batchprocess::ReadFile(path), old);
  // 100 frames of a 4096 x 2048 window pass 2 GB
  EXPECT_GT(AviFileSize(4096, 2048, 100, kAviRate), kAviMaxBytes);
  EXPECT_LT(AviFileSize(1024, 768, 100, kAviRate), kAviMaxBytes);
}

TEST(BmpWriter, TwentyFourBitHeaderAndPaddedBottomUpRows) {
  const std::filesystem::path dir = FreshTestFolder("orvex_bmp_");
  const std::string path = (dir / "view.bmp").string();
  const CRgbImage image = Gradient(5, 2, 9); // rows of 15 bytes padded to 16
  std::string error;
  ASSERT_TRUE(WriteBmp24(path, image, error)) << error;
  const std::string b = batchprocess::ReadFile(path);
  ASSERT_EQ(b.size(), 54u + 32u);
  EXPECT_EQ(b.substr(0, 2), "BM");
  EXPECT_EQ(Le32(b, 2), 86u);
  EXPECT_EQ(Le32(b, 10), 54u);
  EXPECT_EQ(Le32(b, 18), 5u);
  EXPECT_EQ(Le32(b, 22), 2u);
  EXPECT_EQ(Le16(b, 28), 24);
  // first stored row is the bottom one (green 1)
  EXPECT_EQ((unsigned char)b[54], 9); // blue
  EXPECT_EQ((unsigned char)b[55], 1); // green: row 1
  EXPECT_EQ((unsigned char)b[54 + 16 + 1], 0);
  EXPECT_FALSE(WriteBmp24(path, CRgbImage(), error));
}

} // namespace
