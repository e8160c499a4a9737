#include "compression/StructureFile.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "compression/BitStream.h"
#include "compression/ByteStream.h"
#include "compression/ContextCoder.h"
#include "compression/StructureCodeCheck.h"

namespace orvex {

namespace {

constexpr int kLargestDegreeCode = 255;
constexpr int kLargestDummyDegree = 65535;
constexpr int kLargestOffset = 65536;

int Refuse(std::string& error, const char* format, long long value = 0) {
  char text[160];
  std::snprintf(text, sizeof text, format, value);
  error = text;
  return 0;
}

// One order-0 stream of symbols 0..alphabet-1, finished.
int EncodeStream(const std::vector<int>& symbols, int alphabet, int shift, BitOutputStream& out,
                 std::string& error) {
  ContextEncoder encoder;
  int ok = encoder.Init(alphabet) && encoder.Start(0);
  for (size_t i = 0; ok && i < symbols.size(); ++i) ok = encoder.Encode(symbols[i] - shift, out);
  ok = encoder.Finish(out) && ok;
  if (!ok) error = encoder.Error();
  return ok;
}

// Most symbols of an alphabet that `bits` of range-coded data can hold:
// every model keeps a frequency of at least 1 for each of its symbols and
// the end symbol, so a symbol costs at least -log2(1 - alphabet / total)
// bits, and the range coder never spends less than that. The slack covers
// the bytes the decoder holds ahead.
uint64_t SymbolBound(uint64_t bits, int alphabet) {
  const double cheapest = -std::log2(1.0 - double(alphabet) / (1 << kContextLgTotal));
  return static_cast<uint64_t>((bits + 64) / cheapest) + 1;
}

// Symbols up to the end symbol; at most `limit` of them, each accepted by
// `check` when one is given.
int DecodeStream(int alphabet, int shift, uint64_t limit, BitInputStream& in,
                 std::vector<int>& symbols, CStructureCodeCheck* check, std::string& error) {
  ContextDecoder decoder;
  decoder.SetSymbolLimit(limit);
  if (!decoder.Init(alphabet) || !decoder.Start(in, 0)) {
    error = decoder.Failed() ? decoder.Error() : "The file ends inside a coded stream";
    return 0;
  }
  int symbol;
  while (decoder.Decode(symbol, in)) {
    symbols.push_back(symbol + shift);
    if (check && !check->Accept(symbol + shift)) {
      error = "The file's codes do not describe a mesh: it is corrupt";
      return 0;
    }
  }
  if (decoder.Failed() || !decoder.Finish(in) || in.Overrun()) {
    error = decoder.Failed() ? decoder.Error() : "The file ends inside a coded stream";
    return 0;
  }
  return 1;
}

} // namespace

int WriteStructureFile(const CStructureStreams& streams, std::vector<uint8_t>& bytes,
                       long long& bits, std::string& error) {
  int largestDegree = 0, largestOffset = 0;
  for (int d : streams.m_Degrees) largestDegree = std::max(largestDegree, d);
  for (int o : streams.m_Offsets) largestOffset = std::max(largestOffset, o);
  // values the layout cannot hold are refused rather than truncated
  if (largestDegree > kLargestDegreeCode)
    return Refuse(error, "A vertex degree of %lld does not fit the file's 8-bit header",
                  largestDegree);
  if (streams.m_DummyDegree > kLargestDummyDegree)
    return Refuse(error, "The dummy vertex's degree %lld does not fit the file's 16 bits",
                  streams.m_DummyDegree);
  if (largestOffset > kLargestOffset || largestOffset > kContextMaxAlphabet)
    return Refuse(error, "A split offset of %lld is beyond what the file can code", largestOffset);

  CMemoryByteSink sink;
  BitOutputStream out(&sink, 0);
  out.WriteBits(streams.m_NbVertex, 32);
  const bool dummy = streams.m_DummyDegree >= 3;
  out.WriteBit(dummy ? 1 : 0);
  if (dummy) out.WriteBits(static_cast<uint32_t>(streams.m_DummyDegree), 16);
  out.WriteBits(static_cast<uint32_t>(largestDegree), 8);
  if (!EncodeStream(streams.m_Degrees, largestDegree + 1, 0, out, error)) return 0;
  const bool offsets = !streams.m_Offsets.empty();
  out.WriteBit(offsets ? 1 : 0);
  if (offsets) {
    out.WriteBits(static_cast<uint32_t>(largestOffset - 1), 16);
    if (!EncodeStream(streams.m_Offsets, largestOffset, 1, out, error)) return 0;
    for (int sign : streams.m_Signs) out.WriteBit(sign ? 1 : 0);
  }
  out.Close();
  if (out.Failed()) {
    error = out.Error();
    return 0;
  }
  bits = out.BitCount();
  bytes = sink.Bytes();
  return 1;
}

int ReadStructureFile(const uint8_t* data, size_t size, CStructureStreams& streams,
                      std::string& error, bool conquestCodes) {
  streams = CStructureStreams();
  CMemoryByteSource source(data, size);
  BitInputStream in(&source, 0);
  in.SetConsole(nullptr);
  if (!in.Load()) return Refuse(error, "The file is empty");
  const uint64_t bitsInFile = static_cast<uint64_t>(size) * 8;
  uint32_t value = 0;
  if (in.BReadBits(value, 32) < 32) return Refuse(error, "The file ends inside its header");
  streams.m_NbVertex = value;
  if (in.BReadBits(value, 1) < 1) return Refuse(error, "The file ends inside its header");
  if (value) {
    if (in.BReadBits(value, 16) < 16) return Refuse(error, "The file ends inside its header");
    streams.m_DummyDegree = static_cast<int>(value);
  }
  if (in.BReadBits(value, 8) < 8) return Refuse(error, "The file ends inside its header");
  // every coded symbol takes some of the bits left; the bound keeps a
  // corrupt stream from running on
  const int degreeAlphabet = static_cast<int>(value) + 1;
  CStructureCodeCheck check(streams.m_NbVertex, streams.m_DummyDegree, static_cast<int>(value));
  if (!DecodeStream(degreeAlphabet, 0, SymbolBound(bitsInFile, degreeAlphabet), in,
                    streams.m_Degrees, conquestCodes ? &check : nullptr, error))
    return 0;
  if (in.BReadBits(value, 1) < 1) return Refuse(error, "The file ends before its offsets");
  // a conquest's stream takes one offset per split code
  if (conquestCodes && (value != 0) != (check.Splits() > 0))
    return Refuse(error, "The file's offsets do not match its split codes");
  if (value) {
    if (in.BReadBits(value, 16) < 16) return Refuse(error, "The file ends before its offsets");
    const int alphabet = static_cast<int>(value) + 1;
    if (alphabet > kContextMaxAlphabet)
      return Refuse(error, "The file's largest offset %lld is beyond what it can code", alphabet);
    uint64_t limit = SymbolBound(bitsInFile, alphabet);
    if (conquestCodes) limit = std::min<uint64_t>(limit, check.Splits());
    if (!DecodeStream(alphabet, 1, limit, in, streams.m_Offsets, nullptr, error)) return 0;
    if (streams.m_Offsets.empty()) return Refuse(error, "The file's offset stream is empty");
    if (conquestCodes && static_cast<int64_t>(streams.m_Offsets.size()) != check.Splits())
      return Refuse(error, "The file's offsets do not match its split codes");
    streams.m_Signs.resize(streams.m_Offsets.size());
    for (int& sign : streams.m_Signs) {
      if (in.BReadBits(value, 1) < 1) return Refuse(error, "The file ends inside its signs");
      sign = static_cast<int>(value);
    }
  }
  return 1;
}

} // namespace orvex
