// Fuzzes the ".pts" reader of the data-analysis window from memory.

#include <cstddef>
#include <cstdint>

#include "scalar_image_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CheckScalarImageReader(data, size, orvex::ReadPtsText);
  return 0;
}
