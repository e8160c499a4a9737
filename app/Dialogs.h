#pragma once

#include <vector>

#include "app/CommandParams.h"

namespace orvex {

// The "Sampling" dialog of image files (File/Open of an image, and
// Predefined/Map from image...).
std::vector<ParamField> SamplingDialogFields();
// Field of Predefined/Map from image... naming the image (empty: an open
// dialog asks for it).
constexpr const char* kImageFileField = "Image file";

} // namespace orvex
