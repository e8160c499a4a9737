#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <vector>

#include "compression/BitStream.h"

namespace {

using Bytes = std::vector<uint8_t>;

} // namespace

TEST(BitStream, BitsFillBytesFromTheTopAndCloseAlwaysPads) {
  CMemoryByteSink sink;
  BitOutputStream out(&sink, 0);
  for (int b : {1, 0, 1, 1}) out.WriteBit(b);
  out.WriteBit(7); // neither 0 nor 1: leaves the (clear) bit
  EXPECT_EQ(out.BitCount(), 5u);
  EXPECT_EQ(out.BitPosition(), 2u);
  EXPECT_EQ(out.Mask(), 4u);
  EXPECT_EQ(out.Close(), 1);
  EXPECT_EQ(sink.Bytes(), Bytes({0xB0}));
  EXPECT_EQ(out.BitCount(), 8u);

  // exactly 8 bits leave the stream aligned; close then adds a whole 0 byte
  CMemoryByteSink aligned;
  BitOutputStream out2(&aligned, 0);
  out2.WriteBits(0xA5, 8); // least significant bit first: 1,0,1,0,0,1,0,1
  EXPECT_EQ(aligned.Bytes(), Bytes({0xA5}));
  out2.Close();
  EXPECT_EQ(aligned.Bytes(), Bytes({0xA5, 0x00}));
  EXPECT_EQ(out2.BitCount(), 16u);
}

TEST(BitStream, FixedWidthIntegersAndBytesRoundTrip) {
  CMemoryByteSink sink;
  BitOutputStream out(&sink, 0);
  out.WriteBits(5, 3);       // bits 1,0,1
  out.WriteByte(0x3C);       // pads 5 zero bits, then the byte
  out.WriteBits(0x1234, 16); // 0x1234 LSB first
  out.WriteBits(0xFFFFFFFFu, 32);
  out.WriteBits(0, 0);
  EXPECT_EQ(out.BitCount(), 3u + 5u + 8u + 16u + 32u);
  out.Close();
  // 101 00000 | 3C | 0x1234 reversed: 0010 1100 0100 1000 | 32 ones | pad
  EXPECT_EQ(sink.Bytes(), Bytes({0xA0, 0x3C, 0x2C, 0x48, 0xFF, 0xFF, 0xFF, 0xFF, 0x00}));

  CMemoryByteSource source(sink.Bytes());
  BitInputStream in(&source, 0);
  ASSERT_EQ(in.Load(), 1);
  EXPECT_EQ(in.BReadBits(0), 0u);
  EXPECT_EQ(in.BitCount(), 0u);
  EXPECT_EQ(in.BReadBits(3), 5u);
  EXPECT_EQ(in.ReadByte(), 0x3C); // skips the 5 pad bits
  EXPECT_EQ(in.BitCount(), 16u);
  EXPECT_EQ(in.BReadBits(16), 0x1234u);
  uint32_t value = 0;
  EXPECT_EQ(in.BReadBits(value, 32), 32);
  EXPECT_EQ(value, 0xFFFFFFFFu);
  EXPECT_EQ(in.ReadByte(), 0x00);
  EXPECT_FALSE(in.Overrun());
  EXPECT_TRUE(in.Exhausted());
}

TEST(BitStream, ReadingPastTheEndStopsAndIsReported) {
  Bytes data = {0x81};
  CMemoryByteSource source(data);
  BitInputStream in(&source, 0);
  std::ostringstream console;
  in.SetConsole(&console);
  ASSERT_EQ(in.Load(), 1);
  EXPECT_EQ(in.ReadBit(), 1);
  // 7 bits remain: the read stops after the bit that used up the byte
  EXPECT_EQ(in.BReadBits(12), 0x40u);
  EXPECT_EQ(console.str(), "BReadBits: Nb bits effectively read: 7\n");
  EXPECT_FALSE(in.Overrun());
  uint32_t value = 99;
  EXPECT_EQ(in.BReadBits(value, 4), 0);
  EXPECT_EQ(value, 0u);
  // single bits and bytes past the end are zeros and mark the overrun
  EXPECT_EQ(in.ReadBit(), 0);
  EXPECT_TRUE(in.Overrun());
  EXPECT_EQ(in.ReadByte(), 0);

  Bytes empty;
  CMemoryByteSource none(empty);
  BitInputStream in2(&none, 0);
  EXPECT_EQ(in2.Load(), 0);
  EXPECT_EQ(in2.CurrentByte(), 0);
  EXPECT_EQ(in2.ReadByte(), 0);
  EXPECT_TRUE(in2.Overrun());
}

TEST(BitStream, TagsCloneAndDump) {
  BitBuffer buffer;
  CMemoryByteSink sink;
  BitOutputStream out(&sink, 0);
  Bytes data = {1};
  CMemoryByteSource source(data);
  BitInputStream in(&source, 0);
  EXPECT_EQ(buffer.GetType(), 0x5000);
  EXPECT_EQ(out.GetType(), 0x5005);
  EXPECT_EQ(in.GetType(), 0x5002);
  EXPECT_TRUE(out.IsKindOf(0x5000));
  EXPECT_TRUE(out.IsKindOf(0x5005));
  EXPECT_FALSE(out.IsKindOf(0x5002));
  EXPECT_TRUE(in.IsKindOf(0x5000));
  EXPECT_FALSE(buffer.IsKindOf(0x5005));
  EXPECT_EQ(buffer.IsValid() + out.IsValid() + in.IsValid(), 3);

  out.WriteBits(3, 2);
  std::unique_ptr<BitBuffer> clone(out.Clone());
  ASSERT_EQ(clone->GetType(), 0x5005);
  auto* copy = static_cast<BitOutputStream*>(clone.get());
  EXPECT_EQ(copy->Stream(), &sink);
  EXPECT_EQ(copy->BitCount(), 2u);
  EXPECT_EQ(copy->CurrentByte(), 0xC0);

  std::ostringstream text;
  out.Dump(text);
  std::ostringstream expected;
  expected << "\nBuffer storing bit :  1 1 0 0 0 0 0 0\nCurrent bit position : 5\n"
           << "Mask on the current bit : 32\nTotal number of bits read or write : 2\n"
           << "\nPointer of the stream : " << static_cast<const void*>(&sink)
           << "\nOwner:False\n 0\n";
  EXPECT_EQ(text.str(), expected.str());
}

TEST(BitStream, OwnedStreamIsDeletedOnceWithItsClones) {
  // the owning stream and its clone share one sink; ASan catches a double
  // delete or a leak
  auto* sink = new CMemoryByteSink;
  auto* out = new BitOutputStream(sink, 1);
  BitOutputStream* clone = out->Clone();
  EXPECT_EQ(clone->Owner(), 1);
  delete out;
  clone->WriteBits(0xFF, 8);
  EXPECT_EQ(sink->Bytes(), Bytes({0xFF}));
  delete clone;
}
