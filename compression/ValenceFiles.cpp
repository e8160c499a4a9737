#include "compression/ValenceFiles.h"

#include <algorithm>
#include <cstdio>

#include "compression/BitStream.h"
#include "compression/ByteStream.h"
#include "compression/ContextCoder.h"
#include "io/ReplaceFile.h"

namespace orvex {

std::string PathBeside(const std::string& path, const std::string& name) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return name;
  return path.substr(0, slash + 1) + name;
}

int WriteBytesReplacing(const std::string& path, const std::vector<uint8_t>& bytes) {
  CReplaceFile file;
  return file.Open(path) && file.Write(bytes.data(), bytes.size()) && file.Commit();
}

std::vector<uint8_t> CodesAsText(const std::vector<int>& codes) {
  std::vector<uint8_t> text;
  text.reserve(codes.size() * 3);
  char line[16];
  for (int code : codes) {
    int n = std::snprintf(line, sizeof line, "%d\n", code);
    text.insert(text.end(), line, line + n);
  }
  return text;
}

std::vector<uint8_t> CodesAsBytes(const std::vector<int>& codes) {
  std::vector<uint8_t> bytes(codes.size());
  for (size_t i = 0; i < codes.size(); ++i) bytes[i] = static_cast<uint8_t>(codes[i] & 0xFF);
  return bytes;
}

int PackValenceCodes(const std::vector<int>& codes, std::vector<uint8_t>& bytes, long long& bits,
                     std::string& error) {
  int largest = 0;
  for (int code : codes) largest = std::max(largest, code);
  // the header holds the largest code in 8 bits: refuse rather than truncate
  if (largest > 255) {
    char text[96];
    std::snprintf(text, sizeof text, "Largest code %d does not fit the packed file's 8-bit header",
                  largest);
    error = text;
    return 0;
  }
  CMemoryByteSink sink;
  BitOutputStream out(&sink, 0);
  out.WriteBits(static_cast<uint32_t>(largest), 8);
  ContextEncoder encoder;
  int ok = encoder.Init(largest + 1) && encoder.Start(0);
  for (size_t i = 0; ok && i < codes.size(); ++i) ok = encoder.Encode(codes[i], out);
  ok = encoder.Finish(out) && ok;
  out.Close();
  if (!ok || out.Failed()) {
    error = encoder.Failed() ? encoder.Error() : out.Error();
    return 0;
  }
  bits = out.BitCount();
  bytes = sink.Bytes();
  return 1;
}

} // namespace orvex
