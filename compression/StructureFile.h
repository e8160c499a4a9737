#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orvex {

// The three streams of the structure coder with the header values of its
// file ("topology.bin"): the vertex count in 32 bits; 1 bit set when the
// dummy vertex's degree is at least 3, then that degree in 16 bits; the
// largest degree code in 8 bits and the degree stream with an order-0
// context coder; 1 bit set when there are offsets, then the largest offset
// minus 1 in 16 bits, the offsets minus 1 with an order-0 context coder and
// one raw sign bit per offset; a closing pad byte. Integers are written
// least significant bit first.
struct CStructureStreams {
  uint32_t m_NbVertex = 0;
  int m_DummyDegree = 0; // written only when at least 3
  std::vector<int> m_Degrees;
  std::vector<int> m_Offsets; // magnitudes, at least 1
  std::vector<int> m_Signs;   // 1 for a negative offset
};

// Refuses (0 with a message, nothing written) values the layout cannot
// hold: a degree code over 255, a dummy degree over 65535, an offset over
// 65536 or beyond the context coder's alphabet.
int WriteStructureFile(const CStructureStreams& streams, std::vector<uint8_t>& bytes,
                       long long& bits, std::string& error);

// Reads the layout back; counts are checked against the bits left and a
// short or corrupt file is refused with a message. With `conquestCodes`
// the degree stream is also checked as it is read against what every
// conquest's stream holds (CStructureCodeCheck), and the offsets must be
// one per split code, so that a corrupt file is refused early.
int ReadStructureFile(const uint8_t* data, size_t size, CStructureStreams& streams,
                      std::string& error, bool conquestCodes = false);

} // namespace orvex
