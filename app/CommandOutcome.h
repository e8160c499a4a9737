#pragma once

#include <string>
#include <vector>

#include "app/CommandRegistry.h"

namespace orvex {

// What one run of a command did, as the dispatcher saw it. Front ends show
// these things as they happen; the record keeps them for whoever ran the
// command (the batch runner, a script, a test).
struct CCommandOutcome {
  CommandResult result = CommandResult::Unavailable;
  std::vector<std::string> statusLines;  // status texts, in order
  std::vector<std::string> messages;     // message boxes, in order
  std::vector<std::string> tables;       // report tables put on the clipboard
  std::vector<std::string> filesWritten; // full paths, each once, in order
  // Why the command did not run (unknown, unavailable); empty when it ran.
  std::string error;
  // Time spent in the handler.
  double seconds = 0.0;

  // Records a file once, however many times a command rewrote it.
  void AddFileWritten(const std::string& path);
};

} // namespace orvex
