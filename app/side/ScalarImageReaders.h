#pragma once

// Readers of the data-analysis window's scalar images.
//
// ".pts": a line "width height" (1 .. 16384 each), then lines "x y value"
// setting pixel (x, y) (integers inside the image, value >= 0); other pixels
// stay empty (-1).
// ".faces": the same first line, then lines "x0 y0 x1 y1 x2 y2 value",
// triangles in pixel coordinates (pixel x, y has its centre at x, y) whose
// covered pixel centres (inside or on an edge) take the value; later lines
// win.
// The maximum is the largest value of the image. Errors name the line.

#include <string>

#include "app/side/ScalarImage.h"

namespace orvex {

constexpr int kScalarImageMaxSide = 16384;

// maxSide lowers the largest side accepted (the fuzz targets keep images
// small); sizes above it are refused like sizes above 16384.
int ReadPtsText(const std::string& text, CScalarImage& image, std::string& error,
                int maxSide = kScalarImageMaxSide);
int ReadFacesText(const std::string& text, CScalarImage& image, std::string& error,
                  int maxSide = kScalarImageMaxSide);

// Chooses the reader by the file ending (".pts" or ".faces"); the image is
// replaced only on success.
int ReadScalarImageFile(const std::string& fileName, CScalarImage& image, std::string& error);

} // namespace orvex
