// Grid file reader (the ".dat" mesh a distance field is computed from) on
// arbitrary bytes: a file read must give whole triangles whose corners
// name read vertices.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "compression/IsoDistanceField.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  CGridFileMesh mesh;
  std::string error;
  if (!IsoReadGridFile(in, mesh, error)) {
    if (error.empty()) __builtin_trap();
    return 0;
  }
  if (mesh.m_Xyz.size() % 3 != 0 || mesh.m_Triangles.size() % 3 != 0) __builtin_trap();
  const long vertices = static_cast<long>(mesh.m_Xyz.size() / 3);
  for (int index : mesh.m_Triangles)
    if (index < 0 || index >= vertices) __builtin_trap();
  return 0;
}
