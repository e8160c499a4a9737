#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "compression/ContextCoder.h"
#include "tests/compression/ContextTestStreams.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Decodes up to the end symbol; returns 0 when the decoder reports an error.
int DecodeContext(const Bytes& bytes, int n, int k, std::vector<int>& symbols,
                  std::string* error = nullptr, const int* counts = nullptr) {
  CMemoryByteSource source(bytes);
  BitInputStream in(&source, 0);
  in.Load();
  ContextDecoder decoder;
  decoder.Init(n);
  symbols.clear();
  if (decoder.Start(in, k, counts)) {
    int s;
    while (decoder.Decode(s, in)) symbols.push_back(s);
    decoder.Finish(in);
  }
  if (error) *error = decoder.Error();
  return decoder.Failed() ? 0 : 1;
}

} // namespace

TEST(ContextCoder, RandomSequencesRoundTripForOrders0To3) {
  const int alphabets[] = {1, 2, 5, 16, 100};
  for (int k = 0; k <= 3; ++k) {
    for (int n : alphabets) {
      if (k == 3 && n == 100) continue; // 10^6 contexts, a few used
      std::vector<int> symbols = SkewedSymbols(n, 20000, 17 * k + n);
      Bytes bytes = EncodeContext(symbols, n, k);
      std::vector<int> decoded;
      ASSERT_EQ(DecodeContext(bytes, n, k, decoded), 1) << "order " << k << " n " << n;
      ASSERT_EQ(decoded, symbols) << "order " << k << " n " << n;
    }
  }
  // the largest alphabet the models hold
  std::vector<int> wide = SkewedSymbols(kContextMaxAlphabet, 50000, 3);
  std::vector<int> decoded;
  ASSERT_EQ(
      DecodeContext(EncodeContext(wide, kContextMaxAlphabet, 0), kContextMaxAlphabet, 0, decoded),
      1);
  EXPECT_EQ(decoded, wide);
}

TEST(ContextCoder, EmptyStreamAndBitsAfterTheBlock) {
  // no symbol at all: the first decoded symbol is the end symbol
  // (n = 1: two symbols of 8192 each, worked out as 00 80 00 00 05 + pad)
  EXPECT_EQ(EncodeContext({}, 1, 0), Bytes({0x00, 0x80, 0x00, 0x00, 0x05, 0x00}));
  std::vector<int> decoded = {7};
  EXPECT_EQ(DecodeContext(EncodeContext({}, 9, 2), 9, 2, decoded), 1);
  EXPECT_TRUE(decoded.empty());

  // a plain field written after finish is read back after the decoder's
  // finish: the decoder consumed exactly the range-coded bytes
  std::vector<int> symbols = SkewedSymbols(6, 3000, 5);
  CMemoryByteSink sink;
  BitOutputStream out(&sink, 0);
  out.WriteBits(0x15, 5);
  ContextEncoder encoder;
  encoder.Init(6);
  encoder.Start(1);
  for (int s : symbols) encoder.Encode(s, out);
  ASSERT_EQ(encoder.Finish(out), 1);
  EXPECT_EQ(encoder.SymbolCount(), symbols.size() + 1);
  out.WriteBits(0xBEEF, 16);
  out.Close();

  CMemoryByteSource source(sink.Bytes());
  BitInputStream in(&source, 0);
  in.Load();
  EXPECT_EQ(in.BReadBits(5), 0x15u);
  ContextDecoder decoder;
  decoder.Init(6);
  ASSERT_EQ(decoder.Start(in, 1), 1);
  // a known count of symbols, then finish: finish still meets the end symbol
  int s = 0;
  for (size_t i = 0; i < symbols.size(); ++i) {
    ASSERT_EQ(decoder.Decode(s, in), 1);
    ASSERT_EQ(s, symbols[i]);
  }
  ASSERT_EQ(decoder.Finish(in), 1);
  EXPECT_EQ(in.BReadBits(16), 0xBEEFu);
}

