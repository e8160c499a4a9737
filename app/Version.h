#pragma once

// The name and version both programs print for --version ("3d OrvexBox
// 0.1"); the number is the project's, set by the build.

#include <string>

namespace orvex {

inline std::string VersionText() {
  return std::string("3d OrvexBox ") + ORVEX_VERSION;
}

} // namespace orvex
