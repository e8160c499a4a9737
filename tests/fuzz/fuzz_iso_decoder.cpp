// Isosurface decoder on arbitrary bytes: the header text up to the first
// zero byte, then two little-endian 16-bit lengths of the sign and occupancy
// streams, those streams, and the geometry stream as the rest. Headers
// deeper than 6 levels are skipped to keep runs short. Decoding must stop
// cleanly, every level's surface must index its own vertices, and a decoded
// surface must match its header.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "compression/IsoCoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const void* zero = std::memchr(data, 0, size);
  if (!zero) return 0;
  const size_t textSize = static_cast<const uint8_t*>(zero) - data;
  CIsoHeader header;
  std::string error;
  if (!IsoParseHeader(std::string(reinterpret_cast<const char*>(data), textSize), header, error))
    return 0;
  if (header.m_Depth > 6) return 0;
  size_t at = textSize + 1;
  if (size < at + 4) return 0;
  const size_t signSize = data[at] | data[at + 1] << 8, leafSize = data[at + 2] | data[at + 3] << 8;
  at += 4;
  if (size < at + signSize + leafSize) return 0;
  CMemoryByteSource sign(data + at, signSize);
  CMemoryByteSource leaf(data + at + signSize, leafSize);
  CMemoryByteSource geo(data + at + signSize + leafSize, size - at - signSize - leafSize);
  auto validQuads = [](const CIsoSurface& s) {
    for (int corner : s.m_Quads)
      if (corner < 0 || corner >= s.VertexCount()) return false;
    return s.m_Xyz.size() == 3 * s.m_Cell.size();
  };
  auto onLevel = [&](int, const CIsoSurface& level) {
    if (!validQuads(level)) __builtin_trap();
    return 1;
  };
  CIsoSurface surface;
  if (!IsoDecode(header, sign, leaf, &geo, surface, error, onLevel)) {
    if (error.empty() || surface.VertexCount() != 0) __builtin_trap();
    return 0;
  }
  if (surface.VertexCount() != header.m_VertexCount || !validQuads(surface)) __builtin_trap();
  return 0;
}
