#pragma once

// The tiles of the map window: a level of detail read from SGI images in a
// folder, or one image on its own. Unreadable tiles stay empty and are
// reported in one message.

#include <memory>
#include <string>
#include <vector>

#include "app/side/TileLayout.h"
#include "io/Texture.h"

namespace orvex {

class CTileSet {
public:
  std::vector<std::unique_ptr<CTexture>> m_Tiles; // empty textures for unreadable tiles
  int m_Grid = 0;
  int m_Overlap = 0;

  // Reads the n by n tiles of the level from folder. "" when all were read,
  // otherwise "%d of %d tiles could not be read" with the first name and
  // reason.
  std::string LoadLevel(const std::string& folder, const TileLevel& level);
  // Replaces the tiles by the one image (red and blue exchanged after
  // reading); the reason on failure, the tiles then empty.
  std::string LoadImage(const std::string& fileName);
  void Clear();

  // The smallest side of the tiles that were read (0 without any).
  int SmallestSide() const;
  void ChangeOverlap(int delta) { m_Overlap = ClampOverlap(m_Overlap + delta, SmallestSide()); }
};

} // namespace orvex
