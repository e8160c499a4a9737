#pragma once

#include "io/RgbImage.h"

namespace orvex {

// The pixels of the bound framebuffer's width x height area at the origin,
// read with one glReadPixels (a view's context must be current), as
// top-down rows. false when the size is empty.
bool CaptureClientPixels(int width, int height, CRgbImage& image);

} // namespace orvex
