#include "app/side/TileSet.h"

#include <algorithm>
#include <filesystem>

namespace orvex {

void CTileSet::Clear() {
  m_Tiles.clear();
  m_Grid = 0;
}

std::string CTileSet::LoadLevel(const std::string& folder, const TileLevel& level) {
  Clear();
  m_Grid = level.grid;
  const int count = level.grid * level.grid;
  int failed = 0;
  std::string first;
  for (int i = 0; i < count; ++i) {
    const std::string name = TileFileName(level.prefix, level.firstIndex, i);
    auto tile = std::make_unique<CTexture>();
    if (!tile->ReadRgb((std::filesystem::path(folder) / name).string())) {
      // An unreadable tile stays empty; the others still draw.
      tile->Free();
      if (failed++ == 0)
        first = name + ": " + (tile->GetError().empty() ? "cannot be read" : tile->GetError());
    }
    m_Tiles.push_back(std::move(tile));
  }
  m_Overlap = ClampOverlap(level.overlap, SmallestSide());
  if (failed == 0) return "";
  return std::to_string(failed) + " of " + std::to_string(count) +
         " tiles could not be read (first: " + first + ")";
}

std::string CTileSet::LoadImage(const std::string& fileName) {
  Clear();
  auto image = std::make_unique<CTexture>();
  if (!image->ReadFile(fileName)) return fileName + ": " + image->GetError();
  image->SwapRedBlue();
  m_Grid = 1;
  m_Tiles.push_back(std::move(image));
  m_Overlap = ClampOverlap(m_Overlap, SmallestSide());
  return "";
}

int CTileSet::SmallestSide() const {
  int smallest = 0;
  for (const auto& tile : m_Tiles) {
    if (!tile->IsValid()) continue;
    const int side = static_cast<int>(std::min(tile->GetWidth(), tile->GetHeight()));
    smallest = smallest == 0 ? side : std::min(smallest, side);
  }
  return smallest;
}

} // namespace orvex
