#pragma once

// Encodes a mesh with the progressive valence coder, writes and reads its
// file, decodes it, and keeps what the checks compare: every level of the
// encoder next to the decoder's level with the same number of layers.

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "compression/ProgressiveDecoder.h"
#include "compression/ProgressiveEncoder.h"
#include "compression/ProgressiveMesh.h"
#include "compression/ProgressiveMeshes.h"
#include "compression/VpmFile.h"
#include "geometry/Mesh3d.h"

namespace progressivetest {

using Triangle = std::array<int, 3>;

// Faces as a sorted list, each turned to start at its smallest vertex
// (orientation kept).
inline std::vector<Triangle> Canonical(const std::vector<int>& corners) {
  std::vector<Triangle> out;
  for (size_t i = 0; i + 2 < corners.size(); i += 3) {
    Triangle t{corners[i], corners[i + 1], corners[i + 2]};
    std::rotate(t.begin(), std::min_element(t.begin(), t.end()), t.end());
    out.push_back(t);
  }
  std::sort(out.begin(), out.end());
  return out;
}

struct DecodedLevel {
  std::vector<int> faces;         // in encoder vertices
  std::vector<int32_t> positions; // quantized, per decoded vertex
};

struct RoundTrip {
  orvex::CProgressiveEncoding encoding;
  std::vector<uint8_t> bytes;
  orvex::CVpmSizes sizes;
  orvex::CVpmFile file;
  std::vector<DecodedLevel> decoded; // base first
  std::string error;
  bool ok = false;

  // The decoded level with `layers` layers, next to the encoder's level
  // it must equal.
  std::vector<Triangle> EncoderLevel(int layers) const {
    const int k = static_cast<int>(encoding.m_Layers.size()) - layers;
    return Canonical(encoding.m_Levels[k]);
  }
};

inline RoundTrip RunRoundTrip(const CMesh3d& mesh, orvex::CProgressiveOptions options) {
  RoundTrip trip;
  std::vector<double> positions;
  std::vector<int> triangles;
  orvex::MeshArrays(mesh, positions, triangles);
  options.m_bKeepLevels = true;
  if (!orvex::EncodeProgressive(positions, triangles, options, trip.encoding)) {
    trip.error = trip.encoding.m_Error;
    return trip;
  }
  if (!orvex::WriteVpm(orvex::VpmFromEncoding(trip.encoding), trip.bytes, trip.sizes, trip.error))
    return trip;
  if (!orvex::ReadVpm(trip.bytes.data(), trip.bytes.size(), trip.file, trip.error)) return trip;
  const std::vector<int> order = trip.encoding.DecodedOrder();
  orvex::CDecodeOptions decode;
  decode.m_OnLayer = [&](const orvex::CProgressiveMesh& m, const orvex::CQuantizer&, int, int) {
    DecodedLevel level;
    level.faces = m.Triangles();
    for (int& v : level.faces) v = v < static_cast<int>(order.size()) ? order[v] : -1;
    for (int v = 0; v < m.NbVertex(); ++v)
      level.positions.insert(level.positions.end(), m.Position(v), m.Position(v) + 3);
    trip.decoded.push_back(std::move(level));
  };
  orvex::CProgressiveMesh decoded;
  trip.ok = orvex::DecodeProgressive(trip.file, decode, decoded, trip.error) != 0;
  return trip;
}

// Quantized positions the encoder gave the decoded vertices.
inline std::vector<int32_t> EncoderPositions(const RoundTrip& trip, size_t count) {
  const std::vector<int> order = trip.encoding.DecodedOrder();
  std::vector<int32_t> out;
  for (size_t i = 0; i < count && i < order.size(); ++i)
    out.insert(out.end(), &trip.encoding.m_Positions[3 * order[i]],
               &trip.encoding.m_Positions[3 * order[i]] + 3);
  return out;
}

} // namespace progressivetest
