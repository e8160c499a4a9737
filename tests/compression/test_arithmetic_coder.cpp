#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "compression/ArithmeticCoder.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Encode(AcModel& model, const std::vector<int>& symbols, uint32_t* bits = nullptr) {
  CMemoryByteSink sink;
  AcEncoder encoder;
  encoder.Init(&sink);
  for (int s : symbols) EXPECT_EQ(encoder.EncodeSymbol(model, s), 1);
  EXPECT_EQ(encoder.Done(), 1);
  if (bits) *bits = encoder.Bits();
  return sink.Bytes();
}

std::vector<int> Decode(AcModel& model, const Bytes& bytes, size_t count) {
  CMemoryByteSource source(bytes);
  AcDecoder decoder;
  EXPECT_EQ(decoder.Init(&source), 1);
  std::vector<int> symbols;
  for (size_t i = 0; i < count; ++i) symbols.push_back(decoder.DecodeSymbol(model));
  EXPECT_FALSE(decoder.Failed()) << decoder.Error();
  return symbols;
}

std::vector<int> Skewed(int n, size_t count, unsigned seed) {
  std::mt19937 random(seed);
  std::vector<int> symbols(count);
  for (int& s : symbols) {
    s = 0;
    while (s + 1 < n && random() % 3 != 0) ++s;
  }
  return symbols;
}

} // namespace

TEST(ArithmeticCoder, HandWorkedBytes) {
  // two equal symbols: 0 codes the bit 1 and 1 the bit 0; bits fill a byte
  // from bit 0, and done adds 0 plus one follow bit 1
  AcModel model;
  ASSERT_EQ(model.Init(2, nullptr, 0), 1);
  EXPECT_EQ(model.CumFreq(), std::vector<int>({2, 1, 0}));
  std::vector<int> symbols = {0, 1, 1, 0, 0, 0, 1, 0, 1};
  uint32_t bits = 0;
  Bytes bytes = Encode(model, symbols, &bits);
  // 1,0,0,1,1,1,0,1 -> 0xB9; then 0 | 0,1 -> leftover 100b at bit 0
  EXPECT_EQ(bytes, Bytes({0xB9, 0x04}));
  EXPECT_EQ(bits, 11u);
  EXPECT_EQ(Decode(model, bytes, symbols.size()), symbols);

  // with no file the encoder only counts the same bits
  AcEncoder counter;
  ASSERT_EQ(counter.Init(static_cast<const char*>(nullptr)), 1);
  for (int s : symbols) counter.EncodeSymbol(model, s);
  counter.Done();
  EXPECT_EQ(counter.Bits(), 11u);
}

TEST(ArithmeticCoder, ModelLimitsAndHalving) {
  AcModel model;
  std::vector<int> counts = {16381, 1, 1};
  ASSERT_EQ(model.Init(3, counts.data(), 1), 1); // total 16383 is accepted
  model.Update(1);
  // at the maximum every count is halved rounding up, then s counts once
  EXPECT_EQ(model.Freq(), std::vector<int>({8191, 2, 1}));
  EXPECT_EQ(model.CumFreq(), std::vector<int>({8194, 3, 1, 0}));

  counts = {16382, 1, 1}; // 16384
  EXPECT_EQ(model.Init(3, counts.data(), 1), 0);
  EXPECT_EQ(model.Error(), "arithmetic coder model max frequency exceeded");
  EXPECT_EQ(model.SymbolCount(), 0);
  counts = {0, 0, 0};
  EXPECT_EQ(model.Init(3, counts.data(), 1), 0);
  EXPECT_EQ(model.Init(0, nullptr, 1), 0);
  EXPECT_EQ(model.Init(16384, nullptr, 1), 0); // uniform total above the cap
  ASSERT_EQ(model.Init(16383, nullptr, 1), 1);
  model.Done();
  EXPECT_EQ(model.SymbolCount(), 0);
}

TEST(ArithmeticCoder, RoundTrips) {
  for (int adapt = 0; adapt <= 1; ++adapt) {
    for (int n : {1, 2, 7, 300}) {
      std::vector<int> symbols = Skewed(n, 30000, n + adapt);
      AcModel encodeModel, decodeModel;
      ASSERT_EQ(encodeModel.Init(n, nullptr, adapt), 1);
      ASSERT_EQ(decodeModel.Init(n, nullptr, adapt), 1);
      EXPECT_EQ(Decode(decodeModel, Encode(encodeModel, symbols), symbols.size()), symbols)
          << "n " << n << " adapt " << adapt;
    }
  }
  // initial counts with a symbol of frequency 0, through named files
  std::string path = ::testing::TempDir() + "ac_round_trip.bin";
  std::vector<int> counts = {500, 0, 30, 1};
  std::vector<int> symbols = {0, 0, 2, 3, 0, 2, 0, 0, 0, 3, 3};
  AcModel model;
  model.Init(4, counts.data(), 1);
  AcEncoder encoder;
  ASSERT_EQ(encoder.Init(path.c_str()), 1);
  for (int s : symbols) encoder.EncodeSymbol(model, s);
  ASSERT_EQ(encoder.Done(), 1);
  model.Init(4, counts.data(), 1);
  AcDecoder decoder;
  ASSERT_EQ(decoder.Init(path.c_str()), 1);
  for (int s : symbols) EXPECT_EQ(decoder.DecodeSymbol(model), s);
  EXPECT_EQ(decoder.Done(), 1);
  std::remove(path.c_str());
}

TEST(ArithmeticCoder, ErrorsAreReportedNotFatal) {
  AcModel model;
  model.Init(4, nullptr, 1);
  CMemoryByteSink sink;
  AcEncoder encoder;
  encoder.Init(&sink);
  EXPECT_EQ(encoder.EncodeSymbol(model, 4), 0);
  EXPECT_EQ(encoder.Error(), "symbol out of range");
  EXPECT_EQ(encoder.EncodeSymbol(model, 0), 0); // stays stopped

  // a zero-frequency symbol would never be settled: refused
  std::vector<int> counts = {5, 0};
  AcModel sparse;
  sparse.Init(2, counts.data(), 0);
  encoder.Init(&sink);
  EXPECT_EQ(encoder.EncodeSymbol(sparse, 1), 0);

  EXPECT_EQ(encoder.Init("/nonexistent-dir/x.bin"), 0);
  EXPECT_EQ(encoder.Error(), "arithmetic encoder could not open file");
  AcDecoder decoder;
  EXPECT_EQ(decoder.Init("/nonexistent-dir/x.bin"), 0);
  EXPECT_EQ(decoder.Error(), "arithmetic decoder could not open file");
  EXPECT_EQ(decoder.DecodeSymbol(model), -1);

  // reading far past the end of the input is a bad input file
  Bytes empty;
  CMemoryByteSource source(empty);
  ASSERT_EQ(decoder.Init(&source), 1); // 2 bytes past the end so far
  AcModel uniform;
  uniform.Init(256, nullptr, 0);
  int symbol = 0;
  for (int i = 0; i < 100 && symbol >= 0; ++i) symbol = decoder.DecodeSymbol(uniform);
  EXPECT_EQ(symbol, -1);
  EXPECT_EQ(decoder.Error(), "arithmetic decoder bad input file");
}
