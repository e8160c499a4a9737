#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "compression/IsoBitRows.h"
#include "compression/IsoCoder.h"
#include "compression/IsoModelSet.h"
#include "tests/support/TestVolumes.h"

namespace {

// A grid of n^3 points with pseudo-random signs (about one point in `rate` is 1).
CBitGrid NoisyGrid(int64_t n, unsigned seed, unsigned rate) {
  CBitGrid grid;
  grid.Reset(n);
  for (int64_t i = 0; i < n * n * n; ++i) {
    seed = seed * 1103515245u + 12345u;
    if ((seed >> 16) % rate == 0) grid.Set(i, 1);
  }
  return grid;
}

TEST(IsoBitRows, RunsAndRowsMatchPointByPoint) {
  // runs of every length at every offset within a byte, whole bytes included
  for (int64_t first = 0; first < 9; ++first)
    for (int64_t count = 0; count < 30; ++count) {
      CBitGrid runs = NoisyGrid(5, unsigned(first * 31 + count), 3), points = runs;
      runs.SetRun(first, count);
      for (int64_t i = first; i < first + count; ++i) points.Set(i, 1);
      ASSERT_EQ(runs.Bytes(), points.Bytes()) << first << " " << count;
    }
  // lattice rows of one and of several words, every step
  for (int64_t n : {3, 9, 65, 129}) {
    const CBitGrid grid = NoisyGrid(n, unsigned(n), 2);
    for (int64_t step = 1; step < n; step *= 2) {
      const int64_t count = (n - 1) / step + 1, words = isorows::WordCount(count);
      std::vector<uint64_t> row(static_cast<size_t>(words) + 1, ~uint64_t(0));
      for (int64_t x = 0; x < n; x += step)
        for (int64_t y = 0; y < n; y += step) {
          isorows::LatticeRow(grid, x, y, step, count, row.data());
          for (int64_t k = 0; k < words * 64; ++k)
            ASSERT_EQ(isorows::Bit(row.data(), k), k < count ? grid.At(x, y, k * step) : 0)
                << n << " " << step << " " << x << " " << y << " " << k;
        }
    }
  }
}

// Noisy volumes give many small components, cells of every corner pattern
// and rows crossing word boundaries: decoding must rebuild the encoder's
// surface exactly, level after level.
TEST(IsoBitRows, NoisyVolumesRoundTripExactly) {
  for (int depth : {1, 3, 5, 6}) {
    CIsoVolume volume = testvolumes::MakeVolume(testvolumes::TwoBlobsField(), depth);
    volume.m_Potential.clear();
    volume.m_Signs = NoisyGrid(volume.m_N, unsigned(depth), depth == 6 ? 40 : 3);
    CMemoryByteSink sign, leaf, geo;
    CIsoEncodeResult result;
    std::string error;
    ASSERT_EQ(IsoEncode(volume, CIsoEncodeOptions(), sign, leaf, geo, result, error), 1) << error;
    CIsoSurface truth, decoded;
    IsoContour(volume.m_Signs, 1, truth);
    CMemoryByteSource s(sign.Bytes()), l(leaf.Bytes()), g(geo.Bytes());
    int levels = 0;
    auto onLevel = [&](int level, const CIsoSurface& surface) {
      EXPECT_EQ(level, levels++);
      for (int corner : surface.m_Quads) EXPECT_LT(corner, surface.VertexCount());
      return 1;
    };
    ASSERT_EQ(IsoDecode(result.m_Header, s, l, &g, decoded, error, onLevel), 1) << error;
    EXPECT_EQ(levels, depth) << depth;
    EXPECT_EQ(decoded.m_Cell, truth.m_Cell) << depth;
    EXPECT_EQ(decoded.m_Quads, truth.m_Quads) << depth;
  }
}

// A header that claims fewer vertices than the streams hold: the walk stops
// at the first level with more cells than that, before the finer levels.
TEST(IsoBitRows, HeaderWithTooFewVerticesStopsTheWalkEarly) {
  const CIsoVolume volume = testvolumes::MakeVolume(testvolumes::TorusField(), 6);
  CMemoryByteSink sign, leaf, geo;
  CIsoEncodeResult result;
  std::string error;
  ASSERT_EQ(IsoEncode(volume, CIsoEncodeOptions(), sign, leaf, geo, result, error), 1) << error;
  const int vertices = result.m_Header.m_VertexCount;
  struct Case {
    int claimed, levelsShown; // levels shown before the refusal (-1: any)
    const char* message;
  };
  for (const Case& c : {Case{0, 0, "more cells"}, Case{3, 0, "more cells"},
                        Case{vertices / 8, -1, "more cells"}, Case{vertices - 1, 5, "vertices"}}) {
    CIsoHeader header = result.m_Header;
    header.m_VertexCount = c.claimed;
    CMemoryByteSource s(sign.Bytes()), l(leaf.Bytes()), g(geo.Bytes());
    CIsoSurface decoded;
    int shown = 0;
    auto onLevel = [&](int, const CIsoSurface&) { return ++shown, 1; };
    EXPECT_EQ(IsoDecode(header, s, l, &g, decoded, error, onLevel), 0) << c.claimed;
    EXPECT_NE(error.find(c.message), std::string::npos) << c.claimed << ": " << error;
    if (c.levelsShown >= 0) {
      EXPECT_EQ(shown, c.levelsShown) << c.claimed;
    }
    EXPECT_LT(shown, 6) << c.claimed;
    EXPECT_EQ(decoded.VertexCount(), 0) << c.claimed;
  }
}

TEST(IsoModelSet, ModelsAreMadeUniformOnFirstUseAndChecked) {
  CIsoModelSet set;
  std::string error;
  EXPECT_EQ(set.Reset(65536, error), 0);
  EXPECT_FALSE(error.empty());
  ASSERT_EQ(set.Reset(300, error), 1);
  AcModel* first = set.Get(7, 5);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->CumFreq(), (std::vector<int>{5, 4, 3, 2, 1, 0}));
  first->Update(2);
  EXPECT_EQ(set.Get(7, 5), first); // the same model, adapted
  EXPECT_EQ(first->Freq()[2], 2);
  for (int context : {-1, 300}) {
    EXPECT_EQ(set.Get(context, 2), nullptr) << context;
    EXPECT_FALSE(set.Error().empty());
  }
  ASSERT_EQ(set.Reset(300, error), 1);
  EXPECT_EQ(set.Get(8, 0), nullptr); // a model without symbols cannot be made
  EXPECT_FALSE(set.Error().empty());
}

} // namespace
