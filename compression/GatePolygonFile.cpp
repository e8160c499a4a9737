// The polygon file of the gate coders: the mixed triangle and quad codes,
// the corners of the join codes and the geometry section.

#include "compression/GatePolygonFile.h"

#include "compression/GateStreams.h"
#include "geometry/FormatText.h"

namespace orvex {
namespace {

using namespace gatestreams;

constexpr uint32_t kMaxCount24 = (1u << 24) - 1;

// The conquest's references (3 places per vertex) as the geometry coder
// takes them.
std::vector<CGateVertexRef> VertexRefs(const std::vector<int>& refs) {
  std::vector<CGateVertexRef> out(refs.size() / 3);
  for (size_t i = 0; i < out.size(); i++) out[i] = {refs[3 * i], refs[3 * i + 1], refs[3 * i + 2]};
  return out;
}

bool IsJoin(uint8_t code) {
  return code == kPolyTriJoin || code == kPolyQuadJoin;
}

} // namespace

int WriteGatePolygonFile(const CGateConquest& conquest, const std::vector<float>& xyz, int order,
                         const CGateGeometryOptions& geometry, std::vector<uint8_t>& bytes,
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
  if (!WriteGateGeometry(out, VertexRefs(conquest.m_Refs), ordered, geometry, error)) return 0;
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
  return ReadGateGeometry(in, VertexRefs(conquest.m_Refs), decoded.m_Xyz, error);
}

} // namespace orvex
