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

// The export commands' output file, given on the batch command line only
// (the window program asks with a file dialog or uses the default name).
constexpr const char* kExportFileField = "File";
constexpr const char* kMetafileFile = "metafile.svg";
// "Edit/Window metafile/Parameters...": the mode (a button text of the
// dialog), the colours as "#RRGGBB", the ramp (a preset's name) and the
// file.
constexpr const char* kMetafileDialogTitle = "Windows Enhanced Metafile";
constexpr const char* kMetafileModeField = "Mode";
constexpr const char* kMetafileRampField = "Ramp";
std::vector<ParamField> MetafileParameterFields();
// The names of the colour ramp presets, in the order of the "Ramp" field.
const std::vector<std::string>& RampPresetNames();

} // namespace orvex
