// Fuzzes the BMP texture reader from memory.

#include <cstddef>
#include <cstdint>

#include "fuzz_texture_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // large images only cost time: the checks are the same at 1024 pixels
  CTexture::SetMaxSide(1024);
  CTexture texture;
  texture.ReadBmpFromMemory(data, size);
  CheckTexture(texture);
  return 0;
}
