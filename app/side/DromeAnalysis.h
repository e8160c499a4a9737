#pragma once

// The steps of the data-analysis window that do not need a window, shared
// by the dialog and the batch command: the processing choices, the picture
// name and its atomic write.

#include <string>

#include "app/side/ScalarImage.h"
#include "io/RgbImage.h"

namespace orvex {

enum class DromeProcess { None, Fill, RecursiveFill, Gaussian3x3 };

// The "Process" choices of the batch command, in menu order.
const char* const kDromeProcessNames[] = {"None", "Fill", "Recursive filling", "Gaussain 3x3"};

// Runs one process on the image; 0 with the filter's message on failure.
int RunDromeProcess(CScalarImage& image, DromeProcess process, std::string& error);

// "drome_%d_%d.bmp" from the picture's width and height.
std::string DromeFileName(int width, int height);

// Writes the display picture into folder as DromeFileName; returns the
// path written, or "" with the reason in error.
std::string SaveDromePicture(const std::string& folder, const CRgbImage& display,
                             std::string& error);

} // namespace orvex
