#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "io/TextOutput.h"
#include "io/TextScan.h"

namespace {

std::string Printf(const char* format, double v) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, format, v);
  return buffer;
}

std::string Fast(double v) {
  char buffer[32];
  return std::string(buffer, static_cast<size_t>(FormatG(v, buffer)));
}

} // namespace

TEST(SceneTextFormat, GMatchesPrintfEverywhere) {
  const double fixed[] = {0.0,    -0.0,    1.0,      -1.5,    0.1,   1e-5,      1e-4,
                          123456, 1234567, 999999.5, 9999995, 1e100, -2.5e-300, 0.017453292,
                          1.5708, 90.0002, 1e-320,   3.4e38,  0.33f, 0.8f,      1.0 / 3.0};
  for (double v : fixed) EXPECT_EQ(Fast(v), Printf("%g", v)) << v;
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
  std::uniform_int_distribution<int> exponent(-40, 40);
  for (int i = 0; i < 20000; i++) {
    const double v = std::ldexp(mantissa(random), exponent(random));
    ASSERT_EQ(Fast(v), Printf("%g", v)) << v;
    const float f = static_cast<float>(v);
    ASSERT_EQ(Fast(f), Printf("%g", f)) << f;
  }
  CTextOutput out;
  out.D(-12).Text(" ").D(0).Text(" ").G3(1, 0.5, -2);
  EXPECT_EQ(out.GetText(), "-12 0 1 0.5 -2");
}

TEST(SceneTextFormat, ScannersFollowScanfConversions) {
  auto f = [](const char* s, float& v) { return ScanFloat(s, s + std::strlen(s), v); };
  auto d = [](const char* s, int& v) { return ScanInt(s, s + std::strlen(s), v); };
  auto i = [](const char* s, int& v) { return ScanIntAuto(s, s + std::strlen(s), v); };
  auto x = [](const char* s, int& v) { return ScanHex(s, s + std::strlen(s), v); };
  float v;
  int n;
  ASSERT_TRUE(f("+1.5e2", v));
  EXPECT_EQ(v, 150.0f);
  ASSERT_TRUE(f("-.25", v));
  EXPECT_EQ(v, -0.25f);
  EXPECT_FALSE(f("nan", v));
  EXPECT_FALSE(f("1e99", v)); // not a finite float
  EXPECT_FALSE(f("x", v));
  ASSERT_TRUE(d("-42,", n));
  EXPECT_EQ(n, -42);
  EXPECT_FALSE(d("99999999999", n));
  EXPECT_TRUE(d("-2147483648", n));
  EXPECT_EQ(n, -2147483647 - 1);
  ASSERT_TRUE(i("010", n));
  EXPECT_EQ(n, 8); // "%i" reads a leading 0 as octal
  ASSERT_TRUE(i("0x1f", n));
  EXPECT_EQ(n, 31);
  ASSERT_TRUE(i("0", n));
  EXPECT_EQ(n, 0);
  ASSERT_TRUE(x("ff", n));
  EXPECT_EQ(n, 255);
  ASSERT_TRUE(x("0x80", n));
  EXPECT_EQ(n, 128);
}
