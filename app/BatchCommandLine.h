#pragma once

#include <string>
#include <utility>
#include <vector>

namespace orvex {

// One --run with the --set values that follow it.
struct BatchRun {
  std::string command;
  std::vector<std::pair<std::string, std::string>> sets; // label, value
};

// The command line of orvexbox-batch:
//   orvexbox-batch INPUT [--run COMMAND [--set "Label=value"]...]...
//                  [--save OUTPUT] [--info] [--snapshot PICTURE.png]
//                  [--snapshot-size WxH] [--yes]
//   orvexbox-batch --list-commands | --help | --version
struct BatchCommandLine {
  std::string input;
  std::vector<BatchRun> runs;
  std::string save;
  std::string snapshot;
  // --snapshot-size; 0 x 0 takes the view's own size
  int snapshotWidth = 0;
  int snapshotHeight = 0;
  bool info = false;
  bool yes = false;
  bool listCommands = false;
  bool help = false;
  bool version = false;

  // false with error set on a malformed command line.
  bool Parse(const std::vector<std::string>& args, std::string& error);
};

const char* BatchUsage();

} // namespace orvex