TEST(ContextCoder, EncoderRefusesWhatItCannotCode) {
  CMemoryByteSink sink;
  BitOutputStream out(&sink, 0);
  ContextEncoder encoder;
  encoder.Init(4);
  EXPECT_EQ(encoder.Encode(1, out), 0); // not started
  EXPECT_EQ(encoder.Error(), "context encoder not started");

  encoder.Init(4);
  ASSERT_EQ(encoder.Start(2), 1);
  EXPECT_EQ(encoder.Encode(4, out), 0); // the end symbol is not a symbol
  EXPECT_EQ(encoder.Error(), "symbol out of range");
  EXPECT_EQ(encoder.Encode(1, out), 0); // an encoder in error stays stopped
  EXPECT_EQ(encoder.Finish(out), 0);

  encoder.Init(4);
  ASSERT_EQ(encoder.Start(0), 1);
  EXPECT_EQ(encoder.Encode(-1, out), 0);

  // alphabets and orders beyond the models' capacity are refused
  encoder.Init(kContextMaxAlphabet + 1);
  EXPECT_EQ(encoder.Start(0), 0);
  EXPECT_NE(encoder.Error().find("does not fit"), std::string::npos);
  encoder.Init(16);
  EXPECT_EQ(encoder.Start(6), 0); // 16^6 contexts
  encoder.Init(4);
  EXPECT_EQ(encoder.Start(-1), 0);

  // initial counts that give a symbol no frequency: that symbol is refused
  std::vector<int> counts = {16383, 0, 1};
  encoder.Init(2);
  ASSERT_EQ(encoder.Start(0, counts.data()), 1);
  EXPECT_EQ(encoder.Encode(0, out), 1);
  EXPECT_EQ(encoder.Encode(1, out), 0);
  EXPECT_NE(encoder.Error().find("zero frequency"), std::string::npos);
  // counts that do not add up to the total
  std::vector<int> bad = {1, 2, 3};
  encoder.Init(2);
  EXPECT_EQ(encoder.Start(0, bad.data()), 0);
}

TEST(ContextCoder, CorruptAndTruncatedStreamsEndWithAnError) {
  std::vector<int> symbols = SkewedSymbols(8, 5000, 11);
  Bytes bytes = EncodeContext(symbols, 8, 2);
  std::vector<int> decoded;
  std::string error;

  // every truncation: an error or a short decode, never a hang or a crash
  for (size_t cut = 0; cut + 1 < bytes.size(); cut += 37) {
    Bytes part(bytes.begin(), bytes.begin() + cut);
    int ok = DecodeContext(part, 8, 2, decoded, &error);
    EXPECT_TRUE(!ok || decoded.size() <= symbols.size()) << cut;
    if (cut + 5 < bytes.size()) {
      EXPECT_EQ(ok, 0) << cut;
    }
  }
  EXPECT_EQ(DecodeContext(Bytes(), 8, 2, decoded, &error), 0);
  EXPECT_EQ(error, "truncated range-coded stream");
  // dropping the last byte of the byte count is already a truncation
  EXPECT_EQ(DecodeContext(Bytes(bytes.begin(), bytes.end() - 2), 8, 2, decoded, &error), 0);

  // a first byte other than 0 is not a range-coded stream
  Bytes bad = bytes;
  bad[0] = 1;
  EXPECT_EQ(DecodeContext(bad, 8, 2, decoded, &error), 0);
  EXPECT_EQ(error, "corrupt range-coded stream");

  // garbage that keeps decoding the frequent symbol (each byte then holds
  // tens of thousands of symbols) ends at the end of input
  Bytes garbage(8, 0);
  EXPECT_EQ(DecodeContext(garbage, 1, 0, decoded, &error), 0);
  EXPECT_EQ(error, "truncated range-coded stream");
  std::mt19937 random(1);
  for (int trial = 0; trial < 50; ++trial) {
    Bytes noise(1 + random() % 300);
    for (uint8_t& b : noise) b = static_cast<uint8_t>(random());
    noise[0] = 0;
    DecodeContext(noise, 1 + trial % 12, trial % 4, decoded, &error);
  }

  // a caller that knows its count bounds the decoding
  CMemoryByteSource source(bytes);
  BitInputStream in(&source, 0);
  in.Load();
  ContextDecoder decoder;
  decoder.Init(8);
  decoder.SetSymbolLimit(100);
  ASSERT_EQ(decoder.Start(in, 2), 1);
  int s, count = 0;
  while (decoder.Decode(s, in)) ++count;
  EXPECT_EQ(count, 100);
  EXPECT_EQ(decoder.Error(), "too many symbols in range-coded stream");
  EXPECT_EQ(decoder.Finish(in), 0);
}

TEST(ContextCoder, FileStreamsRoundTrip) {
  std::string path = ::testing::TempDir() + "context_coder.bin";
  std::vector<int> symbols = SkewedSymbols(12, 10000, 23);
  {
    BitOutputStream out(CFileByteSink::Open(path), 1);
    ContextEncoder encoder;
    encoder.Init(12);
    encoder.Start(3);
    for (int s : symbols) encoder.Encode(s, out);
    ASSERT_EQ(encoder.Finish(out), 1);
    ASSERT_EQ(out.Close(), 1);
  }
  BitInputStream in(CFileByteSource::Open(path), 1);
  ASSERT_EQ(in.Load(), 1);
  ContextDecoder decoder;
  decoder.Init(12);
  ASSERT_EQ(decoder.Start(in, 3), 1);
  std::vector<int> decoded;
  int s;
  while (decoder.Decode(s, in)) decoded.push_back(s);
  EXPECT_EQ(decoder.Finish(in), 1);
  EXPECT_EQ(decoded, symbols);
  std::remove(path.c_str());
}
