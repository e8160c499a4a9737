#include "app/gui/FrameCommands.h"

#include "app/Handlers.h"
#include "app/gui/AboutDialog.h"
#include "app/gui/MainFrame.h"
#include "app/gui/PropertiesDialog.h"
#include "app/gui/RangeDialog.h"

namespace orvex {
namespace {

using FrameAction = void (*)(CMainFrame&, COrvexDoc*);

void ServeFrame(CCommandRegistry& registry, const char* path, FrameAction action) {
  Serve(
      registry, path,
      [action](CCommandContext& context) {
        auto* host = dynamic_cast<CQtDocumentHost*>(context.host);
        if (!host) return CommandResult::Unavailable;
        action(host->Frame(), context.doc);
        return CommandResult::Done;
      },
      Redraw::None);
}

} // namespace

void BindFrameHandlers(CCommandRegistry& registry) {
  ServeFrame(registry, "View/Toolbar", [](CMainFrame& f, COrvexDoc*) { f.ToggleStandardBar(); });
  ServeFrame(registry, "View/Status Bar", [](CMainFrame& f, COrvexDoc*) { f.ToggleStatusBar(); });
  ServeFrame(registry, "View/Full screen", [](CMainFrame& f, COrvexDoc*) { f.ToggleFullScreen(); });
  ServeFrame(registry, "Window/New Window", [](CMainFrame& f, COrvexDoc* d) { f.OpenWindow(d); });
  ServeFrame(registry, "Window/Cascade", [](CMainFrame& f, COrvexDoc*) { f.Cascade(); });
  ServeFrame(registry, "Window/Tile horizontally",
             [](CMainFrame& f, COrvexDoc*) { f.TileHorizontally(); });
  ServeFrame(registry, "Window/Tile vertically",
             [](CMainFrame& f, COrvexDoc*) { f.TileVertically(); });
  ServeFrame(registry, "Window/Arrange Icons", [](CMainFrame& f, COrvexDoc*) { f.ArrangeIcons(); });
}

bool RunHandMadeDialog(CMainFrame& frame, const CommandInfo& info, COrvexDoc* doc) {
  const CCommandRegistry& registry = frame.Registry();
  if (!registry.IsEnabled(info, doc)) return false;
  if (&info == registry.FindByPath("Help/About Orvex...")) {
    CAboutDialog(&frame).exec();
    return true;
  }
  if (!doc) return false;
  if (&info == registry.FindByPath("Geometry/Properties...")) {
    CPropertiesDialog(*doc, &frame).exec();
    return true;
  }
  if (&info == registry.FindByPath("Geometry/Range...")) {
    CRangeDialog(frame.Dispatcher(), info, *doc, &frame).exec();
    return true;
  }
  return false;
}

} // namespace orvex
