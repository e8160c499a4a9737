#pragma once

#include <cstdio>
#include <functional>
#include <string>

#include "app/BatchCommandLine.h"
#include "app/ViewContext.h"

class COrvexDoc;

namespace orvex {

class CRenderViewState;

// Renders the document as a render view in the given state shows it in a
// width x height client area and writes the picture as a PNG file; false
// with the reason. The batch program supplies one that draws offscreen
// (the document layer makes no GL context).
using SnapshotWriter =
    std::function<bool(COrvexDoc&, const CRenderViewState&, int width, int height,
                       const std::string& fileName, std::string& error)>;

// Size of a snapshot when neither the command line nor the view gives one.
constexpr int kSnapshotWidth = 640;
constexpr int kSnapshotHeight = 480;

// Exit status of orvexbox-batch.
enum BatchExit { kExitOk = 0, kExitFailure = 1, kExitUsage = 2 };

// Opens the input through the document's open dispatch, runs the commands
// through the dispatcher (status lines on out), saves through the save
// dispatch, writes the snapshot of the active document's view and prints
// the scene. Messages and errors go to err. Without a snapshot writer,
// --snapshot is refused; without a view context provider, the commands
// that read the view's pixels or draw it (EPS, Copy, AVI) fail.
int RunBatch(const BatchCommandLine& line, FILE* out = stdout, FILE* err = stderr,
             const SnapshotWriter& snapshot = nullptr,
             const ViewContextProvider& viewContext = nullptr);

// One line per registered command: identifier, path or name, keys, who
// serves it and whether it runs here; then one line per dialog field.
void ListCommands(FILE* out);

} // namespace orvex
