#pragma once

// Reads the files of the view exports back for the tests: the chunk tree
// of a RIFF file (every chunk's code, list type, offset and size, checked
// against its parent) and the chunks of an AVI video, text counts, and EPS
// pictures drawn by Ghostscript.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "io/ReadPng.h"

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

// The parts of an AVI file a reader needs; false (error set) when the
// bytes are not one RIFF AVI chunk holding them all.
struct AviFile {
  std::string bytes;
  RiffChunk riff;
  const RiffChunk *avih = nullptr, *strh = nullptr, *strf = nullptr, *movi = nullptr,
                  *idx1 = nullptr;
};

inline bool ReadAvi(const std::string& bytes, AviFile& avi, std::string& error) {
  avi.bytes = bytes;
  std::vector<RiffChunk> top;
  if (!ParseRiff(avi.bytes, 0, avi.bytes.size(), top, error)) return false;
  if (top.size() != 1 || top[0].code != "RIFF" || top[0].type != "AVI ") {
    error = "not one RIFF AVI chunk";
    return false;
  }
  avi.riff = top[0];
  const RiffChunk* hdrl = avi.riff.Find("hdrl");
  const RiffChunk* strl = hdrl ? hdrl->Find("strl") : nullptr;
  avi.avih = hdrl ? hdrl->Find("avih") : nullptr;
  avi.strh = strl ? strl->Find("strh") : nullptr;
  avi.strf = strl ? strl->Find("strf") : nullptr;
  avi.movi = avi.riff.Find("movi");
  avi.idx1 = avi.riff.Find("idx1");
  if (!avi.avih || !avi.strh || !avi.strf || !avi.movi || !avi.idx1) error = "missing chunk";
  return error.empty();
}

inline size_t Occurrences(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) n++;
  return n;
}

inline bool HasGhostscript() {
  return std::system("gs --version >/dev/null 2>&1") == 0;
}

// Draws the EPS file at 72 dpi into png with Ghostscript and reads it back.
inline bool DrawEps(const std::string& eps, const std::string& png, CRgbImage& image,
                    std::string& error) {
  const std::string command = "gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=png16m -r72 -dEPSCrop "
                              "-sOutputFile=" +
                              png + " " + eps + " >/dev/null 2>&1";
  if (std::system(command.c_str()) != 0) {
    error = "Ghostscript failed on " + eps;
    return false;
  }
  return ReadPng(png, image, error) != 0;
}

} // namespace testsupport
