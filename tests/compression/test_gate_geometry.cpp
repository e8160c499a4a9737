#include <gtest/gtest.h>

#include <algorithm>
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

// The section and the closing pad byte; empty when the writer refused.
std::vector<uint8_t> Write(const CConquest& c, const CGateGeometryOptions& o, std::string& error) {
  CMemoryByteSink sink;
  BitOutputStream out(&sink, 0);
  if (!WriteGateGeometry(out, c.refs, c.xyz, o, error)) return {};
  out.Close();
  return sink.Bytes();
}

int Read(const std::vector<uint8_t>& bytes, size_t size, const CConquest& c,
         std::vector<float>& xyz, std::string& error) {
  CMemoryByteSource source(bytes.data(), size);
  BitInputStream in(&source, 0);
  in.SetConsole(nullptr);
  in.Load();
  return ReadGateGeometry(in, c.refs, xyz, error);
}

CConquest FromMesh(CMesh3d* mesh) {
  return gaterefs::FromMesh(*std::unique_ptr<CMesh3d>(mesh));
}

// Gates without a direction or a normal: left = right, collinear corners,
// one point, a point on the gate.
CConquest Degenerate() {
  const int corners[] = {-1, -1, -1, -1, -1, -1, -1, -1, -1, 0, 1, 2, 1, 2,
                         0,  3,  3,  4,  5,  5,  5,  5,  6,  4, 0, 1, 3};
  CConquest c{{}, {0, 0, 0, 1, 0, 0, 2, 0,    0, 0.5f, 1,    0.2f, 3, 0.4f,
                   0, 1, 1, 1, 1, 1, 1, 1.5f, 1, 1,    0.5f, 0,    0}};
  for (int i = 0; i < 27; i += 3) c.refs.push_back({corners[i], corners[i + 1], corners[i + 2]});
  return c;
}

// A helix walked as a chain (each vertex from the three before it),
// restarted from seeds halfway.
CConquest Helix(int n) {
  CConquest c;
  for (int i = 0; i < n; ++i) {
    const bool seed = i < 3 || (i >= n / 2 && i < n / 2 + 3);
    c.refs.push_back(seed ? CGateVertexRef{-1, -1, -1} : CGateVertexRef{i - 3, i - 2, i - 1});
    c.xyz.insert(c.xyz.end(), {float(std::cos(0.3 * i)), float(std::sin(0.3 * i)), 0.05f * i});
  }
  return c;
}

double Distance(const float* a, const float* b) {
  return std::hypot(double(a[0]) - b[0], double(a[1]) - b[1], double(a[2]) - b[2]);
}

CGateGeometryOptions Options(int levels, int option = 0, bool local = false) {
  CGateGeometryOptions o;
  o.alpha = o.beta = o.gamma = o.localX = o.localY = o.localZ = levels;
  o.encodingOption = option;
  o.localFrame = local;
  return o;
}

// Round trips on closed, open, genus-1, chained and degenerate conquests: raw and seed
// positions exact, coded ones within half a level of each parameter, i.e.
// a few gate lengths over the level count at coarse and fine levels alike
// (no drift along the conquest).
TEST(GateGeometry, RoundTripsEveryMeshAndOption) {
  const CConquest meshes[] = {
      FromMesh(testmeshes::MakeIcoSphere(3)), FromMesh(testmeshes::MakeTorus(24, 12)),
      FromMesh(testmeshes::MakeGridWithHoles(12, 10, 3)), Helix(3000), Degenerate()};
  struct Variant {
    bool raw, useBeta, local, together;
    int option;
  };
  const Variant variants[] = {{true, true, false, false, 0},   {false, true, false, false, 0},
                              {false, true, false, false, 1},  {false, true, false, false, 2},
                              {false, false, false, false, 0}, {false, true, true, false, 0},
                              {false, true, true, true, 0}};
  for (const CConquest& c : meshes) {
    double step = 0.0; // largest distance from a vertex to its gate's left corner
    for (size_t i = 0; i < c.refs.size(); ++i)
      if (c.refs[i].left >= 0)
        step = std::max(step, Distance(&c.xyz[3 * i], &c.xyz[3 * c.refs[i].left]));
    for (const Variant& v : variants)
      for (int levels : {64, 1024}) {
        CGateGeometryOptions o = Options(levels, v.option, v.local);
        o.raw = v.raw;
        o.useBeta = v.useBeta;
        o.together = v.together;
        // a gate degenerate in the original but not once decoded is tiny and
        // widens beta's range for all: there positions are only kept finite
        // and inside the configuration
        const double bound = &c == &meshes[4] ? 1.5 : 8.0 * step / levels;
        SCOPED_TRACE(std::to_string(&c - meshes) + " " + std::to_string(&v - variants) + " " +
                     std::to_string(levels));
        std::string error;
        const std::vector<uint8_t> bytes = Write(c, o, error);
        std::vector<float> back;
        ASSERT_EQ(Read(bytes, bytes.size(), c, back, error), 1) << error;
        ASSERT_EQ(back.size(), c.xyz.size());
        for (size_t i = 0; i < c.refs.size(); ++i) {
          const bool exact = v.raw || c.refs[i].left < 0;
          EXPECT_LE(Distance(&back[3 * i], &c.xyz[3 * i]), exact ? 0.0 : bound) << i;
        }
      }
  }
}

