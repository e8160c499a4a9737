#include "io/HeightFieldImage.h"

#include "io/FormatTable.h"
#include "io/Texture.h"

int ReadHeightFieldImage(const std::string& fileName, CTexture& texture, std::string& error) {
  // BMP and DIB files: blue first, bottom row first
  const bool bmp = EndsWithNoCase(fileName, ".bmp") || EndsWithNoCase(fileName, ".dib");
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
