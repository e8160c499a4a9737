// The ".vpm" file: its bytes for a small mesh, its two geometry forms,
// the codes of cleaning layers, and every malformed file refused with a
// message.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "compression/BitStream.h"
#include "compression/ByteStream.h"
#include "compression/ContextCoder.h"
#include "compression/ProgressiveConquest.h"
#include "tests/support/ProgressiveRoundTrip.h"
#include "tests/support/TestMeshes.h"

using namespace orvex;
using namespace progressivetest;

namespace {

std::string Hex(const std::vector<uint8_t>& bytes) {
  std::string text;
  char pair[3];
  for (uint8_t b : bytes) {
    std::snprintf(pair, sizeof pair, "%02x", b);
    text += pair;
  }
  return text;
}

// A hand-made file: base of nbVertex vertices at (i, 0, 0) and the given
// faces, and the given layers.
CVpmFile SmallFile(int nbVertex, std::vector<int> faces, std::vector<CVpmLayer> layers, int q = 8) {
  CVpmFile file;
  file.m_Quantizer.m_Bits = q;
  for (int k = 0; k < 3; ++k) file.m_Quantizer.m_Step[k] = 0.5f;
  for (int i = 0; i < nbVertex; ++i)
    file.m_BasePositions.insert(file.m_BasePositions.end(), {i, 0, 0});
  file.m_BaseFaces = std::move(faces);
  file.m_Layers = std::move(layers);
  return file;
}

CVpmLayer Layer(int type, std::vector<int> codes, bool predicted, std::vector<int32_t> values) {
  CVpmLayer layer;
  layer.m_Type = type;
  layer.m_Codes = std::move(codes);
  layer.m_bPredicted = predicted;
  layer.m_Values = std::move(values);
  return layer;
}

std::vector<uint8_t> Bytes(const CVpmFile& file, CVpmSizes* sizes = nullptr) {
  std::vector<uint8_t> bytes;
  CVpmSizes local;
  std::string error;
  EXPECT_EQ(WriteVpm(file, bytes, sizes ? *sizes : local, error), 1) << error;
  return bytes;
}

// Reads bytes that must be refused; returns the message.
std::string Refusal(const std::vector<uint8_t>& bytes) {
  CVpmFile file;
  std::string error;
  EXPECT_EQ(ReadVpm(bytes.data(), bytes.size(), file, error), 0);
  EXPECT_FALSE(error.empty());
  return error;
}

// A header written field by field: Q, counts, box.
std::vector<uint8_t> Header(uint32_t q, uint32_t nbVertex, uint32_t nbFace, float step) {
  CMemoryByteSink sink;
  BitOutputStream out(&sink, 0);
  out.WriteBits(q, 4);
  out.WriteBits(nbVertex, 24);
  out.WriteBits(nbFace, 24);
  for (int k = 0; k < 3; ++k) {
    uint32_t bits;
    std::memcpy(&bits, &step, 4);
    out.WriteBits(bits, 32);
    out.WriteBits(0, 32);
  }
  for (int i = 0; i < 8; ++i) out.WriteBits(0, 32);
  out.Close();
  return sink.Bytes();
}

} // namespace

// Any change of the file's layout shows here.
TEST(VpmFile, BytesOfASmallSphereArePinned) {
  std::unique_ptr<CMesh3d> mesh(testmeshes::MakeIcoSphere(1));
  CProgressiveOptions options;
  options.m_RequestedVertices = 12;
  options.m_QuantizationBits = 6;
  RoundTrip trip = RunRoundTrip(*mesh, options);
  ASSERT_TRUE(trip.ok) << trip.error;
  EXPECT_EQ(Hex(trip.bytes),
            "6d00000480000841040bc000001fd841040bc000001fd841040bc000001fdf17058f655c1f280430"
            "a59e59c29fd6bd6a7698f7d6989c26b0a2080a803209a8070b06546924245165785518b9887a9902"
            "a7958400002924e72aa6d6f8d4f3d4187cdb7d7e0ce227e89b44bbe5de9f981ffb76fa5e225edc33"
            "8170e400002a10112b01302698958f67f651052b0c04d7b2ce0f8bb2807c967f41f28603f820800c"
            "e14a663d69a9fd041ffd9586980970432021d0c052a5a9c20010435c104103ca0109a9c10d7fc104"
            "3a0100");
  // the parts add up to the file, less the padding of the last byte
  const long long parts = trip.sizes.m_Base + trip.sizes.m_Connectivity + trip.sizes.m_Geometry;
  EXPECT_EQ(trip.sizes.m_Total, 8 * static_cast<long long>(trip.bytes.size()));
  EXPECT_GE(trip.sizes.m_Total - parts, 1);
  EXPECT_LE(trip.sizes.m_Total - parts, 8);
  // header: Q, two counts, the box; then Q bits per base coordinate
  EXPECT_EQ(trip.sizes.m_Base % 6, (4 + 24 + 24 + 192) % 6);
}

