#pragma once

#include <string>

#include "io/RgbImage.h"

// Reads an 8-bit or 16-bit PNG file of any color type into RGB (alpha is
// dropped, gray is spread to the three channels). 0 with the reason in
// error on failure.
int ReadPng(const std::string& fileName, CRgbImage& image, std::string& error);
