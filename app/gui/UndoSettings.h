#pragma once

namespace orvex {

// Reads the bounds of the documents' undo histories from the program's
// settings (group "Undo": "Max megabytes", "Max steps") and makes them the
// limits of every history made from now on. Missing or unusable values
// are written back as the defaults, so the settings file shows what can
// be changed.
void ApplyUndoSettings();

} // namespace orvex