// The header of a four-vertex conquest, field by field: raw flag, two
// disabled flags, option, predicted count, alpha/x, gamma/z, beta flag,
// beta range flag, beta/y, local flag; then the floats: mean beta, beta's
// range or the local ranges, and the seeds.
TEST(GateGeometry, HeaderBitsOfFourVertices) {
  const CConquest c{{{-1, -1, -1}, {-1, -1, -1}, {-1, -1, -1}, {0, 1, 2}},
                    {0, 0, 0, 2, 0, 0, 0, 2, 0, 1, -1, 0.5f}}; // beta 0.75, local (.5, -.5, .25)
  // option, beta flag and local flag are fields 3, 7 and 10
  const std::pair<std::vector<uint32_t>, std::vector<float>> cases[] = {
      {{0, 0, 0, 2, 1, 60, 40, 1, 1, 50, 0}, {0.75f}},
      {{0, 0, 0, 0, 1, 60, 40, 0, 1, 50, 0}, {0.75f, 0}},
      {{0, 0, 0, 1, 1, 60, 40, 1, 0, 50, 1}, {0.5f, 0.5f, -0.5f, -0.5f, 0.25f, 0.25f}}};
  const int widths[11] = {1, 1, 1, 2, 24, 12, 12, 1, 1, 12, 1};
  for (const auto& [fields, floats] : cases) {
    CGateGeometryOptions o = Options(0, int(fields[3]), fields[10] != 0);
    o.alpha = o.localX = 60;
    o.beta = o.localY = 50;
    o.gamma = o.localZ = 40;
    o.useBeta = fields[7] != 0;
    o.together = true;
    std::string error;
    const std::vector<uint8_t> bytes = Write(c, o, error);
    CMemoryByteSource source(bytes);
    BitInputStream in(&source, 0);
    in.Load();
    for (int f = 0; f < 11; ++f) EXPECT_EQ(in.BReadBits(widths[f]), fields[f]) << f;
    std::vector<float> expect = floats;
    expect.insert(expect.end(), c.xyz.begin(), c.xyz.begin() + 9);
    for (float expected : expect) {
      const uint32_t bits = in.BReadBits(32);
      float value;
      std::memcpy(&value, &bits, 4);
      EXPECT_EQ(value, expected);
    }
  }
}

// Refused options and inputs, truncated sections and damaged fields, each
// with its message.
TEST(GateGeometry, RefusalsGiveMessages) {
  const CConquest ico = FromMesh(testmeshes::MakeIcoSphere(1));
  const std::pair<const char*, void (*)(CGateGeometryOptions&, CConquest&)> writes[] = {
      {"Alpha quantization of 1", [](CGateGeometryOptions& o, CConquest&) { o.alpha = 1; }},
      {"Local Z quantization of 4096",
       [](CGateGeometryOptions& o, CConquest&) { o.localFrame = true, o.localZ = 4096; }},
      {"Beta quantization exceeds",
       [](CGateGeometryOptions& o, CConquest&) { o.encodingOption = 2, o.beta = 200; }},
      {"not an earlier vertex", [](CGateGeometryOptions&, CConquest& c) { c.refs[5].behind = 5; }},
      {"not a finite number", [](CGateGeometryOptions&, CConquest& c) { c.xyz[7] = NAN; }},
      {"coordinates for", [](CGateGeometryOptions&, CConquest& c) { c.xyz.pop_back(); }},
  };
  for (const auto& [message, apply] : writes) {
    CGateGeometryOptions o = Options(100);
    CConquest c = ico;
    apply(o, c);
    std::string error;
    EXPECT_TRUE(Write(c, o, error).empty()) << message;
    EXPECT_NE(error.find(message), std::string::npos) << error;
  }

  for (bool raw : {true, false}) {
    CGateGeometryOptions o = Options(100, 1);
    o.raw = raw;
    std::string error;
    const std::vector<uint8_t> bytes = Write(ico, o, error);
    for (size_t size = 0; size + 1 < bytes.size(); ++size) {
      std::vector<float> back;
      error.clear();
      EXPECT_EQ(Read(bytes, size, ico, back, error), 0) << size;
      EXPECT_FALSE(error.empty()) << size;
    }
  }

  struct Damage {
    const char* message;
    int offset, width;
    uint32_t value;
  };
  const Damage damages[] = {{"quantization this reader does not know", 1, 1, 1},
                            {"Encoding option 3", 3, 2, 3},
                            {"predicted vertices", 5, 24, 7},
                            {"Alpha quantization of 0", 29, 12, 0},
                            {"Gamma quantization exceeds", 41, 12, 200},
                            {"beta range is missing", 54, 1, 0},
                            {"beta range is not a finite", 68, 32, 0x7f800000u}};
  std::string error;
  const std::vector<uint8_t> good = Write(ico, Options(100, 1), error);
  for (const Damage& d : damages) {
    std::vector<uint8_t> bytes = good;
    for (int b = d.offset; b < d.offset + d.width; ++b) {
      const uint8_t mask = uint8_t(0x80 >> (b % 8));
      bytes[b / 8] = (d.value >> (b - d.offset)) & 1 ? bytes[b / 8] | mask : bytes[b / 8] & ~mask;
    }
    std::vector<float> back;
    EXPECT_EQ(Read(bytes, bytes.size(), ico, back, error), 0) << d.message;
    EXPECT_NE(error.find(d.message), std::string::npos) << error;
  }
}

} // namespace
