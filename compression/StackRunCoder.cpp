#include "compression/StackRunCoder.h"

#include <cstdlib>

#include "compression/BitStream.h"
#include "compression/ByteStream.h"
#include "compression/ContextCoder.h"
#include "compression/ValenceFiles.h"

namespace orvex {

namespace {

constexpr int kFollowed = 2; // run closed, a value follows / positive value
constexpr int kLast = 3;     // last run / negative value

// Digits of m >= 1 below its leading 1, least significant first.
void PushDigits(unsigned long long m, std::vector<int>& symbols) {
  for (; m > 1; m >>= 1) symbols.push_back(static_cast<int>(m & 1));
}

int CodeStream(const std::vector<int>& symbols, BitOutputStream& out, std::string& error) {
  ContextEncoder encoder;
  int ok = encoder.Init(4) && encoder.Start(0);
  for (size_t i = 0; ok && i < symbols.size(); ++i) ok = encoder.Encode(symbols[i], out);
  ok = encoder.Finish(out) && ok;
  if (!ok) error = encoder.Error();
  return ok;
}

int DecodeStream(BitInputStream& in, std::vector<int>& symbols, size_t limit) {
  ContextDecoder decoder;
  decoder.Init(4);
  decoder.SetSymbolLimit(limit);
  if (!decoder.Start(in, 0)) return 0;
  int s;
  while (decoder.Decode(s, in)) symbols.push_back(s);
  decoder.Finish(in);
  return decoder.Failed() ? 0 : 1;
}

} // namespace

CStackRunResult EncodeStackRun(const int* values, int count, int offset) {
  CStackRunResult result;
  // split into runs of zeros and the values between them
  std::vector<int> runs, digits;
  long long run = 0;
  for (int i = 0; i < count; ++i) {
    long long x = static_cast<long long>(values[i]) + offset;
    if (x == 0) {
      ++run;
      continue;
    }
    PushDigits(static_cast<unsigned long long>(run + 1), runs);
    runs.push_back(kFollowed);
    run = 0;
    PushDigits(static_cast<unsigned long long>(std::llabs(x)), digits);
    digits.push_back(x > 0 ? kFollowed : kLast);
  }
  PushDigits(static_cast<unsigned long long>(run + 1), runs);
  runs.push_back(kLast);

  // the two streams, one after the other
  CMemoryByteSink sink;
  BitOutputStream out(&sink, 0);
  result.m_Ok = CodeStream(runs, out, result.m_Error) && CodeStream(digits, out, result.m_Error);
  if (!out.Close() && result.m_Ok) {
    result.m_Ok = 0;
    result.m_Error = out.Error();
  }
  result.m_Bits = out.BitCount();
  result.m_Bytes = sink.Bytes();
  return result;
}

long long EncodeStackRun(const int* values, int count, int offset, const std::string& fileName) {
  CStackRunResult result = EncodeStackRun(values, count, offset);
  if (!result.m_Ok) return -1;
  if (!fileName.empty()) WriteBytesReplacing(fileName, result.m_Bytes);
  return result.m_Bits;
}

int DecodeStackRun(const std::vector<uint8_t>& bytes, int offset, std::vector<int>& values) {
  values.clear();
  CMemoryByteSource source(bytes);
  BitInputStream in(&source, 0);
  in.Load();
  // a bound on what a corrupt stream can make us build
  const size_t limit = size_t(1) << 26;
  std::vector<int> runs, digits;
  if (!DecodeStream(in, runs, limit) || !DecodeStream(in, digits, limit)) return 0;

  size_t next = 0;
  auto readNumber = [&](const std::vector<int>& symbols, unsigned long long& m, int& closer) {
    // digits are least significant first below an implicit leading 1
    unsigned long long low = 0;
    int shift = 0;
    while (next < symbols.size() && symbols[next] < 2) {
      if (shift >= 40) return false;
      low |= static_cast<unsigned long long>(symbols[next++]) << shift++;
    }
    if (next >= symbols.size()) return false;
    closer = symbols[next++];
    m = (1ULL << shift) | low;
    return true;
  };
  std::vector<long long> runLengths;
  std::vector<int> closers;
  for (;;) {
    unsigned long long m;
    int closer;
    if (!readNumber(runs, m, closer)) return 0;
    runLengths.push_back(static_cast<long long>(m - 1));
    closers.push_back(closer);
    if (closer == kLast) break;
  }
  if (next != runs.size()) return 0;
  next = 0;
  for (size_t r = 0; r < runLengths.size(); ++r) {
    if (static_cast<long long>(values.size()) + runLengths[r] > static_cast<long long>(limit))
      return 0;
    values.insert(values.end(), static_cast<size_t>(runLengths[r]), -offset);
    if (closers[r] == kLast) break;
    unsigned long long m;
    int sign;
    if (!readNumber(digits, m, sign)) return 0;
    long long x = sign == kFollowed ? static_cast<long long>(m) : -static_cast<long long>(m);
    values.push_back(static_cast<int>(x - offset));
  }
  return next == digits.size() ? 1 : 0;
}

} // namespace orvex
