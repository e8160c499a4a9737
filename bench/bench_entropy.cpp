// Speed and efficiency of the entropy coders on 10 million symbols from a
// skewed 16-symbol source (fixed seed): the context coder of order 0 and 2,
// and the `ac` coder with an adaptive model.

#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <vector>

#include "compression/ArithmeticCoder.h"
#include "compression/ContextCoder.h"

namespace {

constexpr int kAlphabet = 16;
constexpr size_t kSymbols = 10000000;

// Symbol i has probability proportional to 0.7^i.
const std::vector<int>& Source() {
  static const std::vector<int> symbols = [] {
    std::array<double, kAlphabet> cumulative;
    double sum = 0;
    for (int i = 0; i < kAlphabet; ++i) cumulative[i] = (sum += std::pow(0.7, i));
    std::vector<int> out(kSymbols);
    uint64_t state = 0x9E3779B97F4A7C15ull; // xorshift64*, fixed seed
    for (int& s : out) {
      state ^= state >> 12;
      state ^= state << 25;
      state ^= state >> 27;
      double u = double((state * 0x2545F4914F6CDD1Dull) >> 11) / double(1ull << 53) * sum;
      s = 0;
      while (s + 1 < kAlphabet && u >= cumulative[s]) ++s;
    }
    return out;
  }();
  return symbols;
}

// Order-0 empirical entropy of the source, in bits per symbol.
double SourceEntropy() {
  std::array<double, kAlphabet> counts{};
  for (int s : Source()) counts[s] += 1;
  double h = 0;
  for (double c : counts)
    if (c > 0) h -= c / kSymbols * std::log2(c / kSymbols);
  return h;
}

std::vector<uint8_t> ContextEncode(int order) {
  CMemoryByteSink sink;
  BitOutputStream out(&sink, 0);
  ContextEncoder encoder;
  encoder.Init(kAlphabet);
  encoder.Start(order);
  for (int s : Source()) encoder.Encode(s, out);
  encoder.Finish(out);
  return sink.Bytes();
}

void SetRateCounters(benchmark::State& state, size_t bytes) {
  double bits = 8.0 * double(bytes) / kSymbols;
  double entropy = SourceEntropy();
  state.counters["symbols/s"] =
      benchmark::Counter(double(kSymbols), benchmark::Counter::kIsIterationInvariantRate);
  state.counters["bits/symbol"] = bits;
  state.counters["entropy"] = entropy;
  state.counters["excess_%"] = 100.0 * (bits / entropy - 1.0);
}

void BM_ContextEncode(benchmark::State& state) {
  int order = static_cast<int>(state.range(0));
  Source();
  size_t bytes = 0;
  for (auto _ : state) bytes = ContextEncode(order).size();
  SetRateCounters(state, bytes);
}
BENCHMARK(BM_ContextEncode)->Arg(0)->Arg(2)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_ContextDecode(benchmark::State& state) {
  int order = static_cast<int>(state.range(0));
  std::vector<uint8_t> bytes = ContextEncode(order);
  for (auto _ : state) {
    CMemoryByteSource source(bytes);
    BitInputStream in(&source, 0);
    in.Load();
    ContextDecoder decoder;
    decoder.Init(kAlphabet);
    decoder.Start(in, order);
    int s, checksum = 0;
    while (decoder.Decode(s, in)) checksum += s;
    decoder.Finish(in);
    if (decoder.SymbolCount() != kSymbols + 1) state.SkipWithError("decoding failed");
    benchmark::DoNotOptimize(checksum);
  }
  SetRateCounters(state, bytes.size());
}
BENCHMARK(BM_ContextDecode)->Arg(0)->Arg(2)->Unit(benchmark::kMillisecond)->MinTime(2.0);

std::vector<uint8_t> AcEncode() {
  CMemoryByteSink sink;
  AcEncoder encoder;
  encoder.Init(&sink);
  AcModel model;
  model.Init(kAlphabet, nullptr, 1);
  for (int s : Source()) encoder.EncodeSymbol(model, s);
  encoder.Done();
  return sink.Bytes();
}

void BM_AcEncode(benchmark::State& state) {
  Source();
  size_t bytes = 0;
  for (auto _ : state) bytes = AcEncode().size();
  SetRateCounters(state, bytes);
}
BENCHMARK(BM_AcEncode)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_AcDecode(benchmark::State& state) {
  std::vector<uint8_t> bytes = AcEncode();
  for (auto _ : state) {
    CMemoryByteSource source(bytes);
    AcDecoder decoder;
    decoder.Init(&source);
    AcModel model;
    model.Init(kAlphabet, nullptr, 1);
    int checksum = 0;
    for (size_t i = 0; i < kSymbols; ++i) checksum += decoder.DecodeSymbol(model);
    if (decoder.Failed()) state.SkipWithError("decoding failed");
    benchmark::DoNotOptimize(checksum);
  }
  SetRateCounters(state, bytes.size());
}
BENCHMARK(BM_AcDecode)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace
BENCHMARK_MAIN();
