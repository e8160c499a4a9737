#pragma once

#include <string>

#include "io/RgbImage.h"

// Writes the picture as an 8-bit RGB PNG file. The file is written under a
// temporary name and renamed into place, so a failed write leaves an old
// file of that name as it was. 0 with the reason in error on failure.
int WritePng(const std::string& fileName, const CRgbImage& image, std::string& error);
