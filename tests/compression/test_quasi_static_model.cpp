#include <gtest/gtest.h>

#include <vector>

#include "compression/QuasiStaticModel.h"

namespace {

using Table = std::vector<uint16_t>;

} // namespace

// Three symbols, total 16384, target 100: every value below is worked out by
// hand from the reset, the halving and the spreading of the leftover.
TEST(QuasiStaticModel, HandWorkedRescales) {
  QuasiStaticModel model;
  ASSERT_EQ(model.Init(3, 14, 100, nullptr, false), 1);
  // reset shares 16384 as 5462, 5461, 5461; the first rescale halves them
  EXPECT_EQ(model.CumulativeFrequencies(), Table({0, 5462, 10923, 16384}));
  EXPECT_EQ(model.NewFrequencies(), Table({2731, 2731, 2731, 0}));
  EXPECT_EQ(model.RescaleInterval(), 4); // (3 >> 4) | 2, doubled
  EXPECT_EQ(model.Increment(), 2047);    // 8191 missing / 4
  EXPECT_EQ(model.NextLeft(), 3);
  EXPECT_EQ(model.Left(), 1);
  EXPECT_TRUE(model.SearchTable().empty()); // encoder flavour

  // one symbol at increment 2047, then the held-back three at 2048
  for (int s : {2, 2, 0, 2}) ASSERT_EQ(model.Update(s), 1);
  EXPECT_EQ(model.Increment(), 2048);
  EXPECT_EQ(model.Left(), 0);
  EXPECT_EQ(model.NewFrequencies(), Table({4779, 2731, 8874, 0}));
  // the table is still the old one: the model is quasi-static
  EXPECT_EQ(model.CumulativeFrequencies(), Table({0, 5462, 10923, 16384}));

  // next update rescales: interval 8, 8193 missing -> increment 1024
  ASSERT_EQ(model.Update(1), 1);
  EXPECT_EQ(model.CumulativeFrequencies(), Table({0, 4779, 7510, 16384}));
  EXPECT_EQ(model.NewFrequencies(), Table({2389, 2389, 4437, 0}));
  EXPECT_EQ(model.RescaleInterval(), 8);
  EXPECT_EQ(model.Increment(), 1024);
  EXPECT_EQ(model.NextLeft(), 1);
  EXPECT_EQ(model.Left(), 6);
  uint32_t f, c;
  model.GetFreq(1, f, c);
  EXPECT_EQ(c, 4779u);
  EXPECT_EQ(f, 2731u);
}

TEST(QuasiStaticModel, SearchTableHoldsTheFirstCandidate) {
  QuasiStaticModel model;
  ASSERT_EQ(model.Init(3, 14, 100, nullptr, true), 1);
  const Table& search = model.SearchTable();
  ASSERT_EQ(search.size(), 129u);
  // entries 42 and 85 are shared by two symbols: they hold the lower one
  EXPECT_EQ(search[0], 0);
  EXPECT_EQ(search[42], 0);
  EXPECT_EQ(search[43], 1);
  EXPECT_EQ(search[85], 1);
  EXPECT_EQ(search[86], 2);
  EXPECT_EQ(search[127], 2);
  EXPECT_EQ(search[128], 2);
  EXPECT_EQ(model.GetSymbol(0), 0);
  EXPECT_EQ(model.GetSymbol(5461), 0);
  EXPECT_EQ(model.GetSymbol(5462), 1);
  EXPECT_EQ(model.GetSymbol(10922), 1);
  EXPECT_EQ(model.GetSymbol(10923), 2);
  EXPECT_EQ(model.GetSymbol(16383), 2);

  // every cumulative value maps to the symbol whose interval holds it, also
  // with zero frequencies and after adaptive rescales
  std::vector<int> counts(40, 0);
  counts[0] = 16384 - 20;
  for (int i = 20; i < 40; ++i) counts[i] = 1;
  QuasiStaticModel sparse;
  ASSERT_EQ(sparse.Init(40, 14, 100, counts.data(), true), 1);
  for (int round = 0; round < 3; ++round) {
    const Table& cf = sparse.CumulativeFrequencies();
    for (uint32_t v = 0; v < 16384; ++v) {
      int s = sparse.GetSymbol(v);
      ASSERT_LE(cf[s], v);
      ASSERT_LT(v, cf[s + 1]);
    }
    for (int i = 0; i < 500; ++i) sparse.Update((i * 7) % 40);
  }
}

TEST(QuasiStaticModel, UnusableParametersAreRefused) {
  QuasiStaticModel model;
  // counts that do not add up to the total fail the first rescale check
  std::vector<int> counts = {100, 200, 300};
  EXPECT_EQ(model.Init(3, 14, 100, counts.data(), false), 0);
  EXPECT_TRUE(model.Failed());
  EXPECT_FALSE(model.Ready());
  // more symbols than the total has units
  EXPECT_EQ(model.Init(16385, 14, 100, nullptr, false), 0);
  EXPECT_EQ(model.Init(0, 14, 100, nullptr, false), 0);
  EXPECT_EQ(model.Init(3, 16, 100, nullptr, false), 0);
  // zero counts that halve to 1 beyond the total: refused, not a crash
  std::vector<int> lopsided(16384, 0);
  lopsided[0] = 16384;
  EXPECT_EQ(model.Init(16384, 14, 100, lopsided.data(), false), 0);
  // the largest alphabet, one unit each, is usable
  EXPECT_EQ(model.Init(16384, 14, 100, nullptr, true), 1);
  EXPECT_EQ(model.GetSymbol(16383), 16383);
}
