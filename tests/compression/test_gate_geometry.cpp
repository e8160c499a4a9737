#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "compression/GateGeometry.h"
#include "tests/support/GateRefs.h"
#include "tests/support/TestMeshes.h"

namespace {

using gaterefs::CConquest;

struct Written {
  int ok = 0;
  std::string error;
  std::vector<uint8_t> bytes; // the section and the closing pad byte
};

Written Write(const CConquest& c, const CGateGeometryOptions& options) {
  Written w;
  CMemoryByteSink sink;
  BitOutputStream out(&sink, 0);
  w.ok = WriteGateGeometry(out, c.refs, c.xyz, options, w.error);
  out.Close();
  w.bytes = sink.Bytes();
  return w;
}

int Read(const std::vector<uint8_t>& bytes, size_t size, const std::vector<CGateVertexRef>& refs,
         std::vector<float>& xyz, std::string& error) {
  CMemoryByteSource source(bytes.data(), size);
  BitInputStream in(&source, 0);
  in.SetConsole(nullptr);
  in.Load();
  return ReadGateGeometry(in, refs, xyz, error);
}

CConquest FromMesh(CMesh3d* mesh) {
  std::unique_ptr<CMesh3d> owned(mesh);
  return gaterefs::FromMesh(*owned);
}

// Two ico-spheres apart: the second component starts from seeds.
CConquest TwoSpheres() {
  const CConquest first = FromMesh(testmeshes::MakeIcoSphere(2));
  const int nv = static_cast<int>(first.refs.size());
  std::vector<float> both(first.xyz);
  for (int i = 0; i < nv; ++i)
    both.insert(both.end(), {first.xyz[3 * i] + 3.0f, first.xyz[3 * i + 1], first.xyz[3 * i + 2]});
  CConquest c{first.refs, both};
  for (const CGateVertexRef& r : first.refs)
    c.refs.push_back(r.left < 0 ? r : CGateVertexRef{r.left + nv, r.right + nv, r.behind + nv});
  return c;
}

// A long helix walked as a chain: errors must not accumulate along it.
CConquest Helix(int n) {
  CConquest c{gaterefs::Chain(n), {}};
  for (int i = 0; i < n; ++i) {
    const double t = 0.3 * i;
    c.xyz.insert(c.xyz.end(), {float(std::cos(t)), float(std::sin(t)), float(0.05 * i)});
  }
  return c;
}

// Largest distance from a vertex to its gate's left corner.
double LargestStep(const CConquest& c) {
  double largest = 0.0;
  for (size_t i = 0; i < c.refs.size(); ++i)
    if (c.refs[i].left >= 0) {
      double d2 = 0.0;
      for (int k = 0; k < 3; ++k) {
        const double d = c.xyz[3 * i + k] - c.xyz[3 * size_t(c.refs[i].left) + k];
        d2 += d * d;
      }
      largest = std::max(largest, std::sqrt(d2));
    }
  return largest;
}

double LargestError(const std::vector<float>& a, const std::vector<float>& b) {
  double largest = 0.0;
  for (size_t i = 0; i + 2 < a.size(); i += 3)
    largest = std::max(largest, std::hypot(double(a[i]) - b[i], double(a[i + 1]) - b[i + 1],
                                           double(a[i + 2]) - b[i + 2]));
  return largest;
}

CGateGeometryOptions Options(int levels, int option = 0) {
  CGateGeometryOptions o;
  o.alpha = o.beta = o.gamma = o.localX = o.localY = o.localZ = levels;
  o.encodingOption = option;
  return o;
}

// Round trips on meshes and option sets: raw positions come back exact,
// seeds exact, coded ones within half a level of each parameter, which at
// L levels stays below a few gate lengths over L at both coarse and fine
// levels (no drift along the conquest).
TEST(GateGeometry, RoundTripsEveryMeshAndOption) {
  struct Mesh {
    const char* name;
    CConquest c;
  };
  const Mesh meshes[] = {{"ico", FromMesh(testmeshes::MakeIcoSphere(3))},
                         {"torus", FromMesh(testmeshes::MakeTorus(24, 12))},
                         {"holes", FromMesh(testmeshes::MakeGridWithHoles(12, 10, 3))},
                         {"two", TwoSpheres()},
                         {"helix", Helix(3000)}};
  struct Variant {
    const char* name;
    void (*apply)(CGateGeometryOptions&);
  };
  const Variant variants[] = {
      {"raw", [](CGateGeometryOptions& o) { o.raw = true; }},
      {"option0", [](CGateGeometryOptions&) {}},
      {"option1", [](CGateGeometryOptions& o) { o.encodingOption = 1; }},
      {"option2", [](CGateGeometryOptions& o) { o.encodingOption = 2; }},
      {"meanBeta", [](CGateGeometryOptions& o) { o.useBeta = false; }},
      {"localSeparate", [](CGateGeometryOptions& o) { o.localFrame = true; }},
      {"localTogether",
       [](CGateGeometryOptions& o) {
         o.localFrame = true;
         o.together = true;
       }},
  };
  for (const Mesh& m : meshes) {
    const double step = LargestStep(m.c);
    for (const Variant& v : variants) {
      for (int levels : {64, 1024}) {
        SCOPED_TRACE(std::string(m.name) + " " + v.name + " " + std::to_string(levels));
        CGateGeometryOptions options = Options(levels);
        v.apply(options);
        const Written w = Write(m.c, options);
        ASSERT_EQ(w.ok, 1) << w.error;
        std::vector<float> back;
        std::string error;
        ASSERT_EQ(Read(w.bytes, w.bytes.size(), m.c.refs, back, error), 1) << error;
        ASSERT_EQ(back.size(), m.c.xyz.size());
        for (size_t i = 0; i < m.c.refs.size(); ++i) {
          if (!options.raw && m.c.refs[i].left >= 0) continue;
          for (int k = 0; k < 3; ++k) ASSERT_EQ(back[3 * i + k], m.c.xyz[3 * i + k]) << i;
        }
        const double err = LargestError(back, m.c.xyz);
        EXPECT_LE(err, 8.0 * step / levels);
      }
    }
  }
}

// Gates without a direction or a normal still give finite, close positions.
TEST(GateGeometry, DegenerateGatesRoundTrip) {
  const std::vector<CGateVertexRef> refs = {
      {-1, -1, -1}, {-1, -1, -1}, {-1, -1, -1}, {0, 1, 2}, {1, 2, 0}};
  struct Case {
    const char* name;
    std::vector<float> xyz;
  };
  const Case cases[] = {
      {"left = right", {0, 0, 0, 0, 0, 0, 1, 1, 0, 0.5f, 2, 1, 0, 0, 0.7f}},
      {"collinear", {0, 0, 0, 1, 0, 0, 2, 0, 0, 0.5f, 1, 0.2f, 3, 0.4f, 0}},
      {"one point", {1, 1, 1, 1, 1, 1, 1, 1, 1, 1.5f, 1, 1, 1, 1, 1}},
      {"point on the gate", {0, 0, 0, 1, 0, 0, 0, 1, 0, 0.5f, 0, 0, 1, 0, 0}},
  };
  for (const Case& c : cases)
    for (bool local : {false, true}) {
      SCOPED_TRACE(std::string(c.name) + (local ? " local" : " angles"));
      CGateGeometryOptions options = Options(256);
      options.localFrame = local;
      const Written w = Write({refs, c.xyz}, options);
      ASSERT_EQ(w.ok, 1) << w.error;
      std::vector<float> back;
      std::string error;
      ASSERT_EQ(Read(w.bytes, w.bytes.size(), refs, back, error), 1) << error;
      for (float f : back) EXPECT_TRUE(std::isfinite(f));
      EXPECT_LE(LargestError(back, c.xyz), 0.05);
    }
}

// Fields of the header read back one by one, for a four-vertex conquest.
TEST(GateGeometry, HeaderBitsOfFourVertices) {
  const CConquest c{{{-1, -1, -1}, {-1, -1, -1}, {-1, -1, -1}, {0, 1, 2}},
                    {0, 0, 0, 2, 0, 0, 0, 2, 0, 1, -1, 0.5f}};
  struct Case {
    bool local, useBeta;
    int option;
    uint32_t expected[10]; // option, count, alpha/x, gamma/z, useBeta, range flag, beta/y, local
  };
  const Case cases[] = {{false, true, 2, {0, 0, 2, 1, 60, 40, 1, 1, 50, 0}},
                        {false, false, 0, {0, 0, 0, 1, 60, 40, 0, 1, 50, 0}},
                        {true, true, 1, {0, 0, 1, 1, 60, 40, 1, 0, 50, 1}}};
  const int widths[10] = {1, 1, 2, 24, 12, 12, 1, 1, 12, 1};
  for (const Case& t : cases) {
    CGateGeometryOptions o;
    o.alpha = o.localX = 60;
    o.beta = o.localY = 50;
    o.gamma = o.localZ = 40;
    o.useBeta = t.useBeta;
    o.localFrame = t.local;
    o.together = true;
    o.encodingOption = t.option;
    const Written w = Write(c, o);
    ASSERT_EQ(w.ok, 1) << w.error;
    CMemoryByteSource source(w.bytes);
    BitInputStream in(&source, 0);
    in.Load();
    EXPECT_EQ(in.BReadBits(1), 0u); // not raw
    for (int f = 0; f < 10; ++f) EXPECT_EQ(in.BReadBits(widths[f]), t.expected[f]) << f;
    auto readFloat = [&]() {
      const uint32_t bits = in.BReadBits(32);
      float v;
      std::memcpy(&v, &bits, 4);
      return v;
    };
    if (!t.useBeta) {
      EXPECT_NEAR(readFloat(), 0.75, 1e-6); // the mean beta
    }
    if (!t.local) {
      EXPECT_GE(readFloat(), t.useBeta ? 0.75f : 0.0f); // beta's range
    }
    for (int k = 0; t.local && k < 3; ++k) {
      const float lo = readFloat(), hi = readFloat();
      EXPECT_LE(lo, c.xyz[9 + k] * 0.5f);
      EXPECT_GE(hi, c.xyz[9 + k] * 0.5f);
    }
    for (int i = 0; i < 9; ++i) EXPECT_EQ(readFloat(), c.xyz[i]) << i;
  }
}

// Options and inputs the writer refuses, and damaged sections the reader
// refuses, each with a message.
TEST(GateGeometry, RefusalsGiveMessages) {
  const CConquest ico = FromMesh(testmeshes::MakeIcoSphere(1));
  struct WriteCase {
    const char* message;
    void (*apply)(CGateGeometryOptions&, CConquest&);
  };
  const WriteCase writes[] = {
      {"Alpha quantization of 1", [](CGateGeometryOptions& o, CConquest&) { o.alpha = 1; }},
      {"Local Z quantization of 4096",
       [](CGateGeometryOptions& o, CConquest&) {
         o.localFrame = true;
         o.localZ = 4096;
       }},
      {"Encoding option 3", [](CGateGeometryOptions& o, CConquest&) { o.encodingOption = 3; }},
      {"Beta quantization exceeds",
       [](CGateGeometryOptions& o, CConquest&) {
         o.encodingOption = 2;
         o.beta = 200;
       }},
      {"not an earlier vertex", [](CGateGeometryOptions&, CConquest& c) { c.refs[5].behind = 5; }},
      {"not a finite number", [](CGateGeometryOptions&, CConquest& c) { c.xyz[7] = NAN; }},
      {"coordinates for", [](CGateGeometryOptions&, CConquest& c) { c.xyz.pop_back(); }},
  };
  for (const WriteCase& t : writes) {
    CGateGeometryOptions o = Options(100);
    CConquest c = ico;
    t.apply(o, c);
    const Written w = Write(c, o);
    EXPECT_EQ(w.ok, 0) << t.message;
    EXPECT_NE(w.error.find(t.message), std::string::npos) << w.error;
  }

  // every truncation of the section, raw or coded, is refused
  for (bool raw : {true, false}) {
    CGateGeometryOptions o = Options(100, 1);
    o.raw = raw;
    const Written w = Write(ico, o);
    ASSERT_EQ(w.ok, 1);
    for (size_t size = 0; size + 1 < w.bytes.size(); ++size) {
      std::vector<float> back;
      std::string error;
      EXPECT_EQ(Read(w.bytes, size, ico.refs, back, error), 0) << size;
      EXPECT_FALSE(error.empty()) << size;
    }
  }

  // damaged fields: bit offset, width, value
  struct ReadCase {
    const char* message;
    int offset, width;
    uint32_t value;
  };
  const ReadCase reads[] = {{"quantization this reader does not know", 1, 1, 1},
                            {"Encoding option 3", 3, 2, 3},
                            {"predicted vertices", 5, 24, 7},
                            {"Alpha quantization of 0", 29, 12, 0},
                            {"Gamma quantization exceeds", 41, 12, 200},
                            {"beta range is missing", 54, 1, 0},
                            {"beta range is not a finite", 68, 32, 0x7f800000u}};
  const Written w = Write(ico, Options(100, 1));
  for (const ReadCase& t : reads) {
    std::vector<uint8_t> bytes = w.bytes;
    for (int b = 0; b < t.width; ++b) {
      const int bit = t.offset + b;
      const uint8_t mask = uint8_t(0x80 >> (bit % 8));
      bytes[bit / 8] = (t.value >> b) & 1 ? bytes[bit / 8] | mask : bytes[bit / 8] & ~mask;
    }
    std::vector<float> back;
    std::string error;
    EXPECT_EQ(Read(bytes, bytes.size(), ico.refs, back, error), 0) << t.message;
    EXPECT_NE(error.find(t.message), std::string::npos) << error;
  }
}

} // namespace
