// The structure coder's file, its refusals, its edge cases and the decoder
// on malformed input.

#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "compression/ProgressiveMeshes.h"
#include "compression/StructureConquest.h"
#include "compression/StructureDecoder.h"
#include "compression/StructureEncoder.h"
#include "compression/StructureFile.h"
#include "compression/StructureMesh.h"
#include "compression/StructureReport.h"
#include "geometry/Mesh3d.h"
#include "tests/compression/ValenceTestMeshes.h"
#include "tests/support/TestMeshes.h"

using namespace orvex;

namespace {

CStructureResult Encode(const CMesh3d& mesh, int seed = 0) {
  CStructureResult result;
  EXPECT_TRUE(EncodeStructure(mesh, "", seed, CStructureOptions(), result)) << result.m_Error;
  return result;
}

std::vector<int> Triangles(CMesh3d* mesh) {
  std::unique_ptr<CMesh3d> owned(mesh);
  std::vector<double> xyz;
  std::vector<int> triangles;
  MeshArrays(*mesh, xyz, triangles);
  return triangles;
}

// The file's bit i (bits fill each byte from its most significant one).
int Bit(const std::vector<uint8_t>& bytes, size_t i) {
  return (bytes[i / 8] >> (7 - i % 8)) & 1;
}

TEST(StructureFile, IcosahedronBytesArePinned) {
  std::unique_ptr<CMesh3d> mesh(testmeshes::MakeIcoSphere(0));
  const CStructureResult result = Encode(*mesh);
  // 12 vertices in 32 bits, least significant first; closed: dummy bit 0;
  // largest degree code 5; no split: offsets flag 0, then the pad byte
  const std::vector<uint8_t> expected = {0x30, 0x00, 0x00, 0x00, 0x50, 0x00, 0x00, 0xd5, 0x56,
                                         0xbd, 0xde, 0x9d, 0xb8, 0x9b, 0x00, 0x00, 0x0b, 0x00};
  EXPECT_EQ(result.m_Bytes, expected);
  EXPECT_EQ(result.m_Bits, 8 * static_cast<long long>(expected.size()));
  EXPECT_EQ(result.m_NbOffsets, 0);
  EXPECT_EQ(result.m_NbDummy, 0);
  EXPECT_DOUBLE_EQ(result.m_Cost, result.m_Bits / 20.0);
}

TEST(StructureFile, HeaderBitsFollowTheLayout) {
  struct Case {
    const char* name;
    CMesh3d* mesh;
    int dummyBit;
  };
  for (const Case& c : {Case{"sphere", testmeshes::MakeIcoSphere(2), 0},
                        Case{"torus", testmeshes::MakeTorus(12, 8), 0},
                        Case{"grid", testmeshes::MakeGrid(6, 5), 1}}) {
    std::unique_ptr<CMesh3d> mesh(c.mesh);
    const CStructureResult result = Encode(*mesh);
    const std::vector<uint8_t>& bytes = result.m_Bytes;
    uint32_t count = 0;
    for (int i = 0; i < 32; ++i) count |= static_cast<uint32_t>(Bit(bytes, i)) << i;
    EXPECT_EQ(count, static_cast<uint32_t>(mesh->NbVertex())) << c.name;
    EXPECT_EQ(Bit(bytes, 32), c.dummyBit) << c.name;
    if (c.dummyBit) {
      // the dummy's degree: one dummy face per boundary edge
      uint32_t degree = 0;
      for (int i = 0; i < 16; ++i) degree |= static_cast<uint32_t>(Bit(bytes, 33 + i)) << i;
      EXPECT_EQ(degree, static_cast<uint32_t>(testmeshes::CountBoundaryEdges(mesh.get())));
      EXPECT_GT(result.m_NbDummy, 0);
    } else {
      EXPECT_EQ(result.m_NbDummy, 0) << c.name;
    }
  }
}

TEST(StructureFile, NoOffsetsLeaveOnlyTheFlagAndThePad) {
  CStructureStreams streams;
  streams.m_NbVertex = 4;
  streams.m_Degrees = {3, 3, 3, 3, 2, 2};
  std::vector<uint8_t> bytes;
  long long bits = 0;
  std::string error;
  ASSERT_TRUE(WriteStructureFile(streams, bytes, bits, error)) << error;
  CStructureStreams read;
  ASSERT_TRUE(ReadStructureFile(bytes.data(), bytes.size(), read, error)) << error;
  EXPECT_TRUE(read.m_Offsets.empty());
  EXPECT_EQ(read.m_Degrees, streams.m_Degrees);
  // a dummy degree below 3 is not written: the same bytes as none
  streams.m_DummyDegree = 2;
  std::vector<uint8_t> same;
  ASSERT_TRUE(WriteStructureFile(streams, same, bits, error));
  EXPECT_EQ(same, bytes);
  // with offsets the signs follow them and read back
  streams.m_Offsets = {3, 2, 40};
  streams.m_Signs = {0, 1, 0};
  ASSERT_TRUE(WriteStructureFile(streams, bytes, bits, error)) << error;
  ASSERT_TRUE(ReadStructureFile(bytes.data(), bytes.size(), read, error)) << error;
  EXPECT_EQ(read.m_Offsets, streams.m_Offsets);
  EXPECT_EQ(read.m_Signs, streams.m_Signs);
}

// Streams of the given codes, every offset positive.
CStructureStreams Streams(const std::vector<int>& degrees, uint32_t nbVertex, int dummy,
                          const std::vector<int>& offsets) {
  CStructureStreams streams;
  streams.m_NbVertex = nbVertex;
  streams.m_Degrees = degrees;
  streams.m_DummyDegree = dummy;
  streams.m_Offsets = offsets;
  streams.m_Signs.assign(offsets.size(), 0);
  return streams;
}

TEST(StructureFile, ValuesTheLayoutCannotHoldAreRefused) {
  struct Case {
    std::vector<int> degrees;
    int dummy;
    std::vector<int> offsets;
    const char* message;
  };
  for (const Case& c :
       {Case{{3, 3, 256}, 0, {}, "A vertex degree of 256 does not fit the file's 8-bit header"},
        Case{{3, 3, 3},
             70000,
             {},
             "The dummy vertex's degree 70000 does not fit the file's 16 bits"},
        Case{{3, 3, 3, 1},
             0,
             {20000},
             "A split offset of 20000 is beyond what the file can code"}}) {
    const CStructureStreams streams = Streams(c.degrees, 0, c.dummy, c.offsets);
    std::vector<uint8_t> bytes;
    long long bits = 0;
    std::string error;
    EXPECT_FALSE(WriteStructureFile(streams, bytes, bits, error));
    EXPECT_EQ(error, c.message);
    EXPECT_TRUE(bytes.empty());
  }
}

// Streams that fit the layout but belong to no conquest are refused while
// the degree stream is read; long runs of one code (nearly free to the
// adaptive coder) still read back when the conquest is not checked.
TEST(StructureFile, ConquestChecksRefuseImpossibleStreamsEarly) {
  const std::vector<int> seed = {3, 3, 3};
  auto with = [&](std::vector<int> codes, int count = 1, int code = 0) {
    codes.insert(codes.begin(), seed.begin(), seed.end());
    codes.insert(codes.end(), count > 1 ? count : 0, code);
    return codes;
  };
  struct Case {
    std::vector<int> degrees;
    uint32_t nbVertex;
    int dummy;
    std::vector<int> offsets;
    const char* message; // null: accepted
  };
  const char* corrupt = "The file's codes do not describe a mesh: it is corrupt";
  const char* unmatched = "The file's offsets do not match its split codes";
  for (const Case& c :
       {Case{with({3, 2, 2}), 4, 0, {}, nullptr}, Case{{3, 3, 2, 3}, 4, 0, {}, corrupt},
        Case{with({0, 2}), 4, 0, {}, corrupt}, Case{with({0, 2}), 4, 3, {}, nullptr},
        Case{with({}, 20, 6), 30, 0, {}, corrupt},
        Case{with({}, 200000, 6), 300000, 0, {}, corrupt},
        Case{with({3, 2}, 6, 2), 4, 0, {}, corrupt}, Case{with({3, 3, 2}), 4, 0, {}, corrupt},
        Case{with({4, 1}), 4, 0, {}, unmatched}, Case{with({4, 2}), 4, 0, {1}, unmatched},
        Case{with({4, 1}), 4, 0, {1, 2}, "too many symbols in range-coded stream"}}) {
    const CStructureStreams streams = Streams(c.degrees, c.nbVertex, c.dummy, c.offsets);
    CStructureStreams read;
    std::vector<uint8_t> bytes;
    long long bits = 0;
    std::string error;
    ASSERT_TRUE(WriteStructureFile(streams, bytes, bits, error)) << error;
    ASSERT_TRUE(ReadStructureFile(bytes.data(), bytes.size(), read, error)) << error;
    EXPECT_EQ(read.m_Degrees, c.degrees);
    EXPECT_EQ(ReadStructureFile(bytes.data(), bytes.size(), read, error, true), !c.message);
    if (c.message) {
      EXPECT_EQ(error, c.message) << c.degrees.size();
    }
  }
}

// Meshes the coder refuses, with the reason it gives.
TEST(StructureEncoder, RefusesWhatIsNotAnOrientedManifoldTriangleMesh) {
  const std::vector<int> sphere = Triangles(testmeshes::MakeIcoSphere(1));
  std::vector<int> flipped = sphere;
  std::swap(flipped[4], flipped[5]);
  std::vector<int> repeated = sphere;
  repeated[1] = repeated[0];
  const std::vector<int> fan = Triangles(testmeshes::MakeNonManifoldFan(3));
  // two tetrahedra sharing one vertex: one vertex, two fans
  std::vector<int> bowtie = {0, 2, 1, 0, 3, 2, 0, 1, 3, 1, 2, 3,
                             0, 5, 4, 0, 6, 5, 0, 4, 6, 4, 5, 6};
  // two faces on the same three vertices: degree 2
  std::vector<int> pillow = {0, 1, 2, 0, 2, 1};
  struct Case {
    const char* name;
    int nbVertex;
    std::vector<int> triangles;
    const char* message;
  };
  for (const Case& c :
       {Case{"misoriented", 42, flipped, "Faces 1 and 3 are not oriented alike"},
        Case{"repeated", 42, repeated, "Face 0 repeats a corner: not a triangle"},
        Case{"fan", 5, fan, "Edge (0, 1) has more than two faces: the mesh is not manifold"},
        Case{"bowtie", 7, bowtie, "Vertex 0 is shared by separate fans: the mesh is not manifold"},
        Case{"pillow", 3, pillow, "Vertex 0 has fewer than three neighbours"},
        Case{"empty", 3, {}, "The mesh has no face to encode"}}) {
    CStructureMesh mesh;
    std::string error;
    EXPECT_FALSE(mesh.Build(c.nbVertex, c.triangles, error)) << c.name;
    EXPECT_EQ(error, c.message) << c.name;
  }
}

TEST(StructureEncoder, RefusesASeedThatDoesNotExistAndLeavesTheMeshAsItWas) {
  std::unique_ptr<CMesh3d> mesh(testmeshes::MakeGridWithHoles(8, 7, 2));
  const valencetest::MeshSnapshot before(*mesh);
  CStructureResult result;
  for (int seed : {-1, mesh->NbFace()}) {
    EXPECT_FALSE(EncodeStructure(*mesh, "", seed, CStructureOptions(), result));
    EXPECT_NE(result.m_Error.find("does not exist"), std::string::npos) << result.m_Error;
  }
  EXPECT_TRUE(EncodeStructure(*mesh, "", 5, CStructureOptions(), result));
  EXPECT_TRUE(valencetest::MeshSnapshot(*mesh) == before);
}

// Offsets take the shorter way around a list of 10 nodes.
TEST(StructureConquest, OffsetsAreSignedByTheShorterWay) {
  CStructureConquest conquest;
  conquest.Reset(11, 10, false);
  for (int v = 0; v < 10; ++v) conquest.SetDegree(v, 20);
  conquest.StartComponent(0, 1, 2);
  for (int v = 3; v < 10; ++v) conquest.Insert(v);
  ASSERT_EQ(conquest.Size(), 10);
  auto at = [&](int steps) {
    int x = conquest.Focus();
    for (int i = 0; i < steps; ++i) x = conquest.Next(x);
    return x;
  };
  struct Case {
    int moved, offset;
  };
  for (const Case& c : {Case{3, 3}, Case{7, -3}, Case{5, 5}, Case{6, -4}, Case{1, 1}}) {
    const int node = at(c.moved + 1);
    EXPECT_EQ(conquest.MovedCount(node), c.moved);
    EXPECT_EQ(conquest.SplitOffset(node), c.offset);
    EXPECT_EQ(conquest.NodeAtSplitOffset(c.offset < 0 ? -c.offset : c.offset, c.offset < 0), node);
  }
  // the previous node closes the focus instead: no split names it
  EXPECT_EQ(conquest.NodeAtSplitOffset(2, 1), -1);
  EXPECT_EQ(conquest.NodeAtSplitOffset(8, 0), -1);
  EXPECT_EQ(conquest.NodeAtSplitOffset(0, 0), -1);
}

TEST(StructureReport, TextsOfOneRun) {
  CStructureResult result;
  result.m_Cost = 1.5;
  result.m_Seconds = 2.0;
  result.m_NbFaces = 1000;
  result.m_Streams.m_Degrees.assign(700, 3);
  result.m_NbOffsets = 12;
  EXPECT_EQ(StructureReport(result),
            "Cost       : 1.5 bit(s)/face\r\nDuration   : 2 sec(s)\r\nSpeed     : 500 faces/s\r\n"
            "Nb faces   : 1000 faces\r\nNb degrees : 700\r\nNb offsets : 12\r\n");
  result.m_Seconds = 90.0;
  EXPECT_NE(StructureReport(result).find("Duration   : 1.5 min(s)\r\n"), std::string::npos);
}

// Every step runs holding the caller's mutex and releases it afterwards, so
// a drawing thread gets in between steps; the codes are the same.
TEST(StructureEncoder, StepsHoldTheMutexAndReleaseItBetween) {
  std::unique_ptr<CMesh3d> mesh(testmeshes::MakeTorus(20, 12));
  const CStructureResult alone = Encode(*mesh);
  std::mutex mutex;
  CStructureOptions options;
  int gates = 0, heldInStep = 0, freeBetween = 0;
  options.m_OnGate = [&](int, int) {
    ++gates;
    if (!mutex.try_lock())
      ++heldInStep;
    else
      mutex.unlock();
  };
  options.m_Redraw = [&] {
    // the view's thread would draw here
    std::thread drawer([&] {
      std::lock_guard<std::mutex> lock(mutex);
      ++freeBetween;
    });
    drawer.join();
  };
  CStructureResult shared;
  ASSERT_TRUE(EncodeStructure(*mesh, "", 0, options, shared, &mutex));
  EXPECT_EQ(shared.m_Bytes, alone.m_Bytes);
  // every face but the seed is one step
  EXPECT_EQ(gates, mesh->NbFace() - 1);
  EXPECT_EQ(heldInStep, gates);
  EXPECT_EQ(freeBetween, gates);
}

TEST(StructureDecoder, MalformedFilesAreRefusedWithAMessage) {
  std::unique_ptr<CMesh3d> mesh(testmeshes::MakeGridWithHoles(10, 9, 3));
  const std::vector<uint8_t> bytes = Encode(*mesh, 7).m_Bytes;
  CStructureDecoded decoded;
  std::string error;
  ASSERT_TRUE(DecodeStructure(bytes.data(), bytes.size(), decoded, error)) << error;
  // every shorter prefix is refused
  for (size_t size = 0; size < bytes.size(); ++size) {
    error.clear();
    EXPECT_FALSE(DecodeStructure(bytes.data(), size, decoded, error)) << size;
    EXPECT_FALSE(error.empty()) << size;
  }
  // flipped bits never crash; a refusal always says why
  for (size_t bit = 0; bit < bytes.size() * 8; ++bit) {
    std::vector<uint8_t> broken = bytes;
    broken[bit / 8] ^= static_cast<uint8_t>(1 << (bit % 8));
    error.clear();
    if (!DecodeStructure(broken.data(), broken.size(), decoded, error)) {
      EXPECT_FALSE(error.empty()) << bit;
    }
  }
  // a vertex count far beyond what the codes describe
  std::vector<uint8_t> huge = bytes;
  huge[3] = 0xff;
  EXPECT_FALSE(DecodeStructure(huge.data(), huge.size(), decoded, error));
  EXPECT_NE(error.find("beyond what its codes describe"), std::string::npos) << error;
}

} // namespace
