#include "app/gui/FrameCommands.h"

#include "app/OrvexDoc.h"
#include "app/commands/Handlers.h"
#include "app/gui/AboutDialog.h"
#include "app/gui/DataAnalysisWindow.h"
#include "app/gui/MainFrame.h"
#include "app/gui/MultiviewDialog.h"
#include "app/gui/PropertiesDialog.h"
#include "app/gui/RangeDialog.h"
#include "app/gui/SplineEditor.h"
#include "app/gui/TextureMapWindow.h"

namespace orvex {
namespace {

using FrameAction = void (*)(CMainFrame&, COrvexDoc*);

CommandBinding OnFrame(const char* path, FrameAction action) {
  auto handler = [action](CCommandContext& context) {
    auto* host = dynamic_cast<CQtDocumentHost*>(context.host);
    if (!host) return CommandResult::Unavailable;
    action(host->Frame(), context.doc);
    return CommandResult::Done;
  };
  return {path, handler, kEffectFrame, Redraw::None};
}

std::vector<CommandBinding> FrameBindings() {
  return {
      OnFrame("View/Toolbar", [](CMainFrame& f, COrvexDoc*) { f.ToggleStandardBar(); }),
      OnFrame("View/Status Bar", [](CMainFrame& f, COrvexDoc*) { f.ToggleStatusBar(); }),
      OnFrame("View/Full screen", [](CMainFrame& f, COrvexDoc*) { f.ToggleFullScreen(); }),
      OnFrame("Window/New Window", [](CMainFrame& f, COrvexDoc* d) { f.OpenWindow(d); }),
      OnFrame("Window/Cascade", [](CMainFrame& f, COrvexDoc*) { f.Cascade(); }),
      OnFrame("Window/Tile horizontally", [](CMainFrame& f, COrvexDoc*) { f.TileHorizontally(); }),
      OnFrame("Window/Tile vertically", [](CMainFrame& f, COrvexDoc*) { f.TileVertically(); }),
      OnFrame("Window/Arrange Icons", [](CMainFrame& f, COrvexDoc*) { f.ArrangeIcons(); }),
      OnFrame("Window/Spline...", [](CMainFrame& f, COrvexDoc*) { CSplineEditor(&f).exec(); }),
      OnFrame("Textures/Map",
              [](CMainFrame& f, COrvexDoc* d) {
                CTextureMapWindow(QString::fromStdString(d ? d->GetFolder() : ""), &f).exec();
              }),
  };
}

} // namespace

const CCommandRegistry& WindowRegistry() {
  static const std::unique_ptr<CCommandRegistry> registry =
      BuildApplicationRegistry(FrameBindings());
  return *registry;
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
  // The Multiview and data-analysis windows replace the batch handlers.
  if (&info == registry.FindByPath("Window/Multi view...")) {
    CMultiviewDialog(*doc, &frame).exec();
    return true;
  }
  if (&info == registry.FindByPath("Debug/Drome/Analysis")) {
    CDataAnalysisWindow(QString::fromStdString(doc->GetFolder()), &frame).exec();
    return true;
  }
  if (&info == registry.FindByPath("Geometry/Range...")) {
    CRangeDialog(frame.Dispatcher(), info, *doc, &frame).exec();
    return true;
  }
  return false;
}

} // namespace orvex
