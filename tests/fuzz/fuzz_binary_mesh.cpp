// Fuzzes the ".bin" binary mesh reader from memory.

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_mesh_checks.h"
#include "io/ReadBinaryScene.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CMesh3d mesh;
  CReadReport report;
  std::string error;
  const int ok = ReadBinaryMeshFromMemory(&mesh, data, size, report, error);
  if (!ok && (mesh.NbVertex() != 0 || error.empty())) std::abort();
  CheckMesh(mesh);
  return 0;
}
