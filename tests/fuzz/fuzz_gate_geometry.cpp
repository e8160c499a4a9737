// Gate geometry reader on arbitrary bytes. Byte 0 gives the vertex count of
// a fixed chain of references (each vertex predicted from the three before
// it, the first three seeds); the rest is the section. A section read must
// give one finite position per vertex.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "compression/GateGeometry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const int n = data[0];
  std::vector<CGateVertexRef> refs;
  for (int i = 0; i < n; ++i)
    refs.push_back(i < 3 ? CGateVertexRef{-1, -1, -1} : CGateVertexRef{i - 3, i - 2, i - 1});
  CMemoryByteSource source(data + 1, size - 1);
  BitInputStream in(&source, 0);
  in.SetConsole(nullptr);
  in.Load();
  std::vector<float> xyz;
  std::string error;
  if (!ReadGateGeometry(in, refs, xyz, error)) {
    if (error.empty()) __builtin_trap();
    return 0;
  }
  if (xyz.size() != 3 * size_t(n)) __builtin_trap();
  for (float f : xyz)
    if (!std::isfinite(f)) __builtin_trap();
  return 0;
}
