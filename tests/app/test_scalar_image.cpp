// The data-analysis image: hole filling ring by ring from a copy, the
// front-only recursive filling against plain passes, the convolution and
// its errors, and the grey display.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/side/ScalarImage.h"
#include "tests/support/ScalarImages.h"

using namespace orvex;
using testsupport::RandomScalarImage;
using testsupport::ScalarImageFromRows;

namespace {

constexpr float E = kEmptyPixel;

TEST(ScalarImageFill, OnePassReadsTheValuesFromBeforeThePass) {
  CScalarImage image = ScalarImageFromRows({
      {8, E, E, E, E},
      {E, E, E, E, E},
      {E, E, E, E, E},
      {E, E, E, E, 4},
  });
  ASSERT_TRUE(image.FillPass());
  // Only the pixels touching 8 or 4 change; the border stays empty.
  EXPECT_EQ(image.At(1, 1), 8.0f);
  EXPECT_EQ(image.At(3, 2), 4.0f);
  EXPECT_EQ(image.At(2, 1), E);
  EXPECT_EQ(image.At(2, 2), E);
  EXPECT_EQ(image.At(1, 0), E);
  ASSERT_TRUE(image.FillPass());
  // Second ring: (2, 1) and (2, 2) see 8 and 4, (3, 1) only 4, (1, 2) only 8.
  EXPECT_EQ(image.At(2, 1), 6.0f);
  EXPECT_EQ(image.At(2, 2), 6.0f);
  EXPECT_EQ(image.At(3, 1), 4.0f);
  EXPECT_EQ(image.At(1, 2), 8.0f);
  EXPECT_FALSE(image.FillPass());
  for (int x = 1; x < 4; ++x) EXPECT_EQ(image.At(x, 0), E);
}

TEST(ScalarImageFill, ImagesWithNothingToFill) {
  const std::vector<std::vector<std::vector<float>>> cases = {
      {{E, E, E}, {E, E, E}, {E, E, E}}, // no value at all
      {{1, 2}, {E, E}},                  // no interior pixel
      {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}}, // no hole
      {{E}},
  };
  for (const auto& rows : cases) {
    CScalarImage image = ScalarImageFromRows(rows);
    const std::vector<float> before = image.m_Values;
    EXPECT_FALSE(image.FillPass());
    EXPECT_EQ(image.FillRecursive(), 0);
    EXPECT_EQ(image.m_Values, before);
  }
}

TEST(ScalarImageFill, RecursiveFillingEqualsPlainPasses) {
  struct Case {
    int width, height;
    double emptyShare;
  };
  const Case cases[] = {{17, 9, 0.5}, {40, 40, 0.95}, {64, 3, 0.8}, {30, 30, 0.999}, {5, 80, 0.3}};
  unsigned seed = 1;
  for (const Case& c : cases) {
    CScalarImage passes = RandomScalarImage(c.width, c.height, c.emptyShare, seed++);
    CScalarImage front = passes;
    int passCount = 0;
    while (passes.FillPass()) ++passCount;
    int ringsSeen = 0;
    EXPECT_EQ(front.FillRecursive([&] { ++ringsSeen; }), passCount);
    EXPECT_EQ(ringsSeen, passCount);
    EXPECT_EQ(front.m_Values, passes.m_Values) << c.width << "x" << c.height;
  }
}

TEST(ScalarImageConvolution, GaussianOnKnownImages) {
  std::string error;
  // A constant 16 inside a zero border: the centre keeps 16, an edge pixel
  // loses the three outside weights, a corner five.
  CScalarImage image = ScalarImageFromRows({{16, 16, 16}, {16, 16, 16}, {16, 16, 16}});
  ASSERT_EQ(image.Gaussian3x3(error), 1);
  EXPECT_FLOAT_EQ(image.At(1, 1), 16.0f);
  EXPECT_FLOAT_EQ(image.At(1, 0), 12.0f);
  EXPECT_FLOAT_EQ(image.At(0, 0), 9.0f);
  // Empty pixels join with their value -1.
  CScalarImage holes = ScalarImageFromRows({{0, 0, 0}, {0, E, 0}, {0, 0, 0}});
  ASSERT_EQ(holes.Gaussian3x3(error), 1);
  EXPECT_FLOAT_EQ(holes.At(1, 1), -4.0f / 16.0f);
  EXPECT_FLOAT_EQ(holes.At(0, 0), -1.0f / 16.0f);
}

