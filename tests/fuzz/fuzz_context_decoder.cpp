// Context decoder of orders 0 to 3 on arbitrary bytes. Byte 0 picks the
// order (bits 0-1) and the mode (bit 7); bytes 1-2 the alphabet size.
// Decoding mode: the rest is a range-coded stream; decoding must end (end
// symbol, error or the symbol bound) without reading out of bounds.
// Round-trip mode: the rest are symbols; encoding then decoding them must
// give them back.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "compression/ContextCoder.h"

namespace {

// Largest alphabet tried per order, so that n^k stays small.
constexpr int kMaxAlphabet[4] = {300, 64, 20, 10};
constexpr uint64_t kSymbolLimit = 1024;

void DecodeStream(const uint8_t* data, size_t size, int n, int order) {
  CMemoryByteSource source(data, size);
  BitInputStream in(&source, 0);
  in.Load();
  ContextDecoder decoder;
  decoder.Init(n);
  decoder.SetSymbolLimit(kSymbolLimit);
  if (!decoder.Start(in, order)) return;
  int symbol;
  while (decoder.Decode(symbol, in)) {
    if (symbol < 0 || symbol >= n) __builtin_trap();
  }
  decoder.Finish(in);
}

void RoundTrip(const uint8_t* data, size_t size, int n, int order) {
  std::vector<int> symbols(data, data + size);
  for (int& s : symbols) s %= n;
  CMemoryByteSink sink;
  BitOutputStream out(&sink, 0);
  ContextEncoder encoder;
  encoder.Init(n);
  if (!encoder.Start(order)) __builtin_trap();
  for (int s : symbols) encoder.Encode(s, out);
  if (!encoder.Finish(out)) __builtin_trap();
  out.Close();

  CMemoryByteSource source(sink.Bytes());
  BitInputStream in(&source, 0);
  in.Load();
  ContextDecoder decoder;
  decoder.Init(n);
  if (!decoder.Start(in, order)) __builtin_trap();
  size_t i = 0;
  int symbol;
  while (decoder.Decode(symbol, in)) {
    if (i >= symbols.size() || symbol != symbols[i]) __builtin_trap();
    ++i;
  }
  if (i != symbols.size() || !decoder.Finish(in)) __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  int order = data[0] & 3;
  int n = 1 + (data[1] | (data[2] << 8)) % kMaxAlphabet[order];
  if (data[0] & 0x80)
    RoundTrip(data + 3, size - 3, n, order);
  else
    DecodeStream(data + 3, size - 3, n, order);
  return 0;
}
