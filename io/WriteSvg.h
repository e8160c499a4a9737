#pragma once

#include <string>

#include "io/VectorSink.h"

// The picture as an SVG 1.1 document: one element per primitive in
// drawing order, coordinates in pixels to 1/100, colours as "#rrggbb".
std::string SvgText(const CVectorPicture& picture);

// Writes SvgText to fileName through a temporary file renamed into place.
// 0 with the reason in error on failure.
int WriteSvg(const std::string& fileName, const CVectorPicture& picture, std::string& error);
