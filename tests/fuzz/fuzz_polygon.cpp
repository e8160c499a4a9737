// Fuzzes the polygon reader from memory, then every conversion of what it
// read.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "geometry/Mesh3d.h"
#include "geometry/PolygonMesh.h"
#include "geometry/QuadMesh.h"
#include "io/ReadPolygonFile.h"
#include "processing/PolygonConversions.h"
#include "processing/TriangleToQuad.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CPolygonMesh mesh;
  CReadReport report;
  std::string error;
  const int ok =
      ReadPolygonFromMemory(&mesh, reinterpret_cast<const char*>(data), size, report, error);
  if (!ok) {
    if (mesh.NbFace() != 0 || error.empty()) std::abort();
    return 0;
  }
  for (int c : mesh.m_Corners)
    if (c < 0 || c >= mesh.NbVertex()) std::abort();
  std::unique_ptr<CMesh3d> star(ToTriangleStar(mesh));
  std::unique_ptr<CMesh3d> regular(ToTriangleRegular(mesh));
  if (regular->NbVertex() != mesh.NbVertex()) std::abort();
  // every face flagged: the quads of the star triangulation
  star->SetFlagOnFaces(1);
  delete ToQuadMesh(*star);
  CPolygonMesh split(mesh);
  SplitIntoQuadsAndTriangles(split);
  CPolygonMesh welded(mesh);
  Weld(welded);
  for (int c : welded.m_Corners)
    if (c < 0 || c >= welded.NbVertex()) std::abort();
  CPolygonMesh back;
  FromTriangleMesh(back, *regular);
  return 0;
}
