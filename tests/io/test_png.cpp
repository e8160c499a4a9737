// PNG pictures: what is written reads back the same, and failures leave
// old files alone.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "io/ReadPng.h"
#include "io/WritePng.h"

namespace fs = std::filesystem;

namespace {

fs::path TempPath(const std::string& name) {
  return fs::path(::testing::TempDir()) / ("orvex_png_" + name);
}

CRgbImage Gradient(int width, int height) {
  CRgbImage image;
  image.Resize(width, height);
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) {
      unsigned char* p = image.m_Pixels.data() + (y * width + x) * 3;
      p[0] = static_cast<unsigned char>(x * 7);
      p[1] = static_cast<unsigned char>(y * 13);
      p[2] = static_cast<unsigned char>(x ^ y);
    }
  return image;
}

} // namespace

TEST(Png, WrittenPicturesReadBackUnchanged) {
  const std::string path = TempPath("round.png").string();
  for (auto size : {std::make_pair(1, 1), std::make_pair(33, 7), std::make_pair(7, 33)}) {
    CRgbImage image = Gradient(size.first, size.second);
    std::string error;
    ASSERT_TRUE(WritePng(path, image, error)) << error;
    CRgbImage back;
    ASSERT_TRUE(ReadPng(path, back, error)) << error;
    EXPECT_EQ(back.m_Width, image.m_Width);
    EXPECT_EQ(back.m_Height, image.m_Height);
    EXPECT_EQ(back.m_Pixels, image.m_Pixels);
  }
}

TEST(Png, FailuresAreReportedAndLeaveOldFilesAlone) {
  std::string error;
  const std::string path = TempPath("kept.png").string();
  { std::ofstream(path) << "old"; }

  // a picture whose pixels do not match its size is refused before writing
  CRgbImage broken = Gradient(4, 4);
  broken.m_Pixels.resize(10);
  EXPECT_FALSE(WritePng(path, broken, error));
  EXPECT_FALSE(WritePng(path, CRgbImage(), error));
  EXPECT_EQ(fs::file_size(path), 3u);

  // a missing folder
  EXPECT_FALSE(WritePng(TempPath("none/x.png").string(), Gradient(2, 2), error));
  EXPECT_NE(error.find("cannot create"), std::string::npos) << error;

  // reading: not a PNG, missing, cut short; the image is left as it was
  CRgbImage image = Gradient(3, 3);
  EXPECT_FALSE(ReadPng(path, image, error));
  EXPECT_NE(error.find("not a PNG"), std::string::npos) << error;
  EXPECT_FALSE(ReadPng(TempPath("missing.png").string(), image, error));
  ASSERT_TRUE(WritePng(path, Gradient(40, 40), error)) << error;
  fs::resize_file(path, fs::file_size(path) / 2);
  EXPECT_FALSE(ReadPng(path, image, error));
  EXPECT_NE(error.find("cannot read"), std::string::npos) << error;
  EXPECT_EQ(image.m_Width, 3);
  EXPECT_EQ(image.m_Pixels, Gradient(3, 3).m_Pixels);
}