TEST(VpmFile, ABaseOfOneVertexHasNoFaceBits) {
  CVpmSizes sizes;
  std::vector<uint8_t> bytes = Bytes(SmallFile(1, {}, {}), &sizes);
  EXPECT_EQ(sizes.m_Base, 4 + 24 + 24 + 192 + 3 * 8);
  CVpmFile read;
  std::string error;
  ASSERT_EQ(ReadVpm(bytes.data(), bytes.size(), read, error), 1) << error;
  EXPECT_EQ(read.m_BasePositions, (std::vector<int32_t>{0, 0, 0}));
  EXPECT_TRUE(read.m_Layers.empty());
}

// Up to 15 removed vertices a layer stores their coordinates, from 16 on
// their residuals, range coded; both come back as written.
TEST(VpmFile, FifteenRemovalsAreRawSixteenArePredicted) {
  for (int count : {1, 15, 16, 40}) {
    SCOPED_TRACE(count);
    CProgressiveEncoding encoding;
    encoding.m_Quantizer.m_Bits = 10;
    encoding.m_Positions = {0, 0, 0};
    encoding.m_BaseVertex = {0};
    CEncodedLayer layer;
    for (int i = 0; i < count; ++i) {
      layer.m_Codes.push_back(i % 2 ? 3 : 6);
      CRemoval removal;
      removal.m_Vertex = i + 1;
      for (int k = 0; k < 3; ++k) {
        removal.m_Position[k] = (7 * i + k) % 1024;
        removal.m_Residual[k] = k == 0 ? 3 + i % 5 : i % 9 - 4; // normal values all positive
      }
      layer.m_Removals.push_back(removal);
    }
    encoding.m_Layers.push_back(layer);
    CVpmFile file = VpmFromEncoding(encoding);
    ASSERT_EQ(file.m_Layers.size(), 1u);
    EXPECT_EQ(file.m_Layers[0].m_bPredicted, count > kMostRawVertices);
    CVpmFile read;
    std::string error;
    std::vector<uint8_t> bytes = Bytes(file);
    ASSERT_EQ(ReadVpm(bytes.data(), bytes.size(), read, error), 1) << error;
    EXPECT_EQ(read.m_Layers[0].m_bPredicted, file.m_Layers[0].m_bPredicted);
    EXPECT_EQ(read.m_Layers[0].m_Values, file.m_Layers[0].m_Values);
    EXPECT_EQ(read.m_Layers[0].m_Codes, file.m_Layers[0].m_Codes);
  }
}

// In a cleaning layer a valence-3 removal is stored as 6 (and read back
// as 3); a decimation layer keeps its 3.
TEST(VpmFile, CleaningLayersStoreValenceThreeAsSix) {
  struct Case {
    int type;
    std::vector<int> codes, stored;
  };
  const Case cases[] = {{kCleaningLayer, {2, 3, 3, 2}, {2, 6, 6, 2}},
                        {kDecimationLayer, {2, 3, 6, 1, 5}, {2, 3, 6, 1, 5}}};
  for (const Case& c : cases) {
    std::vector<uint8_t> bytes = WriteLayerFile(c.type, c.codes);
    CMemoryByteSource source(bytes);
    BitInputStream in(&source, 0);
    in.Load();
    EXPECT_EQ(static_cast<int>(in.BReadBits(1)), c.type);
    ContextDecoder decoder;
    decoder.Init(7);
    ASSERT_TRUE(decoder.Start(in, 0));
    std::vector<int> stored;
    int symbol;
    while (decoder.Decode(symbol, in)) stored.push_back(symbol);
    EXPECT_EQ(stored, c.stored);
    int type;
    std::vector<int> codes;
    std::string error;
    ASSERT_EQ(ReadLayerFile(bytes.data(), bytes.size(), type, codes, error), 1) << error;
    EXPECT_EQ(type, c.type);
    EXPECT_EQ(codes, c.codes);
  }
}

