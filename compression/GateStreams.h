#pragma once

// Pieces of the gate coders' files shared by the triangle, quad and polygon
// layouts.

#include <cstdint>
#include <string>
#include <vector>

#include "compression/BitStream.h"
#include "compression/GateConquest.h"

namespace orvex {
namespace gatestreams {

// Sets error and returns 0.
int Refuse(std::string& error, const std::string& message);
// The codes through an order-k context coder of the alphabet, finished.
int WriteCodes(const std::vector<uint8_t>& codes, int alphabet, int order, BitOutputStream& out,
               std::string& error);
// Reads them back; a file of `size` bytes holds at most 2 * size + 1024.
int ReadCodes(BitInputStream& in, size_t size, int alphabet, int order, std::vector<uint8_t>& codes,
              std::string& error);
// One 32-bit float, least significant bit first.
void WriteFloat(BitOutputStream& out, float value);
// count positions (3 floats each); a count the rest of the file cannot
// hold is refused before anything is allocated.
int ReadPositions(BitInputStream& in, size_t size, int count, std::vector<float>& xyz,
                  std::string& error);
// Closes the stream and hands out its bytes and bit count.
int Finish(BitOutputStream& out, CMemoryByteSink& sink, std::vector<uint8_t>& bytes,
           uint32_t& totalBits, std::string& error);
// Loads the first byte; the console stays silent.
int OpenInput(BitInputStream& in, std::string& error);

} // namespace gatestreams
} // namespace orvex
