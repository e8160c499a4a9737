// The tiled picture of the map window: tile positions with overlap and
// pan, tiles outside the client area skipped, the overlap bounds, the tile
// names and loading a level with unreadable tiles.

#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <string>

#include "app/side/TileLayout.h"
#include "app/side/TileSet.h"
#include "tests/support/SgiFiles.h"
#include "tests/support/TestFolder.h"

using namespace orvex;

namespace {

TEST(TileLayout, OverlappingTilesStartTileSideMinusOverlapApart) {
  struct Case {
    int i, n, panX, panY;
    int x, y;
    bool visible;
  };
  // 256-pixel tiles, overlap 40, client 600 by 400.
  const Case cases[] = {
      {0, 2, 0, 0, 0, 0, true},         {1, 2, 0, 0, 216, 0, true},
      {2, 2, 0, 0, 0, 216, true},       {3, 2, 0, 0, 216, 216, true},
      {7, 8, 0, 0, 7 * 216, 0, false}, // right of the client area
      {2, 8, 0, 0, 432, 0, true},       {8, 8, 0, 0, 0, 216, true},
      {56, 8, 0, 0, 0, 7 * 216, false}, // below it
      {0, 2, -256, 0, -256, 0, true},   // touching the left side
      {0, 2, -257, 0, -257, 0, false},  // just left of it
      {0, 1, 600, 400, 600, 400, true}, // touching the far corner
      {0, 1, 601, 0, 601, 0, false},    {1, 2, 30, -20, 246, -20, true},
  };
  for (const Case& c : cases) {
    const TilePlacement p = PlaceTile(c.i, c.n, 256, 256, 40, c.panX, c.panY, 600, 400);
    EXPECT_EQ(p.x, c.x) << c.i;
    EXPECT_EQ(p.y, c.y) << c.i;
    EXPECT_EQ(p.visible, c.visible) << c.i;
  }
}

TEST(TileLayout, OverlapNamesAndLevels) {
  EXPECT_EQ(ClampOverlap(41, 256), 41);
  EXPECT_EQ(ClampOverlap(-1, 256), 0);
  EXPECT_EQ(ClampOverlap(300, 256), 255);
  EXPECT_EQ(ClampOverlap(5, 0), 0);
  EXPECT_EQ(TileFileName("spot_", 1360, 0), "spot_001360.rgb");
  EXPECT_EQ(TileFileName("spot_", 1281, 63), "spot_001344.rgb");
  struct Level {
    int lod, grid, first;
  };
  for (const Level& l : {Level{1, 2, 1360}, Level{2, 4, 1344}, Level{3, 8, 1281}}) {
    EXPECT_EQ(MapLevel(l.lod).grid, l.grid);
    EXPECT_EQ(MapLevel(l.lod).firstIndex, l.first);
  }
}

TEST(TileSet, UnreadableTilesAreCountedInOneMessage) {
  const auto folder = testsupport::FreshTestFolder("tiles_");
  const auto red = [](int, int) { return std::array<unsigned char, 3>{200, 10, 10}; };
  const TileLevel& level = MapLevel(1);
  ASSERT_TRUE(
      testsupport::WriteSgiImage((folder / TileFileName("spot_", 1360, 0)).string(), 64, 48, red));
  ASSERT_TRUE(
      testsupport::WriteSgiImage((folder / TileFileName("spot_", 1360, 3)).string(), 64, 64, red));
  std::ofstream(folder / TileFileName("spot_", 1360, 2)) << "not a picture";
  CTileSet tiles;
  const std::string message = tiles.LoadLevel(folder.string(), level);
  EXPECT_EQ(message.rfind("2 of 4 tiles could not be read (first: spot_001361.rgb", 0), 0u)
      << message;
  ASSERT_EQ(tiles.m_Tiles.size(), 4u);
  EXPECT_TRUE(tiles.m_Tiles[0]->IsValid());
  EXPECT_FALSE(tiles.m_Tiles[1]->IsValid());
  EXPECT_EQ(tiles.SmallestSide(), 48);
  EXPECT_EQ(tiles.m_Overlap, 40);
  tiles.ChangeOverlap(100);
  EXPECT_EQ(tiles.m_Overlap, 47);
  tiles.ChangeOverlap(-60);
  EXPECT_EQ(tiles.m_Overlap, 0);
  // A level with none of its files: every tile empty, overlap 0.
  EXPECT_EQ(tiles.LoadLevel((folder / "none").string(), MapLevel(3)).rfind("64 of 64", 0), 0u);
  EXPECT_EQ(tiles.m_Overlap, 0);
  EXPECT_NE(tiles.LoadImage((folder / "missing.bmp").string()), "");
  EXPECT_TRUE(tiles.m_Tiles.empty());
}

} // namespace
