#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "compression/IsoSurfaceFiles.h"

namespace {

// Little-endian words as a file's bytes.
std::string Words(const std::vector<uint32_t>& words) {
  std::string bytes;
  for (uint32_t w : words)
    for (int k = 0; k < 4; ++k) bytes.push_back(char(w >> (8 * k)));
  return bytes;
}

// Every damaged vertex or quad file is refused with a message saying why.
TEST(IsoSurfaceFiles, ReadersRefuseDamage) {
  const std::string quad = Words({0, 1, 2, 3});
  struct Case {
    bool vertices; // the vertex reader, else the quad reader over 4 vertices
    std::string bytes;
    const char* message;
  };
  const Case cases[] = {
      {true, std::string(13, '\0'), "not a multiple of 12"},
      {true, Words({0, 0, 0x7fc00000u}), "Vertex 0 has a coordinate that is not a number"},
      {true, Words({0, 0, 0, 0x7f800000u, 0, 0}), "Vertex 1 has"},
      {false, "", "ends before its count"},
      {false, "\x01\x00", "ends before its count"},
      {false, Words({0xFFFFFFFFu}), "is negative"},
      {false, Words({2}) + quad, "exactly 32 bytes of 2 quads"},
      {false, Words({1}) + quad + "x", "exactly 16 bytes of 1 quads"},
      {false, Words({1, 0, 1, 2, 4}), "names vertex 4, not one of the 4 vertices"},
      {false, Words({1, 0, 1, 0xFFFFFFFEu, 3}), "names vertex -2"},
      {false, Words({1, 0, 1, 2, 1}), "repeats vertex 1"},
  };
  for (const Case& c : cases) {
    std::istringstream in(c.bytes);
    std::string error;
    std::vector<double> xyz;
    std::vector<int> quads;
    const int ok = c.vertices ? IsoReadVertices(in, xyz, error) : IsoReadQuads(in, 4, quads, error);
    EXPECT_EQ(ok, 0) << c.message;
    EXPECT_NE(error.find(c.message), std::string::npos) << error;
  }
}

} // namespace
