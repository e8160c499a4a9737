#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "compression/GateFiles.h"
#include "compression/GateGeometry.h"

namespace orvex {

// Writes the polygon file: order (2 bits), the join flag (1 bit: join
// corners follow the codes), the 12 polygon codes through the order-k
// context coder, the join corners (24 bits each), then the geometry
// section (GateGeometry.h: raw positions or their gate parameters, in
// conquest order). m_Connectivity counts everything before the geometry.
int WriteGatePolygonFile(const CGateConquest& conquest, const std::vector<float>& xyz, int order,
                         const CGateGeometryOptions& geometry, std::vector<uint8_t>& bytes,
                         CGateFileBits& bits, std::string& error);

int ReadGatePolygonFile(const uint8_t* data, size_t size, bool adaptive, CGateDecoded& decoded,
                        std::string& error);

} // namespace orvex
