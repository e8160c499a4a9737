// The triangle and quad files of the gate coders. Integers are written
// least significant bit first through one bit stream; the codes go through
// the order-k context coder and positions as raw 32-bit floats.

#include "compression/GateFiles.h"
#include "compression/GateStreams.h"

#include "compression/BitStream.h"
#include "compression/ContextCoder.h"
#include "compression/FloatBits.h"
#include "geometry/FormatText.h"

namespace orvex {
namespace {

constexpr int kTriangleAlphabet = 4;
constexpr int kPackedAlphabet = 5;
constexpr int kQuadAlphabet = 7;
constexpr uint32_t kMaxCount24 = (1u << 24) - 1;
// Bound on the codes a file of `size` bytes may hold. The positions are
// raw (12 bytes a vertex) and a face gives a few codes, so a sound file
// has far fewer codes than bytes; the bound keeps a corrupt file's work
// in proportion to its size.
uint64_t MaxCodes(size_t size) {
  return 2 * uint64_t(size) + 1024;
}

} // namespace

namespace gatestreams {

int Refuse(std::string& error, const std::string& message) {
  error = message;
  return 0;
}

// Bits of an index into n conquered vertices: ceil(log2(n)).
int IndexBits(int n) {
  int bits = 0;
  while (bits < 31 && (int64_t(1) << bits) < n) ++bits;
  return bits;
}

int WriteCodes(const std::vector<uint8_t>& codes, int alphabet, int order, BitOutputStream& out,
               std::string& error) {
  ContextEncoder coder;
  coder.Init(alphabet);
  coder.Start(order);
  for (uint8_t c : codes) coder.Encode(c, out);
  if (!coder.Finish(out)) return Refuse(error, "Coding the codes failed: " + coder.Error());
  return 1;
}

int ReadCodes(BitInputStream& in, size_t size, int alphabet, int order, std::vector<uint8_t>& codes,
              std::string& error) {
  ContextDecoder coder;
  coder.Init(alphabet);
  coder.SetSymbolLimit(MaxCodes(size));
  if (!coder.Start(in, order)) return Refuse(error, "The code stream is cut short");
  int symbol = 0;
  while (coder.Decode(symbol, in)) codes.push_back(static_cast<uint8_t>(symbol));
  if (coder.Failed()) return Refuse(error, "The code stream is corrupt: " + coder.Error());
  if (!coder.Finish(in)) return Refuse(error, "The code stream is corrupt: " + coder.Error());
  return 1;
}

void WriteFloat(BitOutputStream& out, float value) {
  out.WriteBits(FloatBits(value), 32);
}

// Positions of the conquered vertices, in conquest order.
void WritePositions(const CGateConquest& conquest, const std::vector<float>& xyz,
                    BitOutputStream& out) {
  for (int v : conquest.m_Order)
    for (int k = 0; k < 3; ++k) WriteFloat(out, xyz[3 * size_t(v) + k]);
}

int ReadPositions(BitInputStream& in, size_t size, int count, std::vector<float>& xyz,
                  std::string& error) {
  // every float takes 4 bytes: a count the file cannot hold is refused
  // before anything is allocated
  const uint64_t used = in.BitCount() / 8;
  if (used > size || uint64_t(count) * 12 > size - used)
    return Refuse(error, "The file ends inside its positions");
  xyz.clear();
  xyz.reserve(size_t(count) * 3);
  for (int i = 0; i < 3 * count; ++i) {
    uint32_t word = 0;
    if (in.BReadBits(word, 32) < 32 || in.Overrun())
      return Refuse(error, "The file ends inside its positions");
    xyz.push_back(BitsFloat(word));
  }
  return 1;
}

void WriteSeeds(const CGateConquest& conquest, BitOutputStream& out) {
  out.WriteBits(static_cast<uint32_t>(conquest.NbSeed()), 8);
  const int bits = IndexBits(conquest.m_NbVertex);
  for (int place : conquest.m_Seeds) out.WriteBits(static_cast<uint32_t>(place), bits);
}

int ReadSeeds(BitInputStream& in, int size, int nbVertex, CGateConquest& conquest,
              std::string& error) {
  uint32_t count = 0;
  if (in.BReadBits(count, 8) < 8 || in.Overrun())
    return Refuse(error, "The file ends before its seed faces");
  const int bits = IndexBits(nbVertex);
  for (uint32_t s = 0; s < count; ++s) {
    for (int k = 0; k < size; ++k) {
      uint32_t place = 0;
      if (in.BReadBits(place, bits) < bits || in.Overrun())
        return Refuse(error, "The file ends inside its seed faces");
      if (place >= uint32_t(nbVertex))
        return Refuse(error, FormatText("A seed face names vertex %u of %d", place, nbVertex));
      conquest.m_Seeds.push_back(static_cast<int>(place));
    }
    conquest.m_SeedSizes.push_back(size);
  }
  return 1;
}

int CheckCounts(const CGateConquest& conquest, std::string& error) {
  if (conquest.NbSeed() > kGateMaxSeeds)
    return Refuse(error, "More seed faces than the file can name");
  if (conquest.NbSeed() > 0 && uint32_t(conquest.m_NbVertex) > kMaxCount24)
    return Refuse(error, "Too many vertices for the file's 24-bit count");
  return 1;
}

int Finish(BitOutputStream& out, CMemoryByteSink& sink, std::vector<uint8_t>& bytes,
           uint32_t& totalBits, std::string& error) {
  out.Close();
  if (out.Failed()) return Refuse(error, out.Error());
  totalBits = out.BitCount();
  bytes = sink.Bytes();
  return 1;
}

int OpenInput(BitInputStream& in, std::string& error) {
  in.SetConsole(nullptr);
  if (!in.Load()) return Refuse(error, "The file is empty");
  return 1;
}

// The second-pass flag's 24-bit count of conquered vertices.
int ReadVertexCount(BitInputStream& in, int& count, std::string& error) {
  uint32_t value = 0;
  if (in.BReadBits(value, 24) < 24 || in.Overrun())
    return Refuse(error, "The file ends inside its header");
  count = static_cast<int>(value);
  return 1;
}

} // namespace gatestreams

using namespace gatestreams;

std::vector<uint8_t> PackTriangleCodes(const std::vector<uint8_t>& codes) {
  std::vector<uint8_t> packed;
  packed.reserve(codes.size());
  for (size_t i = 0; i < codes.size(); ++i) {
    if (codes[i] == kTriCreate && i + 1 < codes.size() && codes[i + 1] == kTriCloseRight) {
      packed.push_back(4);
      ++i;
    } else {
      packed.push_back(codes[i]);
    }
  }
  return packed;
}

std::vector<uint8_t> UnpackTriangleCodes(const std::vector<uint8_t>& codes) {
  std::vector<uint8_t> plain;
  plain.reserve(codes.size() + codes.size() / 2);
  for (uint8_t c : codes) {
    if (c == 4) {
      plain.push_back(kTriCreate);
      plain.push_back(kTriCloseRight);
    } else {
      plain.push_back(c);
    }
  }
  return plain;
}

int WriteGateTriangleFile(const CGateConquest& conquest, const std::vector<float>& xyz, int order,
                          bool packed, std::vector<uint8_t>& bytes, CGateFileBits& bits,
                          std::string& error) {
  if (order < 0 || order > 3) return Refuse(error, FormatText("Order %d is not 0 to 3", order));
  if (!CheckCounts(conquest, error)) return 0;
  CMemoryByteSink sink;
  BitOutputStream out(&sink, 0);
  const bool second = conquest.NbSeed() > 0;
  // header
  out.WriteBit(second ? 1 : 0);
  out.WriteBit(packed ? 1 : 0);
  out.WriteBits(static_cast<uint32_t>(order), 3);
  if (second) out.WriteBits(static_cast<uint32_t>(conquest.m_NbVertex), 24);
  // codes
  if (!WriteCodes(packed ? PackTriangleCodes(conquest.m_Codes) : conquest.m_Codes,
                  packed ? kPackedAlphabet : kTriangleAlphabet, order, out, error))
    return 0;
  bits.m_Connectivity = out.BitCount();
  // geometry, then the seed faces
  WritePositions(conquest, xyz, out);
  if (second) WriteSeeds(conquest, out);
  return Finish(out, sink, bytes, bits.m_Total, error);
}

int WriteGateQuadFile(const CGateConquest& conquest, const std::vector<float>& xyz,
                      std::vector<uint8_t>& bytes, CGateFileBits& bits, std::string& error) {
  if (!CheckCounts(conquest, error)) return 0;
  CMemoryByteSink sink;
  BitOutputStream out(&sink, 0);
  const bool second = conquest.NbSeed() > 0;
  out.WriteBit(second ? 1 : 0);
  if (second) out.WriteBits(static_cast<uint32_t>(conquest.m_NbVertex), 24);
  if (!WriteCodes(conquest.m_Codes, kQuadAlphabet, 0, out, error)) return 0;
  bits.m_Connectivity = out.BitCount();
  WritePositions(conquest, xyz, out);
  if (second) {
    const uint32_t before = out.BitCount();
    WriteSeeds(conquest, out);
    bits.m_Connectivity += out.BitCount() - before;
  }
  return Finish(out, sink, bytes, bits.m_Total, error);
}

int ReadGateTriangleFile(const uint8_t* data, size_t size, bool adaptive, CGateDecoded& decoded,
                         std::string& error) {
  decoded = CGateDecoded();
  CMemoryByteSource source(data, size);
  BitInputStream in(&source, 0);
  if (!OpenInput(in, error)) return 0;
  uint32_t second = 0, packed = 0, order = 0;
  if (in.BReadBits(second, 1) < 1 || in.BReadBits(packed, 1) < 1 || in.BReadBits(order, 3) < 3)
    return Refuse(error, "The file ends inside its header");
  if (order > 3)
    return Refuse(error, FormatText("The file's context order %u is not 0 to 3", order));
  int count = 0;
  if (second && !ReadVertexCount(in, count, error)) return 0;
  decoded.m_Order = static_cast<int>(order);
  decoded.m_Packed = packed != 0;
  CGateConquest& conquest = decoded.m_Conquest;
  if (!ReadCodes(in, size, packed ? kPackedAlphabet : kTriangleAlphabet, order, conquest.m_Codes,
                 error))
    return 0;
  if (packed) conquest.m_Codes = UnpackTriangleCodes(conquest.m_Codes);
  if (second) {
    // positions, seeds, then the conquest they drive
    if (!ReadPositions(in, size, count, decoded.m_Xyz, error)) return 0;
    if (!ReadSeeds(in, 3, count, conquest, error)) return 0;
    if (!DecodeGateConquest(GateFaces::kTriangles, 3, adaptive, count, conquest, error)) return 0;
    if (conquest.m_NbVertex != count)
      return Refuse(error, "The file's vertex count disagrees with its codes");
    return 1;
  }
  // one run: the codes alone say how many positions follow
  if (!DecodeGateConquest(GateFaces::kTriangles, 3, adaptive,
                          int64_t(3) + int64_t(conquest.m_Codes.size()), conquest, error))
    return 0;
  return ReadPositions(in, size, conquest.m_NbVertex, decoded.m_Xyz, error);
}

int ReadGateQuadFile(const uint8_t* data, size_t size, bool adaptive, CGateDecoded& decoded,
                     std::string& error) {
  decoded = CGateDecoded();
  CMemoryByteSource source(data, size);
  BitInputStream in(&source, 0);
  if (!OpenInput(in, error)) return 0;
  uint32_t second = 0;
  if (in.BReadBits(second, 1) < 1) return Refuse(error, "The file ends inside its header");
  int count = 0;
  if (second && !ReadVertexCount(in, count, error)) return 0;
  CGateConquest& conquest = decoded.m_Conquest;
  if (!ReadCodes(in, size, kQuadAlphabet, 0, conquest.m_Codes, error)) return 0;
  if (second) {
    if (!ReadPositions(in, size, count, decoded.m_Xyz, error)) return 0;
    if (!ReadSeeds(in, 4, count, conquest, error)) return 0;
    if (!DecodeGateConquest(GateFaces::kQuads, 4, adaptive, count, conquest, error)) return 0;
    if (conquest.m_NbVertex != count)
      return Refuse(error, "The file's vertex count disagrees with its codes");
    return 1;
  }
  if (!DecodeGateConquest(GateFaces::kQuads, 4, adaptive,
                          int64_t(4) + 2 * int64_t(conquest.m_Codes.size()), conquest, error))
    return 0;
  return ReadPositions(in, size, conquest.m_NbVertex, decoded.m_Xyz, error);
}

} // namespace orvex