TEST(ScalarImageConvolution, KernelsEqualThePlainConvolution) {
  // Width, height, divider, weights; images with huge, tiny and negative values.
  const std::vector<int> kernels[] = {{3, 3, 16, 1, 2, 1, 2, 4, 2, 1, 2, 1},
                                      {3, 3, -7, -1, 0, 1, -2, 0, 2, -1, 0, 1},
                                      {5, 1, 9, 1, 2, 3, 2, 1},
                                      {1, 3, 3, 1, -4, 1}};
  const float specials[] = {-0.0f, -7.5f, 3.0e38f, 1.0e-40f};
  const int sizes[][2] = {{1, 1}, {3, 3}, {7, 2}, {64, 3}, {5, 40}, {33, 31}};
  for (const auto& size : sizes)
    for (const std::vector<int>& k : kernels) {
      CScalarImage fast = RandomScalarImage(size[0], size[1], 0.5, size[0]);
      for (std::size_t i = 2; i < fast.m_Values.size(); i += 13) fast.m_Values[i] = specials[i % 4];
      CScalarImage plain = fast;
      const std::vector<int> weights(k.begin() + 3, k.end());
      std::string error;
      if (!fast.Convolve(weights, k[0], k[1], k[2], error)) continue; // larger than the image
      testsupport::PlainConvolve(plain, weights, k[0], k[1], k[2]);
      EXPECT_EQ(fast.m_Values, plain.m_Values) << size[0] << "x" << size[1] << " " << k[0];
    }
}

TEST(ScalarImageConvolution, BadKernelsLeaveTheImage) {
  struct Case {
    std::vector<int> kernel;
    int width, height, divider;
    const char* error;
  };
  const std::string size = "Filter : invalid specified filter size\n";
  const std::string divider = "Filter: invalid specified divider\n";
  const Case cases[] = {
      {{1, 1}, 2, 1, 1, "size"}, {{1, 1, 1, 1, 1}, 5, 1, 1, "size"}, // wider than the 4-pixel image
      {{}, 0, 0, 1, "size"},     {{1, 1, 1}, 3, 3, 1, "size"},       // kernel shorter than its size
      {{1}, 1, 1, 0, "divider"},
  };
  for (const Case& c : cases) {
    CScalarImage image = ScalarImageFromRows({{1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}});
    const std::vector<float> before = image.m_Values;
    std::string error;
    EXPECT_EQ(image.Convolve(c.kernel, c.width, c.height, c.divider, error), 0);
    EXPECT_EQ(error, std::string(c.error) == "size" ? size : divider);
    EXPECT_EQ(image.m_Values, before);
  }
}

TEST(ScalarImageDisplay, GreyLevelsAndEmptyPixels) {
  struct Case {
    float maximum;
    float value;
    unsigned char grey;
  };
  const Case cases[] = {{100, 50, 127}, {100, 100, 255}, {100, 0, 0},
                        {0, 50, 0},     {-5, 3, 0},      {100, -0.5f, 0}};
  for (const Case& c : cases) {
    CScalarImage image = ScalarImageFromRows({{c.value, E}});
    image.m_Maximum = c.maximum;
    CRgbImage display;
    display.Resize(2, 1);
    display.m_Pixels = {7, 8, 9, 7, 8, 9};
    image.RefreshDisplay(display);
    EXPECT_EQ(display.m_Pixels[0], c.grey) << c.value << " / " << c.maximum;
    EXPECT_EQ(display.m_Pixels[2], c.grey);
    // The empty pixel keeps its colour.
    EXPECT_EQ(display.m_Pixels[3], 7);
    EXPECT_EQ(display.m_Pixels[5], 9);
  }
}

} // namespace
