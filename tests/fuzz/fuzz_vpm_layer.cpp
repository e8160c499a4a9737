// Layer files on arbitrary bytes, applied to a closed mesh (an octahedron
// refined once): reading must refuse or accept them, and decoding the
// accepted codes must end with a consistent mesh or a refusal.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "compression/ProgressiveDecoder.h"
#include "compression/ProgressiveMesh.h"
#include "compression/VpmFile.h"

namespace {

// Octahedron with every face split at its centre: 14 vertices, 24 faces.
orvex::CProgressiveMesh Refined() {
  std::vector<int32_t> p = {1, 0, 0, -1, 0, 0, 0, 1, 0, 0, -1, 0, 0, 0, 1, 0, 0, -1};
  const int faces[8][3] = {{0, 2, 4}, {2, 1, 4}, {1, 3, 4}, {3, 0, 4},
                           {2, 0, 5}, {1, 2, 5}, {3, 1, 5}, {0, 3, 5}};
  std::vector<int> triangles;
  for (const auto& f : faces) {
    const int c = static_cast<int>(p.size() / 3);
    p.insert(p.end(), {0, 0, 0});
    for (int k = 0; k < 3; ++k) triangles.insert(triangles.end(), {f[k], f[(k + 1) % 3], c});
  }
  orvex::CProgressiveMesh mesh;
  mesh.Build(p, triangles);
  return mesh;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  int type = 0;
  std::vector<int> codes;
  std::string error;
  if (!orvex::ReadLayerFile(data, size, type, codes, error)) return 0;
  orvex::CProgressiveMesh mesh = Refined();
  std::vector<orvex::CInsertion> inserted;
  if (!orvex::DecodeLayer(mesh, type, codes, inserted, error)) return 0;
  for (int corner : mesh.Triangles())
    if (corner < 0 || corner >= mesh.NbVertex()) __builtin_trap();
  return 0;
}
