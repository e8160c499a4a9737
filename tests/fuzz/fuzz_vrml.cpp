// Fuzzes the VRML 2.0 reader from memory; texture files are named but not
// read, so nothing touches the disk.

#include <cstddef>
#include <cstdint>

#include "fuzz_mesh_checks.h"
#include "io/ReadVrml.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CSceneGraph3d scene;
  CVrmlParser parser;
  parser.m_ReadTextureFiles = 0;
  const int ok = parser.LoadFromMemory(reinterpret_cast<const char*>(data), size, &scene);
  if (!ok && (scene.NbObject() != 0 || parser.GetError().empty())) std::abort();
  CheckScene(scene);
  return 0;
}
