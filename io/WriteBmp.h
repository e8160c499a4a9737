#pragma once

#include <string>
#include <vector>

#include "io/RgbImage.h"

// The picture as a 24-bit uncompressed bitmap: bottom-up rows of blue,
// green, red padded to 4 bytes (the pixel layout of a BMP file and of an
// uncompressed video frame).
void BottomUpBgr(const CRgbImage& image, std::vector<unsigned char>& out);

// Writes the picture as a 24-bit ".bmp" file through a temporary file
// renamed into place. 0 with the reason in error on failure.
int WriteBmp24(const std::string& fileName, const CRgbImage& image, std::string& error);
