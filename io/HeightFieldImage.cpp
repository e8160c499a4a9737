#include "io/HeightFieldImage.h"

#include <algorithm>
#include <cctype>

#include "io/Texture.h"

static bool EndsWithLower(const std::string& name, const char* tail) {
  const std::string t(tail);
  if (name.size() < t.size()) return false;
  return std::equal(
      t.begin(), t.end(), name.end() - static_cast<long>(t.size()),
      [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); });
}

int ReadHeightFieldImage(const std::string& fileName, CTexture& texture, std::string& error) {
  // BMP and DIB files: blue first, bottom row first
  const bool bmp = EndsWithLower(fileName, ".bmp") || EndsWithLower(fileName, ".dib");
  const int ok = bmp ? texture.ReadBmp(fileName) : texture.ReadFile(fileName);
  if (!ok || !texture.IsValid()) {
    error =
        texture.GetError().empty() ? "Unable to read the image " + fileName : texture.GetError();
    return 0;
  }
  if (bmp)
    texture.SwapRedBlue();
  else
    texture.FlipVertical();
  return 1;
}
