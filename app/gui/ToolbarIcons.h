#pragma once

#include <QIcon>

namespace orvex {

// The images of the "Standard" button bar, 23 by 22 pixels, drawn in code.
enum class ToolIcon {
  New,
  Open,
  Save,
  Light,
  Flat,
  Line,
  Gouraud,
  Brass,
  Pewter,
  LightBlue,
  Simple,
  Loop,
  Curvature,
  Coding,
  Reset,
  TranslationIncrease,
  TranslationDecrease,
  FullScreen,
  About
};

QIcon ToolbarIcon(ToolIcon icon);

} // namespace orvex
