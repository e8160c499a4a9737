#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "compression/IsoCoder.h"
#include "compression/IsoGeometry.h"
#include "compression/IsoHeader.h"
#include "tests/support/TestVolumes.h"

namespace {

using testvolumes::Field;

struct Encoded {
  CIsoEncodeResult result;
  CMemoryByteSink sign, leaf, geo;
  CIsoSurface surface; // the encoder's own surface
};

void EncodeVolume(const CIsoVolume& volume, const CIsoEncodeOptions& options, Encoded& out) {
  std::string error;
  ASSERT_EQ(IsoEncode(volume, options, out.sign, out.leaf, out.geo, out.result, error), 1) << error;
  IsoContour(volume.m_Signs, 1, out.surface, &volume);
}

int DecodeEncoded(const Encoded& in, CIsoSurface& surface, std::string& error,
                  const CIsoLevelCallback& onLevel = {}) {
  CMemoryByteSource sign(in.sign.Bytes().data(), in.sign.Bytes().size());
  CMemoryByteSource leaf(in.leaf.Bytes().data(), in.leaf.Bytes().size());
  CMemoryByteSource geo(in.geo.Bytes().data(), in.geo.Bytes().size());
  return IsoDecode(in.result.m_Header, sign, leaf, &geo, surface, error, onLevel);
}

// Each undirected edge in an even number of quads: the surface is closed.
bool Watertight(const CIsoSurface& s) {
  std::map<std::pair<int, int>, int> edges;
  for (int q = 0; q < s.QuadCount(); ++q)
    for (int k = 0; k < 4; ++k) {
      int a = s.m_Quads[4 * q + k], b = s.m_Quads[4 * q + (k + 1) % 4];
      if (a > b) std::swap(a, b);
      ++edges[{a, b}];
    }
  for (const auto& e : edges)
    if (e.second % 2) return false;
  return true;
}

struct RoundTripCase {
  const char* name;
  Field field;
  int depth;
  bool geometry = true;
};

class IsoRoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(IsoRoundTrip, DecodesTheEncodersSurfaceLevelByLevel) {
  const RoundTripCase& c = GetParam();
  const CIsoVolume volume = testvolumes::MakeVolume(c.field, c.depth);
  CIsoEncodeOptions options;
  options.m_Geometry = c.geometry;
  Encoded encoded;
  EncodeVolume(volume, options, encoded);
  ASSERT_EQ(encoded.result.m_LevelBytes.size(), size_t(c.depth));
  // without geometry no geometry stream is written and the header says so
  EXPECT_EQ(encoded.result.m_Header.m_Geometry, c.geometry ? 1 : 0);
  EXPECT_EQ(encoded.geo.Bytes().empty(), !c.geometry);
  std::vector<int> levels;
  CIsoSurface decoded;
  std::string error;
  ASSERT_EQ(DecodeEncoded(encoded, decoded, error,
                          [&](int level, const CIsoSurface& s) {
                            levels.push_back(level);
                            EXPECT_TRUE(Watertight(s)) << "level " << level;
                            return 1;
                          }),
            1)
      << error;
  ASSERT_EQ(int(levels.size()), c.depth);
  // Same polygons, vertices within a quantization step per component
  EXPECT_EQ(decoded.m_Quads, encoded.surface.m_Quads);
  ASSERT_EQ(decoded.m_Cell, encoded.surface.m_Cell);
  EXPECT_TRUE(Watertight(decoded));
  if (!c.geometry) return;
  const CIsoHeader& h = encoded.result.m_Header;
  const std::vector<double> want = IsoComponents(volume.m_Signs, encoded.surface);
  const std::vector<double> got = IsoComponents(volume.m_Signs, decoded);
  for (size_t i = 0; i < want.size(); ++i) {
    const int c3 = int(i % 3);
    const double step = h.m_Range[c3] / h.m_Levels[c3];
    EXPECT_NEAR(got[i], want[i], step + 1e-5) << "component " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Volumes, IsoRoundTrip,
    ::testing::Values(RoundTripCase{"empty3", [](double, double, double) { return 1.0; }, 3},
                      RoundTripCase{"sphere1", testvolumes::SphereField(), 1},
                      RoundTripCase{"sphere2", testvolumes::SphereField(), 2},
                      RoundTripCase{"sphere5", testvolumes::SphereField(), 5},
                      RoundTripCase{"torus4", testvolumes::TorusField(), 4},
                      RoundTripCase{"torus6", testvolumes::TorusField(), 6},
                      RoundTripCase{"genus2", testvolumes::DoubleTorusField(), 6},
                      RoundTripCase{"blobs5", testvolumes::TwoBlobsField(), 5},
                      RoundTripCase{"blobs7", testvolumes::TwoBlobsField(), 7},
                      RoundTripCase{"sphere4_no_geometry", testvolumes::SphereField(), 4, false}),
    [](const ::testing::TestParamInfo<RoundTripCase>& info) { return info.param.name; });

TEST(IsoCoder, RefusesGeoQuantBelowTwo) {
  const CIsoVolume volume = testvolumes::MakeVolume(testvolumes::SphereField(), 3);
  for (auto q : {std::make_pair(1, 18), std::make_pair(8, 1), std::make_pair(0, 0)}) {
    CIsoEncodeOptions options;
    options.m_QuantXY = q.first;
    options.m_QuantZ = q.second;
    CMemoryByteSink a, b, c;
    CIsoEncodeResult result;
    std::string error;
    EXPECT_EQ(IsoEncode(volume, options, a, b, c, result, error), 0);
    EXPECT_NE(error.find("Geo Quant"), std::string::npos);
  }
}

TEST(IsoCoder, ShortOrDamagedStreamsAreRefusedWithAMessage) {
  const CIsoVolume volume = testvolumes::MakeVolume(testvolumes::TorusField(), 5);
  Encoded encoded;
  EncodeVolume(volume, CIsoEncodeOptions(), encoded);
  struct Cut {
    const char* what;
    size_t sign, leaf, geo;
  };
  const size_t s = encoded.sign.Bytes().size(), l = encoded.leaf.Bytes().size(),
               g = encoded.geo.Bytes().size();
  for (const Cut& cut :
       {Cut{"no sign", 0, l, g}, Cut{"half sign", s / 2, l, g}, Cut{"no leaf", s, 0, g},
        Cut{"no geo", s, l, 0}, Cut{"half geo", s, l, g / 4}}) {
    CMemoryByteSource sign(encoded.sign.Bytes().data(), cut.sign);
    CMemoryByteSource leaf(encoded.leaf.Bytes().data(), cut.leaf);
    CMemoryByteSource geo(encoded.geo.Bytes().data(), cut.geo);
    CIsoSurface decoded;
    std::string error;
    EXPECT_EQ(IsoDecode(encoded.result.m_Header, sign, leaf, &geo, decoded, error), 0) << cut.what;
    EXPECT_FALSE(error.empty()) << cut.what;
    EXPECT_EQ(decoded.VertexCount(), 0) << cut.what;
  }
}

TEST(IsoHeader, PrintsAndReadsBack) {
  CIsoHeader h;
  h.m_Depth = 3;
  h.m_N = 9;
  h.m_VertexCount = 12;
  h.m_Geometry = 1;
  h.m_Origin[0] = -1.5;
  h.m_Unit[2] = 0.25;
  h.m_Levels[0] = h.m_Levels[1] = 8;
  h.m_Levels[2] = 18;
  h.m_Range[2] = 0.5;
  h.m_Minimum[2] = -0.25;
  EXPECT_EQ(IsoHeaderText(h), "3 9 12 1 -1.500000 0.000000 0.000000 1.000000 1.000000 0.250000\n"
                              "8 8 18 0.000000 0.000000 0.500000 0.000000 0.000000 -0.250000");
  CIsoHeader back;
  std::string error;
  ASSERT_EQ(IsoParseHeader(IsoHeaderText(h), back, error), 1) << error;
  EXPECT_EQ(IsoHeaderText(back), IsoHeaderText(h));
}

TEST(IsoHeader, RefusesInconsistentHeaders) {
  const char* bad[] = {
      "",
      "not a header",
      "3 9 12 1 0 0 0 1 1 1\n",                       // no second line
      "3 10 12 1 0 0 0 1 1 1\n8 8 18 0 0 0 0 0 0",    // N is not 2^D + 1
      "10 1025 12 1 0 0 0 1 1 1\n8 8 18 0 0 0 0 0 0", // too deep
      "0 2 0 0 0 0 0 1 1 1\n8 8 18 0 0 0 0 0 0",      // no level
      "3 9 513 1 0 0 0 1 1 1\n8 8 18 0 0 0 0 0 0",    // more vertices than cells
      "3 9 -1 1 0 0 0 1 1 1\n8 8 18 0 0 0 0 0 0",     // negative count
      "3 9 12 2 0 0 0 1 1 1\n8 8 18 0 0 0 0 0 0",     // flag
      "3 9 12 1 0 0 0 0 1 1\n8 8 18 0 0 0 0 0 0",     // zero unit
      "3 9 12 1 0 0 0 1 1 1\n1 1 18 0 0 0 0 0 0",     // one level
      "3 9 12 1 0 0 0 1 1 1\n8 8 18 -1 0 0 0 0 0",    // negative range
      "3 9 12 1 0 0 0 1 1 1\n8 8 18 nan 0 0 0 0 0",   // not a number
  };
  for (const char* text : bad) {
    CIsoHeader h;
    std::string error;
    EXPECT_EQ(IsoParseHeader(text, h, error), 0) << text;
    EXPECT_FALSE(error.empty()) << text;
  }
}

TEST(IsoGeometry, QuantizationLimitsAndZeroRange) {
  struct Case {
    double v, lo, range;
    int levels, q;
  };
  for (const Case& c :
       {Case{0.0, 0.0, 1.0, 8, 1}, Case{1.0, 0.0, 1.0, 8, 7}, Case{0.5, 0.0, 1.0, 8, 4},
        Case{0.0625, 0.0, 1.0, 8, 1}, Case{0.3125, 0.0, 1.0, 8, 3}, Case{5.0, 5.0, 0.0, 8, 1}}) {
    EXPECT_EQ(IsoQuantize(c.v, c.lo, c.range, c.levels), c.q) << c.v;
  }
  EXPECT_EQ(IsoDequantize(1, 5.0, 0.0, 8), 5.0);
  EXPECT_EQ(IsoDequantize(4, 0.0, 1.0, 8), 0.5);
}

TEST(IsoGeometry, LeafFrameIsOrthonormalAndFacesOutside) {
  CBitGrid signs;
  signs.Reset(3);
  // inside below the plane x = 0.5 of the cell at the origin
  signs.Set(signs.Index(0, 0, 0), 1);
  signs.Set(signs.Index(0, 1, 0), 1);
  signs.Set(signs.Index(0, 0, 1), 1);
  signs.Set(signs.Index(0, 1, 1), 1);
  const CIsoFrame f = IsoLeafFrame(signs, 0);
  EXPECT_NEAR(f.m_Axis[2][0], 1.0, 1e-12);
  for (int a = 0; a < 3; ++a)
    for (int b = 0; b < 3; ++b) {
      double dot = 0.0;
      for (int k = 0; k < 3; ++k) dot += f.m_Axis[a][k] * f.m_Axis[b][k];
      EXPECT_NEAR(dot, a == b ? 1.0 : 0.0, 1e-12) << a << b;
    }
  // all corners alike: the normal falls back to z
  CBitGrid uniform;
  uniform.Reset(3);
  EXPECT_EQ(IsoLeafFrame(uniform, 0).m_Axis[2][2], 1.0);
}

} // namespace
