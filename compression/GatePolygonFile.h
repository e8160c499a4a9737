#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "compression/GateFiles.h"

namespace orvex {

// How the polygon file's positions are written: raw floats, or (when the
// parameter coder is present) as alpha, beta, gamma or local x, y, z
// relative to the gate that reached each vertex.
struct CGatePolygonGeometry {
  bool m_Raw = true;
  int m_Alpha = 100, m_Beta = 100, m_Gamma = 100;
  bool m_UseBeta = true;
  bool m_LocalFrame = false;
  int m_LocalX = 100, m_LocalY = 100, m_LocalZ = 100;
  bool m_Together = false;
  int m_EncodingOption = 0;
};

// Writes the polygon file: order (2 bits), the join flag (1 bit: join
// corners follow the codes), the 12 polygon codes through the order-k
// context coder, the join corners (24 bits each), then the geometry
// section (its raw flag, the 24-bit vertex count and the positions in
// conquest order). m_Connectivity counts everything before the geometry.
int WriteGatePolygonFile(const CGateConquest& conquest, const std::vector<float>& xyz, int order,
                         const CGatePolygonGeometry& geometry, std::vector<uint8_t>& bytes,
                         CGateFileBits& bits, std::string& error);

int ReadGatePolygonFile(const uint8_t* data, size_t size, bool adaptive, CGateDecoded& decoded,
                        std::string& error);

} // namespace orvex
