// Progressive mesh files (".vpm") on arbitrary bytes: the reader must
// refuse or accept them without reading out of bounds, and an accepted
// file must decode (or be refused by the decoder) in bounded time, every
// face naming vertices of the decoded mesh.
#include <cstddef>
#include <cstdint>
#include <string>

#include "compression/ProgressiveDecoder.h"
#include "compression/ProgressiveMesh.h"
#include "compression/VpmFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  orvex::CVpmFile file;
  std::string error;
  if (!orvex::ReadVpm(data, size, file, error)) {
    if (error.empty()) __builtin_trap();
    return 0;
  }
  orvex::CProgressiveMesh mesh;
  if (!orvex::DecodeProgressive(file, orvex::CDecodeOptions(), mesh, error)) return 0;
  for (int corner : mesh.Triangles())
    if (corner < 0 || corner >= mesh.NbVertex()) __builtin_trap();
  return 0;
}
