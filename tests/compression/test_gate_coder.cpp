// Round trips of the gate coders: the decoder must rebuild the encoder's
// faces in conquest order and the positions (exact when raw), for closed, open,
// higher-genus and multi-component meshes, with every option that changes
// the conquest.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <set>

#include "compression/GateCommands.h"
#include "compression/GatePolygonFile.h"
#include "compression/GateQueue.h"
#include "geometry/Mesh3d.h"
#include "geometry/QuadMesh.h"
#include "tests/support/TestMeshes.h"
#include "tests/support/VoxelSurface.h"

using namespace orvex;

namespace {

CGateArrays FromMesh(CMesh3d* mesh) {
  std::unique_ptr<CMesh3d> owned(mesh);
  CGateArrays arrays;
  TriangleArrays(*mesh, arrays);
  return arrays;
}

CGateArrays FromQuads(CQuadMesh* mesh) {
  std::unique_ptr<CQuadMesh> owned(mesh);
  CGateArrays arrays;
  QuadArrays(*mesh, arrays);
  return arrays;
}

CGateArrays FromVoxels(const testmeshes::VoxelSurface& s, bool quads) {
  CGateArrays arrays;
  arrays.m_Xyz = s.xyz;
  arrays.m_Corners = quads ? s.quads : s.Triangles();
  arrays.m_Sizes.assign(arrays.m_Corners.size() / (quads ? 4 : 3), quads ? 4 : 3);
  return arrays;
}

// Two copies of a mesh side by side, as one mesh of two components.
CGateArrays Twice(CGateArrays a) {
  const int nv = static_cast<int>(a.m_Xyz.size() / 3);
  const size_t nc = a.m_Corners.size();
  for (int i = 0; i < 3 * nv; ++i) a.m_Xyz.push_back(a.m_Xyz[i] + (i % 3 == 0 ? 10.0f : 0.0f));
  for (size_t i = 0; i < nc; ++i) a.m_Corners.push_back(a.m_Corners[i] + nv);
  a.m_Sizes.insert(a.m_Sizes.end(), a.m_Sizes.begin(), a.m_Sizes.end());
  return a;
}

// The faces as sets of rotations-normalised corner lists of mesh vertices.
std::multiset<std::vector<int>> FaceSet(const std::vector<int>& sizes,
                                        const std::vector<int>& corners,
                                        const std::vector<int>* order) {
  std::multiset<std::vector<int>> faces;
  size_t at = 0;
  for (int n : sizes) {
    std::vector<int> f(corners.begin() + at, corners.begin() + at + n);
    if (order)
      for (int& v : f) v = (*order)[v];
    std::rotate(f.begin(), std::min_element(f.begin(), f.end()), f.end());
    faces.insert(f);
    at += n;
  }
  return faces;
}

struct RoundTripCase {
  const char* name;
  CGateArrays (*mesh)();
  GateFaces faces;
  bool adaptive;
  int order;
  int seedFace;
  int64_t limit;
  bool expectSeeds;
};

CGateArrays Sphere() {
  return FromMesh(testmeshes::MakeIcoSphere(5));
}
CGateArrays Grid() {
  return FromMesh(testmeshes::MakeGrid(80, 70));
}
CGateArrays Holes() {
  return FromMesh(testmeshes::MakeGridWithHoles(80, 70, 6));
}
CGateArrays Torus() {
  return FromMesh(testmeshes::MakeTorus(100, 60));
}
CGateArrays Genus2() {
  return FromVoxels(testmeshes::MakeSlabWithTunnels(2, 10), false);
}
CGateArrays Spheres() {
  return Twice(FromMesh(testmeshes::MakeIcoSphere(4)));
}
// Every third quad of a voxel surface split into two triangles.
CGateArrays Mixed(const testmeshes::VoxelSurface& s) {
  CGateArrays a;
  a.m_Xyz = s.xyz;
  for (size_t q = 0; q + 3 < s.quads.size(); q += 4) {
    const int* v = s.quads.data() + q;
    if (q % 12 == 0) {
      a.m_Corners.insert(a.m_Corners.end(), {v[0], v[1], v[2], v[0], v[2], v[3]});
      a.m_Sizes.insert(a.m_Sizes.end(), {3, 3});
    } else {
      a.m_Corners.insert(a.m_Corners.end(), v, v + 4);
      a.m_Sizes.push_back(4);
    }
  }
  return a;
}
CGateArrays MixedGenus2() {
  return Mixed(testmeshes::MakeSlabWithTunnels(2, 12));
}
CGateArrays MixedTwice() {
  return Twice(Mixed(testmeshes::MakeSlabWithTunnels(1, 10)));
}
CGateArrays QuadTorus() {
  return FromQuads(testmeshes::MakeQuadTorus(120, 90));
}
CGateArrays QuadGrid() {
  return FromQuads(testmeshes::MakeQuadGrid(110, 100));
}
CGateArrays QuadGenus2() {
  return FromVoxels(testmeshes::MakeSlabWithTunnels(2, 14), true);
}
CGateArrays QuadGenus3() {
  return Twice(FromVoxels(testmeshes::MakeSlabWithTunnels(3, 8), true));
}

const RoundTripCase kRoundTrips[] = {
    {"sphere", Sphere, GateFaces::kTriangles, true, 1, 0, -1, false},
    {"sphere order 0 plain", Sphere, GateFaces::kTriangles, false, 0, 17, -1, false},
    {"grid order 2", Grid, GateFaces::kTriangles, true, 2, 500, -1, false},
    {"grid with holes order 3", Holes, GateFaces::kTriangles, true, 3, 3, -1, true},
    {"torus", Torus, GateFaces::kTriangles, true, 1, 0, -1, true},
    {"torus plain", Torus, GateFaces::kTriangles, false, 2, 99, -1, true},
    {"genus 2", Genus2, GateFaces::kTriangles, true, 1, 7, -1, true},
    {"two components", Spheres, GateFaces::kTriangles, true, 1, 0, -1, true},
    {"limited", Torus, GateFaces::kTriangles, true, 1, 0, 2500, false},
    {"quad torus", QuadTorus, GateFaces::kQuads, true, 0, 0, -1, true},
    {"quad torus plain", QuadTorus, GateFaces::kQuads, false, 0, 40, -1, true},
    {"quad grid", QuadGrid, GateFaces::kQuads, true, 0, 5000, -1, false},
    {"quad genus 2", QuadGenus2, GateFaces::kQuads, true, 0, 0, -1, true},
    {"quad genus 3 twice", QuadGenus3, GateFaces::kQuads, false, 0, 3, -1, true},
    {"quad limited", QuadGrid, GateFaces::kQuads, true, 0, 0, 3000, false},
    {"polygons genus 2", MixedGenus2, GateFaces::kPolygons, true, 1, 0, -1, true},
    {"polygons plain order 3", MixedGenus2, GateFaces::kPolygons, false, 3, 9, -1, true},
    {"polygons twice order 0", MixedTwice, GateFaces::kPolygons, true, 0, 2, -1, true},
    {"polygon quads order 2", QuadGrid, GateFaces::kPolygons, true, 2, 0, -1, false},
    {"polygons limited", MixedGenus2, GateFaces::kPolygons, true, 1, 0, 2000, false},
};

// The largest extent of the positions' bounding box.
float Extent(const std::vector<float>& xyz) {
  float extent = 0.0f;
  for (int a = 0; a < 3; ++a) {
    float lo = xyz[a], hi = xyz[a];
    for (size_t i = a; i < xyz.size(); i += 3) lo = std::min(lo, xyz[i]), hi = std::max(hi, xyz[i]);
    extent = std::max(extent, hi - lo);
  }
  return extent;
}

// Positions are exact when written raw; the polygon cases of order 1 code
// them through their gates (100 levels), which keeps them within a
// hundredth of the mesh's extent.
TEST(GateCoder, RoundTripsRebuildTheConquestAndExactPositions) {
  for (const RoundTripCase& c : kRoundTrips) {
    SCOPED_TRACE(c.name);
    const CGateArrays arrays = c.mesh();
    CGateRequest request;
    request.m_Options.m_Adaptive = c.adaptive;
    request.m_Options.m_SeedFace = c.seedFace;
    request.m_Options.m_StepLimit = c.limit;
    request.m_Order = c.order;
    CGateRun run;
    ASSERT_TRUE(RunGateEncoding(arrays, c.faces, request, run)) << run.m_Error;
    const CGateConquest& enc = run.m_Conquest;
    EXPECT_EQ(enc.NbSeed() > 0, c.expectSeeds);
    std::vector<int> sizes(enc.NbFace());
    for (int f = 0; f < enc.NbFace(); ++f) sizes[f] = enc.m_FaceStart[f + 1] - enc.m_FaceStart[f];
    if (c.limit < 0) {
      // every face coded, and exactly the mesh's faces
      EXPECT_EQ(FaceSet(arrays.m_Sizes, arrays.m_Corners, nullptr),
                FaceSet(sizes, enc.m_Corners, &enc.m_Order));
    } else {
      EXPECT_EQ(static_cast<int64_t>(enc.m_Codes.size()), c.limit);
      EXPECT_LT(enc.NbFace(), static_cast<int>(arrays.m_Sizes.size()));
    }
    // the plain file, and for triangles the paired one
    std::vector<uint8_t> files[2];
    CGateFileBits bits;
    std::string error;
    const bool triangles = c.faces == GateFaces::kTriangles;
    if (triangles) {
      ASSERT_TRUE(WriteGateTriangleFile(enc, arrays.m_Xyz, c.order, false, files[0], bits, error));
      ASSERT_TRUE(WriteGateTriangleFile(enc, arrays.m_Xyz, c.order, true, files[1], bits, error));
    } else if (c.faces == GateFaces::kQuads) {
      ASSERT_TRUE(WriteGateQuadFile(enc, arrays.m_Xyz, files[0], bits, error));
    } else {
      CGateGeometryOptions geometry;
      geometry.raw = c.order != 1;
      ASSERT_TRUE(
          WriteGatePolygonFile(enc, arrays.m_Xyz, c.order, geometry, files[0], bits, error));
    }
    for (int k = 0; k < (triangles ? 2 : 1); ++k) {
      CGateDecoded decoded;
      const uint8_t* data = files[k].data();
      const size_t size = files[k].size();
      const int ok = triangles ? ReadGateTriangleFile(data, size, c.adaptive, decoded, error)
                     : c.faces == GateFaces::kQuads
                         ? ReadGateQuadFile(data, size, c.adaptive, decoded, error)
                         : ReadGatePolygonFile(data, size, c.adaptive, decoded, error);
      ASSERT_TRUE(ok) << error;
      EXPECT_EQ(decoded.m_Conquest.m_Refs, enc.m_Refs);
      EXPECT_EQ(decoded.m_Conquest.m_Corners, enc.m_Corners);
      EXPECT_EQ(decoded.m_Conquest.m_FaceStart, enc.m_FaceStart);
      ASSERT_EQ(decoded.m_Xyz.size(), 3 * enc.m_Order.size());
      const bool coded = c.faces == GateFaces::kPolygons && c.order == 1;
      const float tolerance = coded ? 0.01f * Extent(arrays.m_Xyz) : 0.0f;
      bool close = true;
      for (size_t p = 0; p < enc.m_Order.size(); ++p)
        for (int a = 0; a < 3; ++a)
          close = close && std::fabs(decoded.m_Xyz[3 * p + a] -
                                     arrays.m_Xyz[3 * size_t(enc.m_Order[p]) + a]) <= tolerance;
      EXPECT_TRUE(close);
    }
  }
}

// The gate list: appended gates (half-edge, right vertex), raises of
// vertex counts in between, and the order the gates leave in.
TEST(GateCoder, GateListOrder) {
  struct Event {
    int edge;  // >= 0: append gate `edge` with right vertex `right`
    int right; // edge < 0: raise vertex `right` `-edge` times
  };
  struct {
    const char* name;
    bool adaptive;
    std::vector<Event> events;
    std::vector<int> order;
  } cases[] = {
      {"first in, first out", false, {{10, 0}, {11, 1}, {-3, 1}, {12, 2}}, {10, 11, 12}},
      {"highest count first", true, {{10, 0}, {11, 1}, {12, 2}, {-2, 2}, {-1, 1}}, {12, 11, 10}},
      {"ties by append order", true, {{10, 1}, {11, 2}, {12, 1}, {-1, 1}, {-1, 2}}, {10, 11, 12}},
      {"a raise after the append counts", true, {{10, 0}, {11, 1}, {-1, 0}}, {10, 11}},
      {"counts saturate at 255", true, {{10, 1}, {11, 0}, {-300, 0}, {-255, 1}}, {10, 11}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CGateQueue queue;
    queue.Reset(3, c.adaptive);
    for (const Event& e : c.events) {
      if (e.edge >= 0) queue.Push(e.edge, e.right);
      for (int k = 0; k < -e.edge; ++k) queue.Raise(e.right);
    }
    std::vector<int> order;
    while (!queue.Empty()) order.push_back(queue.Pop());
    EXPECT_EQ(order, c.order);
    EXPECT_EQ(queue.Pop(), -1);
  }
}

TEST(GateCoder, PackedStreamPairsCreateThenCloseRight) {
  const CGateArrays arrays = Torus();
  CGateRequest request;
  CGateRun run;
  ASSERT_TRUE(RunGateEncoding(arrays, GateFaces::kTriangles, request, run));
  const std::vector<uint8_t> packed = PackTriangleCodes(run.m_Conquest.m_Codes);
  for (size_t i = 0; i + 1 < packed.size(); ++i)
    EXPECT_FALSE(packed[i] == kTriCreate && packed[i + 1] == kTriCloseRight);
  EXPECT_LT(packed.size(), run.m_Conquest.m_Codes.size());
  EXPECT_EQ(UnpackTriangleCodes(packed), run.m_Conquest.m_Codes);
  EXPECT_LT(run.m_PackedBits.m_Connectivity, run.m_Bits.m_Connectivity);
}

// Meshes and options the coders refuse, each with a message.
TEST(GateCoder, RefusesWhatItCannotCode) {
  CGateArrays fan = FromMesh(testmeshes::MakeNonManifoldFan(3));
  CGateArrays flipped = Grid();
  std::swap(flipped.m_Corners[0], flipped.m_Corners[1]);
  CGateArrays scattered;
  for (int i = 0; i < 300; ++i) {
    scattered.m_Xyz.insert(scattered.m_Xyz.end(), {float(i), 0, 0, float(i), 1, 0, float(i), 0, 1});
    scattered.m_Corners.insert(scattered.m_Corners.end(), {3 * i, 3 * i + 1, 3 * i + 2});
  }
  scattered.m_Sizes.assign(300, 3);
  struct {
    const char* name;
    CGateArrays arrays;
    GateFaces faces;
    int seed;
    bool join;
  } cases[] = {
      {"non-manifold edge", fan, GateFaces::kTriangles, 0, true},
      {"one face flipped", flipped, GateFaces::kTriangles, 0, true},
      {"over 255 seeds", scattered, GateFaces::kTriangles, 0, true},
      {"seed beyond the faces", Grid(), GateFaces::kTriangles, 1 << 20, true},
      {"triangles to the quad coder", Grid(), GateFaces::kQuads, 0, true},
      {"a handle without join", MixedGenus2(), GateFaces::kPolygons, 0, false},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.name);
    CGateRequest request;
    request.m_Options.m_SeedFace = c.seed;
    request.m_Options.m_Join = c.join;
    request.m_File = "never-written.bin";
    CGateRun run;
    EXPECT_FALSE(RunGateEncoding(c.arrays, c.faces, request, run));
    EXPECT_FALSE(run.m_Error.empty());
    EXPECT_TRUE(run.m_Files.empty());
  }
}

// Cut and damaged files end with a message, never with a crash or a mesh
// whose corners are not vertices.
TEST(GateCoder, DamagedFilesAreRefusedOrStayConsistent) {
  for (GateFaces faces : {GateFaces::kTriangles, GateFaces::kQuads, GateFaces::kPolygons}) {
    const bool triangles = faces == GateFaces::kTriangles;
    const bool quads = faces == GateFaces::kQuads;
    const CGateArrays arrays = triangles ? Torus() : quads ? QuadTorus() : MixedGenus2();
    CGateRequest request;
    CGateRun run;
    ASSERT_TRUE(RunGateEncoding(arrays, faces, request, run));
    std::vector<uint8_t> bytes;
    CGateFileBits bits;
    std::string error;
    if (triangles)
      WriteGateTriangleFile(run.m_Conquest, arrays.m_Xyz, 1, false, bytes, bits, error);
    else if (quads)
      WriteGateQuadFile(run.m_Conquest, arrays.m_Xyz, bytes, bits, error);
    else
      WriteGatePolygonFile(run.m_Conquest, arrays.m_Xyz, 1, {}, bytes, bits, error);
    auto decode = [&](const std::vector<uint8_t>& b) {
      CGateDecoded d;
      std::string why;
      const int ok = triangles ? ReadGateTriangleFile(b.data(), b.size(), true, d, why)
                     : quads   ? ReadGateQuadFile(b.data(), b.size(), true, d, why)
                               : ReadGatePolygonFile(b.data(), b.size(), true, d, why);
      if (!ok) {
        EXPECT_FALSE(why.empty());
        return;
      }
      for (int v : d.m_Conquest.m_Corners) ASSERT_LT(size_t(v), d.m_Xyz.size() / 3);
    };
    for (size_t cut : {size_t(0), size_t(1), size_t(3), bytes.size() / 2, bytes.size() - 5})
      decode(std::vector<uint8_t>(bytes.begin(), bytes.begin() + cut));
    for (size_t at : {size_t(0), size_t(2), size_t(9), bytes.size() / 3}) {
      std::vector<uint8_t> damaged = bytes;
      damaged[at] ^= 0xff;
      decode(damaged);
    }
    decode(std::vector<uint8_t>(64, 0xff));
  }
}

} // namespace
