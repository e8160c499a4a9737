#pragma once

#include <vector>

#include "app/CommandParams.h"

namespace orvex {

// The "Sampling" dialog of image files (File/Open of an image, and
// Predefined/Map from image...).
std::vector<ParamSpec> SamplingDialogFields();

} // namespace orvex
