#pragma once

// Reads the chunk tree of a RIFF file (AVI) back for the tests: every
// chunk's code, list type, offset and size, checked against its parent.

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

struct RiffChunk {
  std::string code;  // "RIFF", "LIST" or a chunk code
  std::string type;  // list type of RIFF and LIST chunks
  size_t offset = 0; // of the chunk's data
  uint32_t size = 0;
  std::vector<RiffChunk> children;

  const RiffChunk* Find(const std::string& name) const {
    for (const RiffChunk& c : children)
      if (c.code == name || c.type == name) return &c;
    return nullptr;
  }
};

inline uint32_t Le32(const std::string& bytes, size_t at) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data()) + at;
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

inline uint16_t Le16(const std::string& bytes, size_t at) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data()) + at;
  return uint16_t(p[0] | p[1] << 8);
}

// Parses the chunks in [begin, end); false (error set) when a chunk runs
// past its parent.
inline bool ParseRiff(const std::string& bytes, size_t begin, size_t end,
                      std::vector<RiffChunk>& out, std::string& error) {
  size_t at = begin;
  while (at < end) {
    if (end - at < 8) {
      error = "truncated chunk header at " + std::to_string(at);
      return false;
    }
    RiffChunk chunk;
    chunk.code = bytes.substr(at, 4);
    chunk.size = Le32(bytes, at + 4);
    chunk.offset = at + 8;
    if (chunk.size > end - chunk.offset) {
      error = "chunk " + chunk.code + " at " + std::to_string(at) + " runs past its parent";
      return false;
    }
    if (chunk.code == "RIFF" || chunk.code == "LIST") {
      chunk.type = bytes.substr(chunk.offset, 4);
      if (!ParseRiff(bytes, chunk.offset + 4, chunk.offset + chunk.size, chunk.children, error))
        return false;
    }
    at = chunk.offset + chunk.size + (chunk.size & 1);
    out.push_back(chunk);
  }
  return true;
}

} // namespace testsupport
