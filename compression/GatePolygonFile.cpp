// The polygon file of the gate coders: the mixed triangle and quad codes,
// the corners of the join codes and the geometry section.

#include "compression/GatePolygonFile.h"

#include "compression/GateStreams.h"
#include "geometry/FormatText.h"

namespace orvex {
namespace {

using namespace gatestreams;

constexpr uint32_t kMaxCount24 = (1u << 24) - 1;

// The geometry section, from its raw flag on, for the vertices in
// conquest order with their gate references (refs, 3 per vertex). The
// positions are written raw (flag 1) whatever `geometry` asks: the coded
// parameters take this section's place where their coder is present.
int WritePolygonGeometry(BitOutputStream& out, const std::vector<int>& refs,
                         const std::vector<float>& xyz, const CGatePolygonGeometry& geometry,
                         std::string& error) {
  (void)refs;
  (void)geometry;
  const size_t count = xyz.size() / 3;
  if (count > kMaxCount24) return Refuse(error, "Too many vertices for the file's 24-bit count");
  out.WriteBit(1);
  out.WriteBits(static_cast<uint32_t>(count), 24);
  for (float value : xyz) WriteFloat(out, value);
  return 1;
}

// Reads the section back into xyz (conquest order), refs as decoded.
int ReadPolygonGeometry(BitInputStream& in, size_t size, const std::vector<int>& refs,
                        std::vector<float>& xyz, std::string& error) {
  const uint32_t expected = static_cast<uint32_t>(refs.size() / 3);
  uint32_t raw = 0, count = 0;
  if (in.BReadBits(raw, 1) < 1 || in.Overrun())
    return Refuse(error, "The file ends before its geometry");
  if (!raw) return Refuse(error, "The file's coded geometry cannot be read here");
  if (in.BReadBits(count, 24) < 24 || in.Overrun())
    return Refuse(error, "The file ends inside its geometry");
  if (count != expected)
    return Refuse(error,
                  FormatText("The file holds %u positions for %u vertices", count, expected));
  return ReadPositions(in, size, static_cast<int>(count), xyz, error);
}

bool IsJoin(uint8_t code) {
  return code == kPolyTriJoin || code == kPolyQuadJoin;
}

} // namespace

int WriteGatePolygonFile(const CGateConquest& conquest, const std::vector<float>& xyz, int order,
                         const CGatePolygonGeometry& geometry, std::vector<uint8_t>& bytes,
                         CGateFileBits& bits, std::string& error) {
  if (order < 0 || order > 3) return Refuse(error, FormatText("Order %d is not 0 to 3", order));
  if (uint32_t(conquest.m_NbVertex) > kMaxCount24)
    return Refuse(error, "Too many vertices for the file's 24-bit indices");
  CMemoryByteSink sink;
  BitOutputStream out(&sink, 0);
  const bool join = !conquest.m_Seeds.empty();
  out.WriteBits(static_cast<uint32_t>(order), 2);
  out.WriteBit(join ? 1 : 0);
  if (!WriteCodes(conquest.m_Codes, kPolyCodeCount, order, out, error)) return 0;
  for (int place : conquest.m_Seeds) out.WriteBits(static_cast<uint32_t>(place), 24);
  bits.m_Connectivity = out.BitCount();
  // the positions in conquest order
  std::vector<float> ordered;
  ordered.reserve(conquest.m_Order.size() * 3);
  for (int v : conquest.m_Order)
    ordered.insert(ordered.end(), xyz.begin() + 3 * size_t(v), xyz.begin() + 3 * size_t(v) + 3);
  if (!WritePolygonGeometry(out, conquest.m_Refs, ordered, geometry, error)) return 0;
  return Finish(out, sink, bytes, bits.m_Total, error);
}

int ReadGatePolygonFile(const uint8_t* data, size_t size, bool adaptive, CGateDecoded& decoded,
                        std::string& error) {
  decoded = CGateDecoded();
  CMemoryByteSource source(data, size);
  BitInputStream in(&source, 0);
  if (!OpenInput(in, error)) return 0;
  uint32_t order = 0, join = 0;
  if (in.BReadBits(order, 2) < 2 || in.BReadBits(join, 1) < 1)
    return Refuse(error, "The file ends inside its header");
  decoded.m_Order = static_cast<int>(order);
  CGateConquest& conquest = decoded.m_Conquest;
  if (!ReadCodes(in, size, kPolyCodeCount, order, conquest.m_Codes, error)) return 0;
  // the corners of every join code, in code order
  for (uint8_t code : conquest.m_Codes) {
    if (!IsJoin(code)) continue;
    if (!join) return Refuse(error, "A join code without join corners");
    const int n = code == kPolyTriJoin ? 3 : 4;
    for (int k = 0; k < n; ++k) {
      uint32_t place = 0;
      if (in.BReadBits(place, 24) < 24 || in.Overrun())
        return Refuse(error, "The file ends inside its join corners");
      conquest.m_Seeds.push_back(static_cast<int>(place));
    }
    conquest.m_SeedSizes.push_back(n);
  }
  const int64_t vertexLimit = 4 * int64_t(conquest.m_Codes.size());
  if (!DecodeGateConquest(GateFaces::kPolygons, 0, adaptive, vertexLimit, conquest, error))
    return 0;
  return ReadPolygonGeometry(in, size, conquest.m_Refs, decoded.m_Xyz, error);
}

} // namespace orvex
