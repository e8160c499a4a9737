#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "compression/GateConquest.h"

namespace orvex {

// Sizes of a written gate file, in bits.
struct CGateFileBits {
  uint32_t m_Connectivity = 0; // header and codes (and the quad seed faces)
  uint32_t m_Total = 0;
};

// Writes the triangle file: second-pass flag, packed flag, order (3 bits),
// with seeds the 24-bit count of conquered vertices, the codes (packed:
// every create followed at once by a close-right becomes code 4), the
// positions as raw floats in conquest order, the seed faces, a pad byte.
// xyz holds the mesh's positions (3 per vertex); order 0..3.
int WriteGateTriangleFile(const CGateConquest& conquest, const std::vector<float>& xyz, int order,
                          bool packed, std::vector<uint8_t>& bytes, CGateFileBits& bits,
                          std::string& error);

// Writes the quad file: second-pass flag, with seeds the 24-bit count of
// conquered vertices, the codes (order 0), raw positions, seed faces.
int WriteGateQuadFile(const CGateConquest& conquest, const std::vector<float>& xyz,
                      std::vector<uint8_t>& bytes, CGateFileBits& bits, std::string& error);

// A decoded file: the conquest (faces in conquest places) and the
// positions in conquest order.
struct CGateDecoded {
  CGateConquest m_Conquest;
  std::vector<float> m_Xyz;
  int m_Order = 0;
  bool m_Packed = false;
};

// Reads and decodes a file of either kind; 0 with error set when the file
// is short, inconsistent or names anything outside what it holds.
int ReadGateTriangleFile(const uint8_t* data, size_t size, bool adaptive, CGateDecoded& decoded,
                         std::string& error);
int ReadGateQuadFile(const uint8_t* data, size_t size, bool adaptive, CGateDecoded& decoded,
                     std::string& error);

// The pairing of the packed stream: 0 then 2 becomes 4 (and back).
std::vector<uint8_t> PackTriangleCodes(const std::vector<uint8_t>& codes);
std::vector<uint8_t> UnpackTriangleCodes(const std::vector<uint8_t>& codes);

} // namespace orvex
