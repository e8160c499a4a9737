#pragma once

#include "app/CommandRegistry.h"

class CMainFrame;
class COrvexDoc;

namespace orvex {

// The window program's registry: the application's commands and those the
// main frame serves itself (the View switches and the Window menu), which
// find their frame through the document host of the command. Built once,
// shared by every main frame.
const CCommandRegistry& WindowRegistry();

// Commands with a hand-made dialog ("Properties", "Range", "About 3d
// Orvexbox"): shows the dialog and returns true; false for other commands.
// The Apply buttons of "Range" run its command through the dispatcher.
bool RunHandMadeDialog(CMainFrame& frame, const CommandInfo& info, COrvexDoc* doc);

} // namespace orvex
