#pragma once

// Shared by the gate decoders' fuzz targets: a decoding ends with faces
// whose corners are all decoded vertices, or with a message.
#include <cstdint>
#include <string>

#include "compression/GateFiles.h"

inline void CheckGateDecoding(int ok, const orvex::CGateDecoded& decoded,
                              const std::string& error) {
  if (!ok) {
    if (error.empty()) __builtin_trap();
    return;
  }
  const size_t nbVertex = decoded.m_Xyz.size() / 3;
  for (int corner : decoded.m_Conquest.m_Corners)
    if (corner < 0 || size_t(corner) >= nbVertex) __builtin_trap();
}
