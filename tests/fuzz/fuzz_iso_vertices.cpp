// Vertex file (".vtx") reader on arbitrary bytes: a read must give whole,
// finite triples.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "compression/IsoSurfaceFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  std::vector<double> xyz;
  std::string error;
  if (!IsoReadVertices(in, xyz, error)) {
    if (error.empty()) __builtin_trap();
    return 0;
  }
  if (xyz.size() % 3 != 0 || xyz.size() * 4 != size) __builtin_trap();
  for (double v : xyz)
    if (!std::isfinite(v)) __builtin_trap();
  return 0;
}
