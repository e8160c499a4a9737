// The bounds-checked byte cursor: byte order, truncation, sticky failure and
// counts that would overflow.

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <limits>

#include "io/ByteCursor.h"

namespace {

const unsigned char kBytes[8] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08};

struct IntCase {
  const char* name;
  std::function<bool(CByteCursor&, uint64_t&)> read;
  size_t width;
  uint64_t expected; // from kBytes
};

template <class T> std::function<bool(CByteCursor&, uint64_t&)> As(bool (CByteCursor::*f)(T&)) {
  return [f](CByteCursor& c, uint64_t& out) {
    T v;
    const bool ok = (c.*f)(v);
    out = static_cast<uint64_t>(v);
    return ok;
  };
}

} // namespace

TEST(ByteCursor, IntegersInBothByteOrdersAndTruncatedReadsFailWithZero) {
  const IntCase cases[] = {
      {"U8", As(&CByteCursor::U8), 1, 0x01},
      {"U16LE", As(&CByteCursor::U16LE), 2, 0x0201},
      {"U16BE", As(&CByteCursor::U16BE), 2, 0x0102},
      {"U32LE", As(&CByteCursor::U32LE), 4, 0x04030201},
      {"U32BE", As(&CByteCursor::U32BE), 4, 0x01020304},
      {"U64LE", As(&CByteCursor::U64LE), 8, 0x0807060504030201ull},
      {"U64BE", As(&CByteCursor::U64BE), 8, 0x0102030405060708ull},
  };
  for (const IntCase& c : cases) {
    SCOPED_TRACE(c.name);
    CByteCursor whole(kBytes, sizeof kBytes);
    uint64_t v = 99;
    EXPECT_TRUE(c.read(whole, v));
    EXPECT_EQ(v, c.expected);
    EXPECT_EQ(whole.Offset(), c.width);

    // one byte short: fails, reads nothing, stays failed
    CByteCursor shortOne(kBytes, c.width - 1);
    v = 99;
    EXPECT_FALSE(c.read(shortOne, v));
    EXPECT_EQ(v, 0u);
    EXPECT_EQ(shortOne.Offset(), 0u);
    EXPECT_FALSE(shortOne.Ok());
    EXPECT_FALSE(shortOne.Skip(0));
  }
}

TEST(ByteCursor, SignedAndRealValuesKeepTheirBitPatterns) {
  const unsigned char minusTwo[] = {0xFE, 0xFF, 0xFF, 0xFF};
  CByteCursor c(minusTwo, sizeof minusTwo);
  int32_t i = 0;
  EXPECT_TRUE(c.I32LE(i));
  EXPECT_EQ(i, -2);

  const unsigned char oneAndAHalf[] = {0x3F, 0xC0, 0x00, 0x00, 0x00, 0x00, 0xC0, 0x3F};
  CByteCursor r(oneAndAHalf, sizeof oneAndAHalf);
  float big = 0, little = 0;
  EXPECT_TRUE(r.F32BE(big));
  EXPECT_TRUE(r.F32LE(little));
  EXPECT_EQ(big, 1.5f);
  EXPECT_EQ(little, 1.5f);
  EXPECT_EQ(r.Remaining(), 0u);
}

TEST(ByteCursor, BlocksSeeksAndCountsNeverPassTheEnd) {
  struct Case {
    const char* name;
    std::function<bool(CByteCursor&)> step;
    bool ok;
    size_t offsetAfter;
  };
  const uint64_t huge = std::numeric_limits<uint64_t>::max();
  const Case cases[] = {
      {"block of all", [](CByteCursor& c) { return c.Block(8) != nullptr; }, true, 8},
      {"block past end", [](CByteCursor& c) { return c.Block(9) != nullptr; }, false, 0},
      {"seek to end", [](CByteCursor& c) { return c.Seek(8); }, true, 8},
      {"seek past end", [](CByteCursor& c) { return c.Seek(9); }, false, 0},
      {"skip after seek", [](CByteCursor& c) { return c.Seek(6) && c.Skip(3); }, false, 6},
      {"items that fit", [](CByteCursor& c) { return c.Items(2, 4) != nullptr; }, true, 8},
      {"items one short", [](CByteCursor& c) { return c.Items(3, 3) != nullptr; }, false, 0},
      // count * size wraps to 0 in 64 bits: must still be refused
      {"wrapping count", [&](CByteCursor& c) { return c.Items(huge / 2 + 1, 2) != nullptr; }, false,
       0},
      {"huge count of empty items", [&](CByteCursor& c) { return c.Items(huge, 0) != nullptr; },
       true, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CByteCursor cursor(kBytes, sizeof kBytes);
    EXPECT_EQ(c.step(cursor), c.ok);
    EXPECT_EQ(cursor.Ok(), c.ok);
    EXPECT_EQ(cursor.Offset(), c.offsetAfter);
  }

  CByteCursor c(kBytes, sizeof kBytes);
  EXPECT_TRUE(c.Fits(2, 4));
  EXPECT_FALSE(c.Fits(huge, 8));
  unsigned char out[4] = {1, 1, 1, 1};
  c.Skip(6);
  EXPECT_FALSE(c.Bytes(out, 4));
  EXPECT_EQ(out[0] | out[1] | out[2] | out[3], 0);
  EXPECT_FALSE(CByteCursor(nullptr, 100).Block(1));
}
