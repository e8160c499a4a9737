#include "app/side/TileLayout.h"

#include <algorithm>
#include <cstdio>

namespace orvex {

TilePlacement PlaceTile(int i, int n, int width, int height, int overlap, int panX, int panY,
                        int clientWidth, int clientHeight) {
  TilePlacement placement;
  if (n <= 0) return placement;
  placement.x = panX + (i % n) * (width - overlap);
  placement.y = panY + (i / n) * (height - overlap);
  placement.visible = placement.x + width >= 0 && placement.x <= clientWidth &&
                      placement.y + height >= 0 && placement.y <= clientHeight;
  return placement;
}

int ClampOverlap(int overlap, int smallestSide) {
  return std::clamp(overlap, 0, std::max(0, smallestSide - 1));
}

std::string TileFileName(const std::string& prefix, int firstIndex, int i) {
  char number[16];
  std::snprintf(number, sizeof number, "%06d", firstIndex + i);
  return prefix + number + ".rgb";
}

const TileLevel& MapLevel(int lod) {
  static const TileLevel kLevels[3] = {
      {40, 2, 1360, "spot_"}, {40, 4, 1344, "spot_"}, {40, 8, 1281, "spot_"}};
  return kLevels[std::clamp(lod, 1, 3) - 1];
}

} // namespace orvex
