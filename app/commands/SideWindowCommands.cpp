// The side windows without a window: Debug/Drome/Analysis reads a ".pts" or
// ".faces" file, runs one process and writes the grey picture; Window/Multi
// view... renders the four panes into one picture. In the window program
// the "Data analysis" and "Multiview" windows replace these handlers.

#include <string>

#include "app/DocumentHost.h"
#include "app/OrvexDoc.h"
#include "app/RenderViewState.h"
#include "app/commands/Handlers.h"
#include "app/side/DromeAnalysis.h"
#include "app/side/MultiviewPaint.h"
#include "app/side/ScalarImageReaders.h"
#include "io/WritePng.h"

namespace orvex {

namespace {

CommandResult Fail(CCommandContext& context, const std::string& message) {
  context.ui.ShowMessage(message);
  return CommandResult::Failed;
}

bool ProcessNamed(const std::string& name, DromeProcess& process) {
  for (int i = 0; i < 4; ++i)
    if (name == kDromeProcessNames[i]) {
      process = static_cast<DromeProcess>(i);
      return true;
    }
  return false;
}

CommandResult DromeAnalysis(CCommandContext& context) {
  const std::string file = context.params.Text("File");
  if (file.empty()) return Fail(context, "Data analysis needs a \"File\" (.pts or .faces)");
  DromeProcess process = DromeProcess::None;
  if (!ProcessNamed(context.params.Text("Process"), process))
    return Fail(context, "Unknown process \"" + context.params.Text("Process") +
                             "\" (None, Fill, Recursive filling or Gaussain 3x3)");
  CScalarImage image;
  std::string error;
  if (!ReadScalarImageFile(context.doc->OutputPath(file), image, error))
    return Fail(context, error);
  if (!RunDromeProcess(image, process, error)) return Fail(context, error);
  CRgbImage display;
  image.RefreshDisplay(display);
  const std::string path = SaveDromePicture(context.doc->GetFolder(), display, error);
  if (path.empty()) return Fail(context, error);
  context.ReportFileWritten(path);
  context.ui.StatusMessage("Data analysis written (%d x %d)", display.m_Width, display.m_Height);
  return CommandResult::Done;
}

constexpr int kPaneWidth = 320, kPaneHeight = 240;

// The four Multiview panes of the active view's transform in one picture.
CommandResult MultiviewPicture(CCommandContext& context) {
  const std::string name = context.params.Text("File");
  if (name.empty()) return Fail(context, "Multiview needs a \"File\"");
  CRenderViewState* view = context.host ? context.host->ActiveViewState(context.doc) : nullptr;
  if (!view) return Fail(context, "No view to draw the panes from");
  // The context is made at the picture's size; the view keeps its own.
  const int width = view->m_Width, height = view->m_Height;
  view->m_Width = 2 * kPaneWidth;
  view->m_Height = 2 * kPaneHeight;
  CRgbImage picture;
  std::string error;
  const COrvexDoc& doc = *context.doc;
  const bool drawn = context.host->RunInViewContext(
      context.doc, false,
      [&](const CRenderViewState& shared, std::string& why) {
        if (glRenderMultiviewPicture(shared, doc, kPaneWidth, kPaneHeight, picture)) return true;
        why = "The panes have no pixels";
        return false;
      },
      error);
  view->m_Width = width;
  view->m_Height = height;
  if (!drawn) return Fail(context, error);
  const std::string path = context.doc->OutputPath(name);
  if (!WritePng(path, picture, error)) return Fail(context, error);
  context.ReportFileWritten(path);
  context.ui.StatusMessage("Multiview written (%d x %d)", picture.m_Width, picture.m_Height);
  return CommandResult::Done;
}

} // namespace

std::vector<CommandBinding> SideWindowCommands() {
  CommandDialog dialog{
      "Data analysis", {CommandLineParam("File", ""), CommandLineParam("Process", "None")}, {}};
  return {
      CommandBinding("Debug/Drome/Analysis", DromeAnalysis, kEffectFiles, Redraw::None)
          .Dialog(dialog),
      CommandBinding("Window/Multi view...", MultiviewPicture, kEffectFiles, Redraw::None)
          .Dialog({"Multiview", {CommandLineParam("File", "multiview.png")}, {}}),
  };
}

bool NeedsAWindow(const CommandInfo& info) {
  std::string path;
  for (char c : info.path)
    if (c != '&') path += c;
  return path == "Textures/Map" || path == "Window/Spline...";
}

} // namespace orvex
