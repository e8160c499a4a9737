#pragma once

#include <cstdio>

#include "app/BatchCommandLine.h"

namespace orvex {

// Exit status of orvexbox-batch.
enum BatchExit { kExitOk = 0, kExitFailure = 1, kExitUsage = 2 };

// Opens the input through the document's open dispatch, runs the commands
// through the dispatcher (status lines on out), saves through the save
// dispatch and prints the scene. Messages and errors go to err.
int RunBatch(const BatchCommandLine& line, FILE* out = stdout, FILE* err = stderr);

// One line per registered command: identifier, path or name, keys, who
// serves it and whether it runs here; then one line per dialog field.
void ListCommands(FILE* out);

} // namespace orvex
