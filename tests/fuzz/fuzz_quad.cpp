// Fuzzes the quad-mesh reader from memory, then one Catmull-Clark and one
// Kobbelt step of what it read.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "geometry/QuadMesh.h"
#include "io/ReadPolygonFile.h"
#include "processing/QuadSubdivision.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CQuadMesh mesh;
  CReadReport report;
  std::string error;
  const int ok =
      ReadQuadFromMemory(&mesh, reinterpret_cast<const char*>(data), size, report, error);
  if (!ok) {
    if (mesh.NbFace() != 0 || error.empty()) std::abort();
    return 0;
  }
  for (const CQuadFace& face : mesh.m_Faces)
    for (int v : face.v)
      if (v < 0 || v >= mesh.NbVertex()) std::abort();
  if (mesh.NbFace() > 4096) return 0;
  CQuadMesh copy(mesh);
  SubdivisionCatmullClark(mesh);
  SubdivisionKobbelt(copy);
  SmoothQuads(copy);
  if (mesh.NbFace() != copy.NbFace()) std::abort();
  return 0;
}
