#pragma once

#include <cstdint>
#include <cstring>

// A 32-bit float as the bits files store, and back.
inline uint32_t FloatBits(float f) {
  uint32_t bits;
  std::memcpy(&bits, &f, sizeof bits);
  return bits;
}

inline float BitsFloat(uint32_t bits) {
  float f;
  std::memcpy(&f, &bits, sizeof f);
  return f;
}
