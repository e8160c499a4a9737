#pragma once

// RGBA color of four bytes. Set forces alpha to 255.
class CColor {
public:
  unsigned char r = 255, g = 255, b = 255, a = 255;

  CColor() = default;
  CColor(unsigned char red, unsigned char green, unsigned char blue, unsigned char alpha = 255)
      : r(red), g(green), b(blue), a(alpha) {}
  void Set(unsigned char red, unsigned char green, unsigned char blue) {
    r = red;
    g = green;
    b = blue;
    a = 255;
  }
  void Copy(const CColor& c) { *this = c; }
  bool operator==(const CColor& c) const { return r == c.r && g == c.g && b == c.b && a == c.a; }
  bool operator!=(const CColor& c) const { return !(*this == c); }
};
