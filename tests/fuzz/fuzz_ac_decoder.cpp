// `ac` decoder on arbitrary bytes. Byte 0: symbol count n - 1; byte 1: bit 0
// adapt, bit 1 round-trip mode, bit 2 initial counts from the next n bytes;
// bytes 2-3: number of symbols to decode. Decoding must stop cleanly on bad
// input; a round trip must give the symbols back.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "compression/ArithmeticCoder.h"

namespace {

struct Setup {
  int n;
  int adapt;
  std::vector<int> counts;
  const int* Counts() const { return counts.empty() ? nullptr : counts.data(); }
};

void DecodeStream(const Setup& setup, int symbolCount, const uint8_t* data, size_t size) {
  AcModel model;
  if (!model.Init(setup.n, setup.Counts(), setup.adapt)) return;
  CMemoryByteSource source(data, size);
  AcDecoder decoder;
  if (!decoder.Init(&source)) return;
  for (int i = 0; i < symbolCount; ++i) {
    int symbol = decoder.DecodeSymbol(model);
    if (symbol < 0) break;
    if (symbol >= setup.n) __builtin_trap();
  }
  decoder.Done();
}

void RoundTrip(const Setup& setup, const uint8_t* data, size_t size) {
  AcModel model;
  if (!model.Init(setup.n, setup.Counts(), setup.adapt)) return;
  CMemoryByteSink sink;
  AcEncoder encoder;
  encoder.Init(&sink);
  std::vector<int> coded;
  for (size_t i = 0; i < size; ++i) {
    int s = data[i] % setup.n;
    if (model.Freq()[s] == 0) continue; // refused by the encoder
    if (!encoder.EncodeSymbol(model, s)) __builtin_trap();
    coded.push_back(s);
  }
  encoder.Done();

  AcModel decodeModel;
  decodeModel.Init(setup.n, setup.Counts(), setup.adapt);
  CMemoryByteSource source(sink.Bytes());
  AcDecoder decoder;
  decoder.Init(&source);
  for (int s : coded) {
    if (decoder.DecodeSymbol(decodeModel) != s) __builtin_trap();
  }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  Setup setup;
  setup.n = 1 + data[0];
  setup.adapt = data[1] & 1;
  int symbolCount = (data[2] | (data[3] << 8)) % 8192;
  size_t offset = 4;
  if (data[1] & 4) {
    if (size < offset + setup.n) return 0;
    setup.counts.assign(data + offset, data + offset + setup.n);
    for (int& c : setup.counts) c *= 16; // totals up to 256 * 255 * 16 test the cap
    offset += setup.n;
  }
  if (data[1] & 2)
    RoundTrip(setup, data + offset, size - offset);
  else
    DecodeStream(setup, symbolCount, data + offset, size - offset);
  return 0;
}
