#pragma once

class QToolBar;
class QMainWindow;

namespace orvex {

class CCommandActions;

// The "Standard" button bar: 25 slots, buttons and separators, in the
// order of the main frame's bar.
constexpr int kStandardBarSlots = 25;
QToolBar* BuildStandardBar(QMainWindow& frame, CCommandActions& actions);

} // namespace orvex
