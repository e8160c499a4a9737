// Fuzzes the raw texture reader from memory. The first three bytes choose
// the width (1..64), the height (1..64) and the depth (8, 24 or 32).

#include <cstddef>
#include <cstdint>

#include "fuzz_texture_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  const unsigned int depths[3] = {8, 24, 32};
  CTexture texture;
  texture.ReadRawFromMemory(data + 3, size - 3, 1u + data[0] % 64, 1u + data[1] % 64,
                            depths[data[2] % 3]);
  CheckTexture(texture);
  return 0;
}
