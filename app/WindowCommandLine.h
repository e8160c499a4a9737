#pragma once

// The command line of the window program, read before any window or
// display connection exists, so that --help and --version answer on a
// machine without a display:
//   orvexbox [FILE]
//   orvexbox --help | --version
// Options of the toolkit (-platform NAME, -style NAME, ...) are left for it.

#include <string>
#include <vector>

namespace orvex {

struct WindowCommandLine {
  std::string file; // empty: start with no document
  bool help = false;
  bool version = false;

  // false with error set on an unknown option, a second file or a file
  // that does not exist.
  bool Parse(const std::vector<std::string>& args, std::string& error);
};

const char* WindowUsage();

} // namespace orvex
