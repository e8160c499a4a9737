#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orvex {

// Stack-run coding of an integer sequence. `offset` is added to every value
// (-6 turns valence 6 into 0); the sequence is then cut into runs of zeros
// and the non-zero values between them, written as digits of a four-symbol
// alphabet into two streams:
// - runs: r + 1 in binary without its leading 1, least significant digit
//   first (symbols 0 and 1), closed by 2 when a value follows and by 3 after
//   the last run;
// - values: |x| in binary without its leading 1, least significant digit
//   first, closed by the sign (2 for positive, 3 for negative).
// Each stream is coded by an order-0 context coder of alphabet 4, one after
// the other into one bit stream.

struct CStackRunResult {
  std::vector<uint8_t> m_Bytes;
  long long m_Bits = 0; // bit count of the stream, padding included
  int m_Ok = 0;
  std::string m_Error;
};

CStackRunResult EncodeStackRun(const int* values, int count, int offset);

// Writes the coded sequence to `fileName` (nothing when empty; a file that
// cannot be opened is skipped) and returns the bit count, -1 when the coder
// failed.
long long EncodeStackRun(const int* values, int count, int offset, const std::string& fileName);

// Reads a stack-run stream back; 0 on a corrupt or truncated stream.
int DecodeStackRun(const std::vector<uint8_t>& bytes, int offset, std::vector<int>& values);

} // namespace orvex
