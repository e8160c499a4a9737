#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "compression/ProgressiveQuantizer.h"

class BitOutputStream;
class ContextEncoder;

namespace orvex {

struct CProgressiveEncoding;

// One layer as the ".vpm" file holds it. Codes are those of the conquest
// (a valence-3 removal is 3 in both layer types: the file stores it as 6
// in a cleaning layer). Values: three per removed vertex, its quantized
// x, y, z (raw form) or its residual normal, first and second tangential
// value (predicted form).
struct CVpmLayer {
  int m_Type = 0;
  std::vector<int> m_Codes;
  bool m_bPredicted = false;
  std::vector<int32_t> m_Values;
};

// Contents of a ".vpm" file: quantization, base mesh and the layers from
// the coarsest to the finest.
struct CVpmFile {
  CQuantizer m_Quantizer;
  std::vector<int32_t> m_BasePositions; // x, y, z per base vertex
  std::vector<int> m_BaseFaces;         // three base indices per face
  std::vector<CVpmLayer> m_Layers;
};

// Bits of each part of a written file.
struct CVpmSizes {
  long long m_Base = 0;         // header and base mesh
  long long m_Connectivity = 0; // layer count and range-coded codes
  long long m_Geometry = 0;     // layer count and geometry blocks
  long long m_Total = 0;        // the whole file, pad byte included
};

// A layer holding at most this many removed vertices stores them raw.
constexpr int kMostRawVertices = 15;

// One layer's connectivity as the file codes it: its type, its codes (a
// cleaning layer's 3 stored as 6) and the end-of-layer code 0.
int EncodeLayerCodes(ContextEncoder& coder, BitOutputStream& out, int type,
                     const std::vector<int>& codes);

// Vertices a layer's codes put back (a code 1 and its side code count
// once).
int CountRemovals(const std::vector<int>& codes);

// The file of an encoding: base and layers coarsest first, each layer's
// geometry raw or predicted by its size.
CVpmFile VpmFromEncoding(const CProgressiveEncoding& encoding);

// Writes the file; 0 with error when a count does not fit its field.
int WriteVpm(const CVpmFile& file, std::vector<uint8_t>& bytes, CVpmSizes& sizes,
             std::string& error);
// Reads and checks a file: every count against the bits left, every index
// against the vertex count, every code against its layer. 0 with error
// when it is refused; a short file is an error, never zeros.
int ReadVpm(const uint8_t* data, size_t size, CVpmFile& file, std::string& error);

// A layer file: the layer type in one bit, then the codes with an order-0
// context coder of alphabet 7 up to its end symbol.
std::vector<uint8_t> WriteLayerFile(int type, const std::vector<int>& codes);
int ReadLayerFile(const uint8_t* data, size_t size, int& type, std::vector<int>& codes,
                  std::string& error);

} // namespace orvex
