#pragma once

#include <istream>
#include <string>

#include "compression/IsoVolume.h"

// Volume files. Both begin with one text line "N x0 y0 z0 ux uy uz isovalue"
// (grid size, origin, unit sizes, isovalue); a potential file (".iso") then
// holds N^3 little-endian float32 values, a sign file (".bbm") the sign
// bitmap (N^3 bits, most significant bit first). Every field is checked;
// the payload must have exactly the announced size.
enum class CIsoVolumeKind { Potentials, Signs };

// Reads a volume; 0 with a message (naming what is wrong) otherwise, the
// volume then left as it was.
int IsoReadVolume(std::istream& in, CIsoVolumeKind kind, CIsoVolume& volume, std::string& error);
int IsoReadVolumeFile(const std::string& path, CIsoVolumeKind kind, CIsoVolume& volume,
                      std::string& error);

// Writes a volume (potentials only when it has them); 0 with a message.
int IsoWriteVolumeFile(const std::string& path, CIsoVolumeKind kind, const CIsoVolume& volume,
                       std::string& error);
