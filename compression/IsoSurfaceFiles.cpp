#include "compression/IsoSurfaceFiles.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <new>

namespace {

constexpr int64_t kMaxIndexCount = INT_MAX;
// Items read per block while the data size is not known in advance.
constexpr size_t kBlockItems = size_t(1) << 12;

int Fail(std::string& error, const std::string& message) {
  error = message;
  return 0;
}

uint32_t FromLittleEndian(const uint8_t* b) {
  return uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
}

void ToLittleEndian(uint32_t u, uint8_t* b) {
  for (int k = 0; k < 4; ++k) b[k] = uint8_t(u >> (8 * k));
}

// Bytes left in a stream that can tell its length, or -1.
int64_t BytesLeft(std::istream& in) {
  const std::streampos here = in.tellg();
  if (here == std::streampos(-1)) return -1;
  in.seekg(0, std::ios::end);
  const std::streampos end = in.tellg();
  in.seekg(here);
  return end == std::streampos(-1) ? -1 : int64_t(end - here);
}

// Reads 32-bit words until the end of the stream, at most `limit` of them
// (plus one, to tell that the limit was passed). Returns the number of
// bytes of a last partial word in `tail`.
std::vector<uint32_t> ReadWords(std::istream& in, int64_t limit, int& tail) {
  std::vector<uint32_t> words;
  std::vector<uint8_t> block(4 * kBlockItems);
  tail = 0;
  while (int64_t(words.size()) <= limit) {
    in.read(reinterpret_cast<char*>(block.data()), std::streamsize(block.size()));
    const size_t got = static_cast<size_t>(in.gcount());
    for (size_t i = 0; i + 4 <= got; i += 4) words.push_back(FromLittleEndian(&block[i]));
    tail = static_cast<int>(got % 4);
    if (got < block.size()) break;
  }
  return words;
}

bool WriteWords(std::FILE* f, const std::vector<uint32_t>& words) {
  std::vector<uint8_t> bytes(4 * words.size());
  for (size_t i = 0; i < words.size(); ++i) ToLittleEndian(words[i], &bytes[4 * i]);
  return std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
}

int WriteFile(const std::string& path, const std::vector<uint32_t>& words, std::string& error) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return Fail(error, "Cannot write " + path);
  bool ok = WriteWords(f, words);
  if (std::fclose(f) != 0) ok = false;
  return ok ? 1 : Fail(error, "Error during writing " + path);
}

uint32_t FloatWord(double v) {
  const float f = static_cast<float>(v);
  uint32_t u;
  std::memcpy(&u, &f, 4);
  return u;
}

} // namespace

int IsoReadVertices(std::istream& in, std::vector<double>& xyz, std::string& error) {
  // whole float triples, as many as an int index can name
  const int64_t left = BytesLeft(in);
  if (left >= 0 && left % 12 != 0)
    return Fail(error, "The vertex file's size is not a multiple of 12 bytes (3 float32)");
  if (left > 12 * kMaxIndexCount) return Fail(error, "The vertex file holds too many vertices");
  int tail;
  const std::vector<uint32_t> words = ReadWords(in, 3 * kMaxIndexCount, tail);
  if (tail != 0 || words.size() % 3 != 0)
    return Fail(error, "The vertex file's size is not a multiple of 12 bytes (3 float32)");
  if (int64_t(words.size()) > 3 * kMaxIndexCount)
    return Fail(error, "The vertex file holds too many vertices");
  std::vector<double> fresh(words.size());
  for (size_t i = 0; i < words.size(); ++i) {
    float f;
    std::memcpy(&f, &words[i], 4);
    if (!std::isfinite(f))
      return Fail(error,
                  "Vertex " + std::to_string(i / 3) + " has a coordinate that is not a number");
    fresh[i] = f;
  }
  xyz = std::move(fresh);
  return 1;
}

int IsoReadQuads(std::istream& in, int64_t vertexCount, std::vector<int>& quads,
                 std::string& error) {
  // the count, checked against the data before any memory is taken
  uint8_t head[4];
  in.read(reinterpret_cast<char*>(head), 4);
  if (in.gcount() != 4) return Fail(error, "The quad file ends before its count");
  const int32_t count = static_cast<int32_t>(FromLittleEndian(head));
  if (count < 0) return Fail(error, "The quad count " + std::to_string(count) + " is negative");
  const std::string expected = std::to_string(16 * int64_t(count)) + " bytes of " +
                               std::to_string(count) + " quads after the count";
  const int64_t left = BytesLeft(in);
  if (left >= 0 && left != 16 * int64_t(count))
    return Fail(error, "The quad file does not hold exactly " + expected);
  int tail;
  const std::vector<uint32_t> words = ReadWords(in, 4 * int64_t(count), tail);
  if (tail != 0 || int64_t(words.size()) != 4 * int64_t(count))
    return Fail(error, "The quad file does not hold exactly " + expected);

  // every corner a vertex, none repeated within its quad
  std::vector<int> fresh(words.size());
  for (size_t q = 0; q < size_t(count); ++q) {
    for (int k = 0; k < 4; ++k) {
      const int32_t index = static_cast<int32_t>(words[4 * q + k]);
      if (index < 0 || index >= vertexCount)
        return Fail(error, "Quad " + std::to_string(q) + " names vertex " + std::to_string(index) +
                               ", not one of the " + std::to_string(vertexCount) + " vertices");
      for (int j = 0; j < k; ++j)
        if (fresh[4 * q + j] == index)
          return Fail(error,
                      "Quad " + std::to_string(q) + " repeats vertex " + std::to_string(index));
      fresh[4 * q + k] = index;
    }
  }
  quads = std::move(fresh);
  return 1;
}

int IsoWriteSurfaceFiles(const std::string& base, const CIsoSurface& surface, std::string& error) {
  std::vector<uint32_t> vertices(surface.m_Xyz.size());
  for (size_t i = 0; i < vertices.size(); ++i) vertices[i] = FloatWord(surface.m_Xyz[i]);
  std::vector<uint32_t> quads;
  quads.reserve(surface.m_Quads.size() + 1);
  quads.push_back(static_cast<uint32_t>(surface.QuadCount()));
  for (int index : surface.m_Quads) quads.push_back(static_cast<uint32_t>(index));
  return WriteFile(base + ".vtx", vertices, error) && WriteFile(base + ".con", quads, error);
}

int IsoReadSurfaceFiles(const std::string& base, std::vector<double>& xyz, std::vector<int>& quads,
                        std::string& error) {
  std::vector<double> positions;
  for (const char* ending : {".vtx", ".con"}) {
    const std::string path = base + ending;
    std::ifstream in(path, std::ios::binary);
    if (!in) return Fail(error, "Cannot open " + path);
    try {
      const int ok = ending[1] == 'v'
                         ? IsoReadVertices(in, positions, error)
                         : IsoReadQuads(in, int64_t(positions.size() / 3), quads, error);
      if (!ok) return Fail(error, path + ": " + error);
    } catch (const std::bad_alloc&) {
      return Fail(error, "Not enough memory for " + path);
    }
  }
  xyz = std::move(positions);
  return 1;
}
