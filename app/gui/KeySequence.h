#pragma once

#include <QKeySequence>
#include <string>

namespace orvex {

// The Qt key sequence of a registry accelerator ("Ctrl+L", "Num+3",
// "Ctrl+Num++", "Del"); an empty sequence when the key is not known.
QKeySequence KeySequenceOf(const std::string& key);

} // namespace orvex
