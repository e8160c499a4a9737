#include "app/gui/StandardBar.h"

#include <QAction>
#include <QMainWindow>
#include <QToolBar>

#include "app/gui/FrameCommands.h"
#include "app/gui/MenuBuilder.h"
#include "app/gui/ToolbarIcons.h"

namespace orvex {
namespace {

struct Slot {
  const char* command; // null: separator
  ToolIcon icon;
};

const Slot kSlots[kStandardBarSlots] = {
    {"File/New", ToolIcon::New},
    {"File/Open...", ToolIcon::Open},
    {"File/Save", ToolIcon::Save},
    {nullptr, ToolIcon::New},
    {"Mode/Light", ToolIcon::Light},
    {"Mode/Flat", ToolIcon::Flat},
    {"Mode/Line", ToolIcon::Line},
    {"Mode/Gouraud", ToolIcon::Gouraud},
    {"Mode/Material/Brass", ToolIcon::Brass},
    {"Mode/Material/Pewter", ToolIcon::Pewter},
    {"Mode/Material/Light blue", ToolIcon::LightBlue},
    {nullptr, ToolIcon::New},
    {"Algorithms/Surface subdivision/Simple (1->4)", ToolIcon::Simple},
    {"Algorithms/Surface subdivision/Loop/Std", ToolIcon::Loop},
    {"Algorithms/Color mesh/Curvature", ToolIcon::Curvature},
    {nullptr, ToolIcon::New},
    {"32986", ToolIcon::Coding}, // the command bound to Ctrl+Z
    {nullptr, ToolIcon::New},
    {"Geometry/Reset", ToolIcon::Reset},
    {"Geometry/Speed/Translation/Increase", ToolIcon::TranslationIncrease},
    {"Geometry/Speed/Translation/Decrease", ToolIcon::TranslationDecrease},
    {nullptr, ToolIcon::New},
    {"View/Full screen", ToolIcon::FullScreen},
    {"Help/About Orvex...", ToolIcon::About},
    {"Help/About Orvex...", ToolIcon::About},
};

} // namespace

QToolBar* BuildStandardBar(QMainWindow& frame, CCommandActions& actions) {
  auto* bar = new QToolBar("Standard", &frame);
  bar->setObjectName("Standard");
  bar->setIconSize(QSize(23, 22));
  bar->setMovable(true);
  bar->setFloatable(true);
  bar->setAllowedAreas(Qt::AllToolBarAreas);
  const CCommandRegistry& registry = WindowRegistry();
  for (const Slot& slot : kSlots) {
    if (!slot.command) {
      bar->addSeparator();
      continue;
    }
    const CommandInfo* info = registry.Find(slot.command);
    QAction* action = actions.AddButton(info ? info->id : 0, ToolbarIcon(slot.icon));
    bar->addAction(action);
  }
  return bar;
}

} // namespace orvex
