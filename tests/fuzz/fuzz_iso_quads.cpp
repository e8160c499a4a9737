// Quad file (".con") reader on arbitrary bytes. Byte 0 gives the vertex
// count; the rest is the file. A read must give whole quads of distinct
// vertices below the count.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "compression/IsoSurfaceFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const int vertexCount = data[0];
  std::istringstream in(std::string(reinterpret_cast<const char*>(data + 1), size - 1));
  std::vector<int> quads;
  std::string error;
  if (!IsoReadQuads(in, vertexCount, quads, error)) {
    if (error.empty()) __builtin_trap();
    return 0;
  }
  if (quads.size() % 4 != 0 || quads.size() * 4 + 4 != size - 1) __builtin_trap();
  for (size_t q = 0; q < quads.size(); q += 4)
    for (int k = 0; k < 4; ++k) {
      if (quads[q + k] < 0 || quads[q + k] >= vertexCount) __builtin_trap();
      for (int j = 0; j < k; ++j)
        if (quads[q + j] == quads[q + k]) __builtin_trap();
    }
  return 0;
}
