#pragma once

#include <QImage>

#include "io/RgbImage.h"
#include "io/VectorSink.h"

namespace orvex {

// A Qt image as top-down RGB rows, and back.
CRgbImage RgbFromImage(const QImage& image);
QImage ImageFromRgb(const CRgbImage& image);

// The vector picture painted with antialiasing on white (or on its
// background), for the clipboard's raster copy.
QImage PaintPicture(const CVectorPicture& picture);

} // namespace orvex