TEST(VpmFile, MalformedFilesAreRefusedWithAMessage) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    const char* message;
  };
  const Case cases[] = {
      {"empty", {}, "truncated"},
      {"quantization 3", Header(3, 1, 0, 1.0f), "Quantization"},
      {"quantization 13", Header(13, 1, 0, 1.0f), "Quantization"},
      {"vertex count beyond the file", Header(12, 0xFFFFFF, 0, 1.0f), "do not fit"},
      {"face count beyond the file", Header(4, 3, 0xFFFFFF, 1.0f), "do not fit"},
      {"box not a number", Header(8, 1, 0, nan), "not a number"},
      {"face beyond the base", Bytes(SmallFile(5, {0, 1, 6}, {})), "beyond the base"},
      {"face repeating a vertex", Bytes(SmallFile(4, {0, 0, 1}, {})), "repeats"},
      {"faces on two vertices", Bytes(SmallFile(2, {0, 1, 1}, {})), "fewer than three"},
      {"cleaning code 4", Bytes(SmallFile(3, {0, 1, 2}, {Layer(1, {4}, false, {1, 1, 1})})),
       "has code"},
      {"boundary code without side",
       Bytes(SmallFile(3, {0, 1, 2}, {Layer(0, {1, 2}, false, {1, 1, 1})})), "has code"},
      {"layer ending in a boundary code",
       Bytes(SmallFile(3, {0, 1, 2}, {Layer(0, {2, 1}, false, {1, 1, 1})})), "has code"},
      {"raw count against the codes",
       Bytes(SmallFile(3, {0, 1, 2}, {Layer(0, {3, 3}, false, {1, 1, 1})})), "stores 1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_NE(Refusal(c.bytes).find(c.message), std::string::npos) << Refusal(c.bytes);
  }
}

// Every prefix of a good file is refused: a short read is an error, never
// zero bits.
TEST(VpmFile, EveryTruncationIsRefused) {
  std::unique_ptr<CMesh3d> mesh(testmeshes::MakeTorus(10, 8));
  CProgressiveOptions options;
  options.m_RequestedVertices = 20;
  RoundTrip trip = RunRoundTrip(*mesh, options);
  ASSERT_TRUE(trip.ok) << trip.error;
  for (size_t size = 0; size + 1 < trip.bytes.size(); ++size) {
    SCOPED_TRACE(size);
    std::vector<uint8_t> prefix(trip.bytes.begin(), trip.bytes.begin() + size);
    Refusal(prefix);
  }
}

// Codes that do not fit the base are refused by the decoder.
TEST(VpmFile, CodesThatDoNotFitTheMeshAreRefused) {
  struct Case {
    const char* name;
    std::vector<int> codes;
    const char* message;
  };
  // one triangle: its two gates meet the triangle once, then nothing
  const Case cases[] = {{"none", {}, "end before the conquest"},
                        {"one too many", {2, 2}, "go on after the conquest"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CVpmFile file = SmallFile(3, {0, 1, 2}, {Layer(0, c.codes, false, {})});
    CProgressiveMesh mesh;
    std::string error;
    EXPECT_EQ(DecodeProgressive(file, CDecodeOptions(), mesh, error), 0);
    EXPECT_NE(error.find(c.message), std::string::npos) << error;
  }
}

TEST(VpmFile, TheWriterRefusesMoreLayersThanTheCountHolds) {
  CVpmFile file = SmallFile(3, {0, 1, 2}, std::vector<CVpmLayer>(1024, Layer(0, {2}, false, {})));
  std::vector<uint8_t> bytes;
  CVpmSizes sizes;
  std::string error;
  EXPECT_EQ(WriteVpm(file, bytes, sizes, error), 0);
  EXPECT_NE(error.find("1023 layers"), std::string::npos) << error;
  EXPECT_TRUE(bytes.empty());
}
