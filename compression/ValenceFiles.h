#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orvex {

// The folder part of a path ("" or ending with a separator) followed by name.
std::string PathBeside(const std::string& path, const std::string& name);
// Writes the bytes through a temporary file renamed over the target. A file
// that cannot be opened is skipped: returns 0 and leaves any existing file.
int WriteBytesReplacing(const std::string& path, const std::vector<uint8_t>& bytes);
// The code stream as text, one "%d\n" line per code.
std::vector<uint8_t> CodesAsText(const std::vector<int>& codes);
// The code stream one byte per code: each code's low 8 bits.
std::vector<uint8_t> CodesAsBytes(const std::vector<int>& codes);

// Packed connectivity: the largest code m in 8 bits, least significant
// first, then the codes with an order-0 context coder of alphabet m + 1.
// Refuses (0 with a message) a largest code the 8-bit header cannot hold.
int PackValenceCodes(const std::vector<int>& codes, std::vector<uint8_t>& bytes, long long& bits,
                     std::string& error);

} // namespace orvex
