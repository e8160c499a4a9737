// The ".pts" and ".faces" readers of the data-analysis window: good files,
// triangle coverage, and every malformed line refused with its number while
// the old image stays.

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "app/side/ScalarImageReaders.h"
#include "tests/support/ScalarImages.h"
#include "tests/support/TestFolder.h"

using namespace orvex;
using testsupport::PlainFillTriangle;

namespace {

constexpr float E = kEmptyPixel;

TEST(ScalarImageReaders, PointsSetTheirPixels) {
  CScalarImage image;
  std::string error;
  ASSERT_EQ(ReadPtsText("3 2\n0 0 5\n\n2 1 7.5\n2 1 1.5\n", image, error), 1) << error;
  EXPECT_EQ(image.m_Width, 3);
  EXPECT_EQ(image.m_Height, 2);
  EXPECT_EQ(image.m_Values, (std::vector<float>{5, E, E, E, E, 1.5f}));
  EXPECT_EQ(image.m_Maximum, 5.0f);
  ASSERT_EQ(ReadPtsText("1 1\n", image, error), 1);
  EXPECT_EQ(image.m_Maximum, 0.0f);
}

TEST(ScalarImageReaders, TrianglesCoverCentresInsideOrOnAnEdge) {
  CScalarImage image;
  std::string error;
  // A right triangle with corners on pixel centres (0,0) (3,0) (0,3): the
  // hypotenuse x + y = 3 is included. The second triangle, clockwise,
  // overwrites (0, 0) and (1, 0).
  ASSERT_EQ(ReadFacesText("4 4\n0 0 3 0 0 3 2\n0 0 0 -0.5 1 0 9\n", image, error), 1) << error;
  const std::vector<std::vector<float>> expected = {
      {9, 9, 2, 2}, {2, 2, 2, E}, {2, 2, E, E}, {2, E, E, E}};
  EXPECT_EQ(image.m_Values, testsupport::ScalarImageFromRows(expected).m_Values);
  EXPECT_EQ(image.m_Maximum, 9.0f);
  // Triangles reaching outside are clipped; degenerate ones cover nothing.
  ASSERT_EQ(ReadFacesText("2 2\n-100 -100 300 -100 -100 300 1\n5 5 5 5 5 5 3\n", image, error), 1);
  EXPECT_EQ(image.m_Values, (std::vector<float>{1, 1, 1, 1}));
}

TEST(ScalarImageReaders, TrianglesEqualPlainPerPixelPainting) {
  // Corners on pixel centres (edges through centres), on half pixels,
  // anywhere, and far outside.
  std::mt19937 random(5);
  std::uniform_real_distribution<double> coordinate(-3.0, 63.0);
  const int sizes[][2] = {{1, 1}, {7, 5}, {40, 33}, {3, 60}};
  for (const auto& size : sizes)
    for (int kind = 0; kind < 4; ++kind) {
      CScalarImage plain;
      plain.Resize(size[0], size[1]);
      std::ostringstream text;
      text.precision(17);
      text << size[0] << " " << size[1] << "\n";
      for (int t = 0; t < 60; ++t) {
        double c[6];
        for (double& v : c) {
          v = coordinate(random) * (kind == 3 ? 1.5e5 : 1.0);
          if (kind < 2) v = std::round(v * (kind + 1)) / (kind + 1);
        }
        for (double v : c) text << v << " ";
        text << t << "\n";
        PlainFillTriangle(plain, c, static_cast<float>(t));
      }
      CScalarImage image;
      std::string error;
      ASSERT_EQ(ReadFacesText(text.str(), image, error), 1) << error;
      EXPECT_EQ(image.m_Values, plain.m_Values) << size[0] << "x" << size[1] << " kind " << kind;
    }
}

TEST(ScalarImageReaders, MalformedFilesNameTheLineAndKeepTheImage) {
  struct Case {
    bool faces;
    const char* text;
    const char* error;
  };
  const Case cases[] = {
      {false, "", "the file is empty"},
      {false, "3\n", "line 1: expected \"width height\""},
      {false, "0 5\n", "line 1: the size 0 x 5 is outside 1 .. 16384"},
      {false, "16385 1\n", "line 1: the size 16385 x 1"},
      {false, "-2 4\n", "line 1: the size"},
      {false, "99999999999999999999 1\n", "line 1: expected"},
      {false, "2 2\n0 0 1\n\n2 0 1\n", "line 4: the pixel 2 0 lies outside"},
      {false, "2 2\n0 -1 1\n", "line 2: the pixel 0 -1"},
      {false, "2 2\n0 0 -1\n", "line 2: the value must be"},
      {false, "2 2\n0 0 nan\n", "line 2: expected"},
      {false, "2 2\n0 0 1 4\n", "line 2: expected \"x y value\""},
      {false, "2 2\n0.5 0 1\n", "line 2: expected"},
      {true, "2 2\n0 0 1 1 0 1\n", "line 2: expected \"x0 y0 x1 y1 x2 y2 value\""},
      {true, "2 2\n0 0 1 1 0 1 -3\n", "line 2: the value must be"},
      {true, "2 2\n0 0 1e300 1 0 1 3\n", "line 2: a corner lies too far"},
      {true, "2 2 x\n", "line 1: expected"},
  };
  for (const Case& c : cases) {
    CScalarImage image = testsupport::ScalarImageFromRows({{4, 5}});
    image.m_Maximum = 5;
    std::string error;
    const int ok =
        c.faces ? ReadFacesText(c.text, image, error) : ReadPtsText(c.text, image, error);
    EXPECT_EQ(ok, 0) << c.text;
    EXPECT_NE(error.find(c.error), std::string::npos) << c.text << " gave " << error;
    EXPECT_EQ(image.m_Values, (std::vector<float>{4, 5}));
    EXPECT_EQ(image.m_Maximum, 5.0f);
  }
}

TEST(ScalarImageReaders, FilesChosenByTheirEnding) {
  const auto folder = testsupport::FreshTestFolder("scalar_readers_");
  std::ofstream(folder / "a.PTS") << "2 1\n1 0 3\n";
  std::ofstream(folder / "b.faces") << "2 1\n0 0 1 0 0 1 6\n";
  std::ofstream(folder / "c.txt") << "2 1\n";
  CScalarImage image;
  std::string error;
  ASSERT_EQ(ReadScalarImageFile((folder / "a.PTS").string(), image, error), 1) << error;
  EXPECT_EQ(image.m_Values, (std::vector<float>{E, 3}));
  ASSERT_EQ(ReadScalarImageFile((folder / "b.faces").string(), image, error), 1) << error;
  EXPECT_EQ(image.m_Values, (std::vector<float>{6, 6}));
  EXPECT_EQ(ReadScalarImageFile((folder / "c.txt").string(), image, error), 0);
  EXPECT_NE(error.find("not a \".pts\" or \".faces\" file"), std::string::npos);
  EXPECT_EQ(ReadScalarImageFile((folder / "missing.pts").string(), image, error), 0);
  EXPECT_NE(error.find("cannot be opened"), std::string::npos);
}

} // namespace
