#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "compression/RangeCoder.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Interval = std::pair<uint32_t, uint32_t>; // frequency, cumulative

Bytes EncodeIntervals(const std::vector<Interval>& intervals) {
  CMemoryByteSink sink;
  BitOutputStream out(&sink, 0);
  RangeEncoder coder;
  coder.Start(0);
  for (const Interval& i : intervals) coder.EncodeShift(i.first, i.second, 14, out);
  uint32_t count = coder.Finish(out);
  EXPECT_EQ(count, sink.Bytes().size());
  return sink.Bytes();
}

// Decodes with shift 14 and checks that every cumulative value falls in
// its interval.
void ExpectDecodes(const Bytes& bytes, const std::vector<Interval>& intervals) {
  CMemoryByteSource source(bytes);
  BitInputStream in(&source, 0);
  in.Load();
  RangeDecoder decoder;
  EXPECT_EQ(decoder.Start(in), 0);
  for (const Interval& i : intervals) {
    uint32_t cum = decoder.DecodeCulShift(14, in);
    EXPECT_GE(cum, i.second);
    EXPECT_LT(cum, i.second + i.first);
    decoder.Update(i.first, i.second, 1u << 14);
  }
  decoder.Finish(in);
  EXPECT_FALSE(in.Overrun());
  EXPECT_TRUE(in.Exhausted()); // every byte, byte count included, was read
  EXPECT_FALSE(decoder.Failed());
}

} // namespace

// Byte sequences worked out by hand from the coder's steps (low, range,
// held byte, pending count), so that stored files never change silently.
TEST(RangeCoder, HandWorkedStreams) {
  // last interval of the table (c + f = 2^14): low 2^30, final byte 0x80
  std::vector<Interval> endOnly = {{8192, 8192}};
  EXPECT_EQ(EncodeIntervals(endOnly), Bytes({0x00, 0x80, 0x00, 0x00, 0x05}));
  ExpectDecodes(EncodeIntervals(endOnly), endOnly);

  // low 2^17 with range 2^30: the rest of low exceeds bytecount / 2, so the
  // final byte is rounded up to 1
  std::vector<Interval> roundUp = {{8192, 1}};
  EXPECT_EQ(EncodeIntervals(roundUp), Bytes({0x00, 0x01, 0x00, 0x00, 0x05}));
  ExpectDecodes(EncodeIntervals(roundUp), roundUp);

  // a top byte 0xFF is held as pending (help = 1); the third interval
  // carries into it: held 0xFE + 1 = 0xFF, pending 0xFF becomes 0x00
  std::vector<Interval> carry = {{1, 319}, {2, 12287}, {1, 8192}};
  EXPECT_EQ(EncodeIntervals(carry),
            Bytes({0x00, 0x04, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x0A}));
  ExpectDecodes(EncodeIntervals(carry), carry);

  // the carry reaches the final byte (t = 256) at finish
  std::vector<Interval> finalCarry = {{1, 319}, {2, 12287}, {8192, 8192}};
  EXPECT_EQ(EncodeIntervals(finalCarry), Bytes({0x00, 0x04, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x08}));
  ExpectDecodes(EncodeIntervals(finalCarry), finalCarry);
}

TEST(RangeCoder, DecoderStateAfterStartAndRangeCodedBlockAmidBits) {
  // a partly written byte is padded before the first range-coded byte, and
  // bits after the block start on the next byte
  CMemoryByteSink sink;
  BitOutputStream out(&sink, 0);
  out.WriteBits(1, 1);
  RangeEncoder coder;
  coder.Start(0);
  coder.EncodeShift(8192, 8192, 14, out);
  coder.Finish(out);
  out.WriteBits(0x2, 2);
  out.Close();
  EXPECT_EQ(sink.Bytes(), Bytes({0x80, 0x00, 0x80, 0x00, 0x00, 0x05, 0x40}));

  CMemoryByteSource source(sink.Bytes());
  BitInputStream in(&source, 0);
  in.Load();
  EXPECT_EQ(in.ReadBit(), 1);
  RangeDecoder decoder;
  decoder.Start(in);
  EXPECT_EQ(decoder.Low(), 0x40u);
  EXPECT_EQ(decoder.Range(), 128u);
  EXPECT_EQ(decoder.DecodeCulShift(14, in), 8192u);
  EXPECT_EQ(decoder.Low(), 0x40000002u);
  decoder.Update(8192, 8192, 1u << 14);
  decoder.Finish(in);
  EXPECT_EQ(in.BReadBits(2), 0x2u);
}
