#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "compression/GateMesh.h"
#include "compression/GateQueue.h"

namespace orvex {

// The face kind a gate conquest codes: triangles with codes 0-3, quads
// with codes 0-6.
enum class GateFaces { kTriangles, kQuads };

// Triangle codes.
enum : uint8_t { kTriCreate = 0, kTriCloseLeft = 1, kTriCloseRight = 2, kTriSkip = 3 };
// Quad codes; the front quad is (R, a, b, L) with a next to R.
enum : uint8_t {
  kQuadCreateRight = 0, // a new, L closes
  kQuadCreate2 = 1,     // a and b new
  kQuadCreateLeft = 2,  // b new, R closes
  kQuadMeshBoth = 3,    // R and L close
  kQuadMeshCw = 4,      // R closes, then a
  kQuadMeshCcw = 5,     // L closes, then b
  kQuadSkip = 6
};

// What happened to a face, for drawing the conquest.
enum class GateFaceEvent { kSeed, kConquered, kSecondSeed, kSecondConquered };

struct CGateOptions {
  int m_SeedFace = 0;
  bool m_Adaptive = true;
  // stop after this many codes (negative: no limit)
  int64_t m_StepLimit = -1;
  // called with the face of the coded mesh as it is conquered
  std::function<void(int face, GateFaceEvent event)> m_OnFace;
};

// A conquest, as the encoder produces it and the decoder rebuilds it.
struct CGateConquest {
  std::vector<uint8_t> m_Codes;
  // encoder: the mesh vertex at each place of the conquest order
  std::vector<int> m_Order;
  int m_NbVertex = 0;
  // the conquered faces in conquest order, corners as conquest places
  std::vector<int> m_FaceStart{0};
  std::vector<int> m_Corners;
  // corners of the seed faces after the first, as conquest places (the
  // count reached so far names a new vertex)
  std::vector<int> m_Seeds;
  std::vector<int> m_SeedSizes;
  int NbFace() const { return static_cast<int>(m_FaceStart.size()) - 1; }
  int NbSeed() const { return static_cast<int>(m_SeedSizes.size()); }
};

// Most seed faces a file can name (an 8-bit count).
constexpr int kGateMaxSeeds = 255;

// Conquers every face of the mesh from options.m_SeedFace, then from the
// lowest-numbered face left, run after run. 0 with error set when the seed
// face does not exist, a face of the wrong kind is met or more seeds are
// needed than a file can hold.
int EncodeGateConquest(const CGateMesh& mesh, GateFaces faces, const CGateOptions& options,
                       CGateConquest& conquest, std::string& error);

// Rebuilds the faces from conquest.m_Codes and the seeds (m_Seeds,
// m_SeedSizes); the first seed face has firstSize new corners. vertexLimit
// bounds the vertices a corrupt stream may create. 0 with error set on
// any inconsistency.
int DecodeGateConquest(GateFaces faces, int firstSize, bool adaptive, int64_t vertexLimit,
                       CGateConquest& conquest, std::string& error);

} // namespace orvex
