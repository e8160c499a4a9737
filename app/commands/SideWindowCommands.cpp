// The side windows without a window: Debug/Drome/Analysis reads a ".pts" or
// ".faces" file, runs one process and writes the grey picture. In the
// window program the "Data analysis" window replaces this handler.

#include <string>

#include "app/OrvexDoc.h"
#include "app/commands/Handlers.h"
#include "app/side/DromeAnalysis.h"
#include "app/side/ScalarImageReaders.h"

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

} // namespace

std::vector<CommandBinding> SideWindowCommands() {
  CommandDialog dialog{
      "Data analysis", {CommandLineParam("File", ""), CommandLineParam("Process", "None")}, {}};
  return {
      CommandBinding("Debug/Drome/Analysis", DromeAnalysis, kEffectFiles, Redraw::None)
          .Dialog(dialog),
  };
}

bool NeedsAWindow(const CommandInfo& info) {
  std::string path;
  for (char c : info.path)
    if (c != '&') path += c;
  return path == "Textures/Map" || path == "Window/Spline...";
}

} // namespace orvex
