// Volume readers on arbitrary bytes. Byte 0 picks the kind (bit 0: sign
// bitmap, else potentials); the rest is the file. A volume read must be
// whole and consistent.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "compression/IsoVolumeFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const CIsoVolumeKind kind = (data[0] & 1) ? CIsoVolumeKind::Signs : CIsoVolumeKind::Potentials;
  std::istringstream in(std::string(reinterpret_cast<const char*>(data + 1), size - 1));
  CIsoVolume volume;
  std::string error;
  if (!IsoReadVolume(in, kind, volume, error)) {
    if (error.empty()) __builtin_trap();
    return 0;
  }
  if (!IsoDepthOfGrid(volume.m_N) || volume.m_Signs.Size() != volume.m_N) __builtin_trap();
  if (kind == CIsoVolumeKind::Potentials &&
      static_cast<int64_t>(volume.m_Potential.size()) != volume.PointCount())
    __builtin_trap();
  return 0;
}
