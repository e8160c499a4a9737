// Structure decoder on arbitrary bytes: decoding ends with a mesh whose
// corners are all vertices, or with a message; never out of bounds.
#include <cstddef>
#include <cstdint>

#include "compression/StructureDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  orvex::CStructureDecoded decoded;
  std::string error;
  if (!orvex::DecodeStructure(data, size, decoded, error)) {
    if (error.empty()) __builtin_trap();
    return 0;
  }
  for (int corner : decoded.m_Triangles)
    if (corner < 0 || corner >= decoded.m_NbVertex) __builtin_trap();
  return 0;
}
