#include "compression/ValenceFiles.h"

#include <algorithm>
#include <cstdio>

#include "compression/BitStream.h"
#include "compression/ByteStream.h"
#include "compression/ContextCoder.h"

namespace orvex {

std::string PathBeside(const std::string& path, const std::string& name) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return name;
  return path.substr(0, slash + 1) + name;
}

int WriteBytesReplacing(const std::string& path, const std::vector<uint8_t>& bytes) {
  if (path.empty()) return 0;
  const std::string temporary = path + ".tmp";
  std::FILE* file = std::fopen(temporary.c_str(), "wb");
  if (!file) return 0;
  bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  ok = std::fclose(file) == 0 && ok;
  if (!ok || std::rename(temporary.c_str(), path.c_str()) != 0) {
    std::remove(temporary.c_str());
    return 0;
  }
  return 1;
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
