#pragma once

#include <string>

class CTexture;

// Reads an image to sample as a height field (".bmp" and ".dib" through the
// BMP reader, ".jpg", ".jpeg", ".rgb") and turns its pixels into true red,
// green, blue with row 0 at the bottom of the picture, whatever the file
// kind (only BMP stores blue first and the bottom row first). 0 with an
// error when the image cannot be read.
int ReadHeightFieldImage(const std::string& fileName, CTexture& texture, std::string& error);
