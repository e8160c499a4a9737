#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>

#include "compression/IsoCoder.h"
#include "compression/IsoVolumeFiles.h"
#include "tests/support/TestFolder.h"
#include "tests/support/TestVolumes.h"

namespace {

std::string Hex(const std::vector<uint8_t>& bytes) {
  std::string out;
  char two[3];
  for (uint8_t b : bytes) {
    std::snprintf(two, sizeof two, "%02x", b);
    out += two;
  }
  return out;
}

TEST(IsoVolumeFiles, BothKindsRoundTrip) {
  const auto folder = testsupport::FreshTestFolder("iso_");
  const CIsoVolume volume = testvolumes::MakeVolume(testvolumes::TorusField(), 4, -2.5, 0.125);
  for (CIsoVolumeKind kind : {CIsoVolumeKind::Potentials, CIsoVolumeKind::Signs}) {
    const std::string path =
        (folder / (kind == CIsoVolumeKind::Signs ? "t.bbm" : "t.iso")).string();
    std::string error;
    ASSERT_EQ(IsoWriteVolumeFile(path, kind, volume, error), 1) << error;
    CIsoVolume back;
    ASSERT_EQ(IsoReadVolumeFile(path, kind, back, error), 1) << error;
    EXPECT_EQ(back.m_N, volume.m_N);
    EXPECT_EQ(back.m_Depth, 4);
    EXPECT_EQ(back.m_Origin[1], -2.5);
    EXPECT_EQ(back.m_Unit[2], 0.125);
    EXPECT_EQ(back.m_Signs.Bytes(), volume.m_Signs.Bytes());
    if (kind == CIsoVolumeKind::Potentials) {
      EXPECT_EQ(back.m_Potential, volume.m_Potential);
    }
  }
}

TEST(IsoVolumeFiles, MalformedFilesAreRefused) {
  const std::string bits3(4, '\0'); // 27 bits
  struct Case {
    const char* what;
    std::string text;
    CIsoVolumeKind kind;
  };
  const Case cases[] = {
      {"empty", "", CIsoVolumeKind::Signs},
      {"words", "three 0 0 0 1 1 1 0\n" + bits3, CIsoVolumeKind::Signs},
      {"size not 2^D+1", "4 0 0 0 1 1 1 0\n" + std::string(8, '\0'), CIsoVolumeKind::Signs},
      {"size too large", "1025 0 0 0 1 1 1 0\n", CIsoVolumeKind::Signs},
      {"huge size", "99999999999999 0 0 0 1 1 1 0\n", CIsoVolumeKind::Potentials},
      {"negative size", "-3 0 0 0 1 1 1 0\n", CIsoVolumeKind::Signs},
      {"zero unit", "3 0 0 0 0 1 1 0\n" + bits3, CIsoVolumeKind::Signs},
      {"nan origin", "3 nan 0 0 1 1 1 0\n" + bits3, CIsoVolumeKind::Signs},
      {"missing field", "3 0 0 0 1 1 1\n" + bits3, CIsoVolumeKind::Signs},
      {"short bitmap", "3 0 0 0 1 1 1 0\n" + bits3.substr(1), CIsoVolumeKind::Signs},
      {"long bitmap", "3 0 0 0 1 1 1 0\n" + bits3 + "x", CIsoVolumeKind::Signs},
      {"short potentials", "3 0 0 0 1 1 1 0\n" + std::string(27 * 4 - 1, '\0'),
       CIsoVolumeKind::Potentials},
      {"no line end", std::string(600, '3'), CIsoVolumeKind::Signs},
  };
  for (const Case& c : cases) {
    std::istringstream in(c.text);
    CIsoVolume volume;
    volume.m_N = 7; // what the document had stays
    std::string error;
    EXPECT_EQ(IsoReadVolume(in, c.kind, volume, error), 0) << c.what;
    EXPECT_FALSE(error.empty()) << c.what;
    EXPECT_EQ(volume.m_N, 7) << c.what;
  }
  // a first line alone, even without its line end, is refused before the
  // volume it announces is allocated
  for (const char* line : {"513 0 0 0 1 1 1 0", "513 0 0 0 1 1 1 0\n"}) {
    std::istringstream in(line);
    CIsoVolume volume;
    std::string error;
    EXPECT_EQ(IsoReadVolume(in, CIsoVolumeKind::Potentials, volume, error), 0) << line;
    EXPECT_NE(error.find("bytes of data after its first line"), std::string::npos) << error;
  }
}

// The four files of a small sphere, byte for byte: a change to the coder's
// order, contexts or models shows here.
TEST(IsoCoderFiles, SmallSphereBytesArePinned) {
  const auto folder = testsupport::FreshTestFolder("iso_");
  const CIsoVolume volume = testvolumes::MakeVolume(testvolumes::SphereField(), 3);
  const std::string base = (folder / "ball").string();
  CIsoEncodeResult result;
  std::string error;
  ASSERT_EQ(IsoEncodeFiles(volume, CIsoEncodeOptions(), base, result, error), 1) << error;
  auto read = [](const std::string& path) {
    std::vector<uint8_t> bytes;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
      for (int c; (c = std::fgetc(f)) != EOF;) bytes.push_back(uint8_t(c));
      std::fclose(f);
    }
    return bytes;
  };
  const std::vector<uint8_t> header = read(base + "_header.txt");
  EXPECT_EQ(std::string(header.begin(), header.end()),
            "3 9 128 1 0.000000 0.000000 0.000000 1.000000 1.000000 1.000000\n"
            "8 8 18 0.322597 0.294616 1.394377 -0.161299 -0.147308 -0.630880\n");
  EXPECT_EQ(Hex(read(base + ".sign")), "7777540c9f35b8c6fe3cfec1a5332df55d38110ec901");
  EXPECT_EQ(Hex(read(base + ".leaf")), "5f");
  EXPECT_EQ(Hex(read(base + ".geo")),
            "0f0d9d08109c4d16e8e516207bed8e29c28f5c7eb136eaaee84596a64be85d1b"
            "1eac5a6710ee695c52a9ef51e77fb4be9a096f2ca0ed698dfb1ef1cb01840ac9"
            "1245d6b6955cb2cd745fd77cf19751710843f8839c3c30515d3ce0b12b98356f"
            "5a9beddec2ea0c8c45a1af7588ccc40bc74badab9e1ecc7365685566574ded55"
            "7f124a55754f130b4d9204e2a6f040d95f25c7bca6196002");
  // and they decode to the encoder's surface
  CIsoHeader h;
  CIsoSurface surface;
  ASSERT_EQ(IsoDecodeFiles(base, h, surface, error), 1) << error;
  EXPECT_EQ(surface.VertexCount(), result.m_Vertices);
  EXPECT_EQ(surface.QuadCount(), result.m_Faces);
}

TEST(IsoCoderFiles, MissingStreamFilesAreNamed) {
  const auto folder = testsupport::FreshTestFolder("iso_");
  const CIsoVolume volume = testvolumes::MakeVolume(testvolumes::SphereField(), 3);
  const std::string base = (folder / "ball").string();
  CIsoEncodeResult result;
  std::string error;
  ASSERT_EQ(IsoEncodeFiles(volume, CIsoEncodeOptions(), base, result, error), 1) << error;
  for (const char* suffix : {".geo", ".leaf", ".sign", "_header.txt"}) {
    std::remove((base + suffix).c_str());
    CIsoHeader h;
    CIsoSurface surface;
    EXPECT_EQ(IsoDecodeFiles(base, h, surface, error), 0) << suffix;
    EXPECT_NE(error.find(suffix), std::string::npos) << error;
  }
}

} // namespace
