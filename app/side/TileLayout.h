#pragma once

// Where the tiles of a tiled picture go: an n by n grid of tiles that
// overlap their neighbours, panned by an offset and drawn only when they
// touch the client area; the names of the tile files of a level of detail.

#include <string>

namespace orvex {

struct TilePlacement {
  int x = 0;
  int y = 0;
  bool visible = false;
};

// Tile i (row-major) of a grid n wide, tiles width by height, overlap in
// pixels, panned by (panX, panY), in a client area clientWidth by
// clientHeight.
TilePlacement PlaceTile(int i, int n, int width, int height, int overlap, int panX, int panY,
                        int clientWidth, int clientHeight);

// The overlap kept in 0 .. smallest tile side - 1 (0 without tiles).
int ClampOverlap(int overlap, int smallestSide);

// The file of tile i of a level: prefix, first index + i in 6 digits, ".rgb".
std::string TileFileName(const std::string& prefix, int firstIndex, int i);

// The three levels of detail of the map window.
struct TileLevel {
  int overlap;
  int grid;
  int firstIndex;
  const char* prefix;
};
const TileLevel& MapLevel(int lod); // lod 1 .. 3

} // namespace orvex
