// Fuzzes the palette bitmap loader from memory, then saves, reloads and
// copies what it accepted.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "io/Dib.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CDIB dib;
  if (!dib.LoadFromMemory(data, size)) return 0;

  // every row of the bits is readable
  const size_t bits = static_cast<size_t>(dib.GetStride()) * dib.GetHeight();
  if (bits != dib.m_BitsSize) std::abort();
  unsigned int sum = dib.GetBits()[bits - 1];

  // save and reload give the same header and bits
  std::vector<unsigned char> saved;
  if (!dib.SaveToMemory(saved)) std::abort();
  CDIB again;
  if (!again.LoadFromMemory(saved.data(), saved.size())) std::abort();
  if (std::memcmp(again.GetBits(), dib.GetBits(), bits) != 0) std::abort();

  // pixel operations on 8-bit images
  if (dib.GetBitCount() == 8) {
    sum += *dib.GetPixelAddress(0, 0);
    CDIB target;
    target.Create(7, 5);
    dib.CopyBits(&target, -2, 1, dib.GetWidth(), dib.GetHeight(), 1, -1, data[0]);
    // palette mapping costs 64k color comparisons: exercised on some inputs only
    if (size % 8 == 0) {
      CRgbQuad palette[256];
      for (int i = 0; i < 256; i++) palette[i].rgbRed = static_cast<unsigned char>(i);
      dib.MapColorsToPalette(palette);
    }
  }
  if (sum == 0xFFFFFFFFu) std::abort();
  return 0;
}
