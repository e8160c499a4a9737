#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "compression/GateMesh.h"
#include "compression/GateQueue.h"

namespace orvex {

// The face kind a gate conquest codes: triangles with codes 0-3, quads
// with codes 0-6, or both (polygon meshes split into quads and triangles)
// with the 12 polygon codes.
enum class GateFaces { kTriangles, kQuads, kPolygons };

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

// Polygon codes (the names are those of the code distribution); with the
// gate list empty the next code seeds a run: a create with all corners
// new, or a join whose corners follow the code stream.
enum : uint8_t {
  kPolyQuadCreateRight = 0,
  kPolyQuadCreate2 = 1,
  kPolyTriMeshCw = 2,
  kPolyTriCreate = 3,
  kPolyQuadMeshBoth = 4,
  kPolyQuadMeshCw = 5,
  kPolyQuadJoin = 6,
  kPolyTriJoin = 7,
  kPolySkip = 8,
  kPolyTriMeshCcw = 9,
  kPolyQuadCreateLeft = 10,
  kPolyQuadMeshCcw = 11,
  kPolyCodeCount = 12
};
// The polygon code of each triangle code and each quad code.
constexpr uint8_t kTriangleToPolygon[4] = {kPolyTriCreate, kPolyTriMeshCcw, kPolyTriMeshCw,
                                           kPolySkip};
constexpr uint8_t kQuadToPolygon[7] = {
    kPolyQuadCreateRight, kPolyQuadCreate2, kPolyQuadCreateLeft, kPolyQuadMeshBoth, kPolyQuadMeshCw,
    kPolyQuadMeshCcw,     kPolySkip};

// What happened to a face, for drawing the conquest.
enum class GateFaceEvent { kSeed, kConquered, kSecondSeed, kSecondConquered };

struct CGateOptions {
  int m_SeedFace = 0;
  bool m_Adaptive = true;
  // stop after this many codes (negative: no limit)
  int64_t m_StepLimit = -1;
  // polygon coder: runs may start from faces whose corners are already
  // conquered (join codes); without it such meshes are refused
  bool m_Join = true;
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
  // (polygon coder: the corners of the join codes)
  std::vector<int> m_Seeds;
  std::vector<int> m_SeedSizes;
  // per vertex in conquest order: the places of the left and right
  // corners of the gate that reached it and of a third corner of the face
  // behind that gate; -1, -1, -1 for a seed corner
  std::vector<int> m_Refs;
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
// m_SeedSizes); the first seed face has firstSize new corners (polygon
// codes seed every run themselves: firstSize 0). vertexLimit
// bounds the vertices a corrupt stream may create. 0 with error set on
// any inconsistency.
int DecodeGateConquest(GateFaces faces, int firstSize, bool adaptive, int64_t vertexLimit,
                       CGateConquest& conquest, std::string& error);

} // namespace orvex
