// Fuzzes the ".raw" binary scene reader from memory.

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_mesh_checks.h"
#include "io/ReadBinaryScene.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CSceneGraph3d scene;
  CReadReport report;
  std::string error;
  const int ok = ReadBinarySceneFromMemory(&scene, data, size, report, error);
  if (!ok && (scene.NbObject() != 0 || error.empty())) std::abort();
  CheckScene(scene);
  return 0;
}
