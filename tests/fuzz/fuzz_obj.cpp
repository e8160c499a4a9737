// Fuzzes the ".obj" reader from memory. Input holding a zero byte is a
// material library (the bytes before it), which every "mtllib" finds, and
// the file (the bytes after it).

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz_mesh_checks.h"
#include "io/ReadObj.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const char* text = reinterpret_cast<const char*>(data);
  const char* split = static_cast<const char*>(std::memchr(text, 0, size));
  const std::string library(text, split ? static_cast<size_t>(split - text) : 0);
  if (split) {
    size -= static_cast<size_t>(split - text) + 1;
    text = split + 1;
  }
  const ObjLibraryLoader libraries = [&library](const std::string&, std::string& out) {
    out = library;
    return true;
  };
  CMesh3d mesh;
  CReadReport report;
  std::string error;
  const int ok = ReadObjFromMemory(&mesh, text, size, report, error, libraries);
  if (!ok && (mesh.NbVertex() != 0 || error.empty())) std::abort();
  CheckMesh(mesh);
  // the scene reader keeps larger faces in a polygon mesh
  CSceneGraph3d scene;
  CReadReport sceneReport;
  std::string sceneError;
  const int sceneOk =
      ReadObjSceneFromMemory(&scene, text, size, sceneReport, sceneError, libraries);
  if (sceneOk != ok || scene.NbObject() != ok) std::abort();
  return 0;
}
