#include "app/BatchRunner.h"

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/BatchInterrupt.h"
#include "app/CommandFailure.h"
#include "app/CommandRegistry.h"
#include "app/Dispatcher.h"
#include "app/DocumentHost.h"
#include "app/OrvexDoc.h"
#include "app/TerminalUserInterface.h"
#include "app/commands/Handlers.h"

namespace orvex {
namespace {

const char* const kProgram = "orvexbox-batch";

// A --run resolved against the registry before anything is opened.
struct ResolvedRun {
  const CommandInfo* info = nullptr;
  const BatchRun* run = nullptr;
};

std::string Availability(const CommandInfo& info) {
  if (info.handler) return "available";
  if (NeedsAWindow(info)) return "interactive: needs a window";
  if (info.kind == ItemKind::RecentFiles) return "recent-file list of the window";
  if (info.target == CommandTarget::Document || info.target == CommandTarget::Application)
    return "not available yet";
  return std::string("served by the ") + TargetName(info.target);
}

std::string JoinKeys(const std::vector<std::string>& keys) {
  std::string text;
  for (const std::string& key : keys) text += (text.empty() ? "" : ",") + key;
  return text.empty() ? "-" : text;
}

void ListField(FILE* out, const ParamField& param) {
  std::fprintf(out, "\t\"%s\" %s = %s", param.label.c_str(), ParamTypeName(param.type),
               param.defaultValue.c_str());
  if (param.HasRange()) std::fprintf(out, " [%g .. %g]", param.min, param.max);
  for (size_t i = 0; i < param.choices.size(); i++)
    std::fprintf(out, "%s%s", i == 0 ? " {" : " | ", param.choices[i].c_str());
  if (!param.choices.empty()) std::fprintf(out, "}");
  if (param.readOnly) std::fprintf(out, " (shown)");
  std::fprintf(out, "\n");
}

// A --set "Color=R G B" that answers the colour chooser (when the dialog
// has no field of that name).
bool IsColorAnswer(const ParamValues& values, const std::string& label) {
  return !values.Has(label) && ParamValues({TextParam(kColorAnswerLabel, "")}).Has(label);
}

// Checks the labels and values of every --set against the dialog's fields.
bool CheckSets(const ResolvedRun& resolved, std::string& error) {
  ParamValues values(resolved.info->params);
  for (const auto& set : resolved.run->sets) {
    CColor color;
    bool ok = IsColorAnswer(values, set.first) ? ParseColorAnswer(set.second, color, error)
                                               : values.Set(set.first, set.second, error);
    if (!ok) {
      error = resolved.info->Label() + ": " + error;
      return false;
    }
  }
  return true;
}

bool Resolve(const BatchCommandLine& line, std::vector<ResolvedRun>& resolved, int& status,
             std::string& error) {
  const CCommandRegistry& registry = ApplicationRegistry();
  for (const BatchRun& run : line.runs) {
    ResolvedRun r{registry.Find(run.command), &run};
    if (!r.info) {
      error = "unknown command \"" + run.command + "\"";
      status = kExitUsage;
      return false;
    }
    if (NeedsAWindow(*r.info)) {
      error = "\"" + r.info->Label() + "\" needs a window";
      status = kExitFailure;
      return false;
    }
    if (!r.info->handler) {
      error = "\"" + r.info->Label() + "\" is " + Availability(*r.info);
      status = kExitFailure;
      return false;
    }
    if (!CheckSets(r, error)) {
      status = kExitUsage;
      return false;
    }
    resolved.push_back(r);
  }
  return true;
}

// The document the next command works on: the most recent one.
COrvexDoc* ActiveDocument(CDocumentHost& host) {
  return host.Documents().empty() ? nullptr : host.Documents().back().get();
}

// --save and --snapshot name files from where the user started the
// program, whatever folder the input is in.
std::string FromStartFolder(const std::string& path) {
  std::error_code ec;
  std::filesystem::path absolute = std::filesystem::absolute(path, ec);
  return path.empty() || ec ? path : absolute.string();
}

// A --set value as the command gets it: a file named on the command line
// is, like --save, found from the start folder; the command's own default
// names keep going beside the document.
std::string SetValue(const ParamValues& values, const std::string& label,
                     const std::string& value) {
  const int i = values.IndexOf(label);
  if (i < 0 || !NamesAFile(values.Fields()[size_t(i)])) return value;
  return FromStartFolder(value);
}

void PrintInfo(FILE* out, const COrvexDoc& doc) {
  for (int i = 0; i < doc.m_SceneGraph.NbObject(); i++) {
    CObjectProperties p = doc.GetObjectProperties(i);
    std::fprintf(out, "%d %d %d %d %s", i, p.m_Type, p.m_NbVertex, p.m_NbFace,
                 p.m_TypeName.c_str());
    if (p.m_Type == TYPE_TILING_MESH3D)
      std::fprintf(out, " %d tiles %d polygons", p.m_NbTile, p.m_NbPolygon);
    std::fprintf(out, "\n");
  }
  std::fflush(out);
}

} // namespace

void ListCommands(FILE* out) {
  const CCommandRegistry& registry = ApplicationRegistry();
  for (const auto& command : registry.Commands()) {
    const CommandInfo& info = *command;
    std::fprintf(out, "%d\t%s\t%s\t%s\t%s\n", info.id, info.Label().c_str(),
                 JoinKeys(info.keys).c_str(), TargetName(info.target), Availability(info).c_str());
    for (const ParamField& param : info.params) ListField(out, param);
  }
}

namespace {

int RunSteps(const BatchCommandLine& line, FILE* out, FILE* err, const SnapshotWriter& snapshot,
             const ViewContextProvider& viewContext) {
  std::vector<ResolvedRun> resolved;
  std::string error;
  int status = kExitOk;
  auto fail = [&](int code, const std::string& message) {
    std::fprintf(err, "%s: %s\n", kProgram, message.c_str());
    return code;
  };
  if (!Resolve(line, resolved, status, error)) return fail(status, error);
  if (!line.snapshot.empty() && !snapshot)
    return fail(kExitFailure, "--snapshot is not available in this program");

  const std::string savePath = FromStartFolder(line.save);
  const std::string snapshotPath = FromStartFolder(line.snapshot);
  CTerminalUserInterface ui(out, err);
  ui.SetAnswerYes(line.yes);
  if (const char* at = std::getenv("ORVEX_BATCH_INTERRUPT_AT_PROGRESS"))
    ui.InterruptAtProgress(std::atoi(at));
  InstallInterruptHandler();
  auto interrupted = [&] { return fail(kExitInterrupted, "interrupted, nothing saved"); };
  CDocumentHost host(ui);
  host.SetViewContextProvider(viewContext);
  if (!host.OpenDocumentFile(line.input))
    return fail(kExitFailure, "cannot open " + line.input + ": " + host.GetLastError());
  if (Interrupted()) return interrupted();

  CCommandDispatcher dispatcher(ApplicationRegistry(), ui, &host);
  for (const ResolvedRun& r : resolved) {
    COrvexDoc* doc = ActiveDocument(host);
    ParamValues values = dispatcher.DialogValues(*r.info, doc);
    std::optional<CColor> color;
    for (const auto& set : r.run->sets) {
      CColor answer;
      if (IsColorAnswer(values, set.first) && ParseColorAnswer(set.second, answer, error))
        color = answer;
      else if (!values.Set(set.first, SetValue(values, set.first, set.second), error))
        return fail(kExitUsage, error);
    }
    ui.SetColorAnswer(color);
    // status lines, messages and tables reached the terminal as the command
    // ran; the outcome says how it ended
    CCommandOutcome outcome = dispatcher.Run(*r.info, doc, &values);
    // work the command left running on the document ends before the next
    if (COrvexDoc* after = ActiveDocument(host)) after->ServeWorker(true);
    if (Interrupted()) return interrupted();
    if (outcome.result == CommandResult::Unavailable) return fail(kExitFailure, outcome.error);
    if (outcome.result == CommandResult::Failed || outcome.result == CommandResult::Cancelled)
      return fail(kExitFailure, "\"" + r.info->Label() + "\" " + ResultName(outcome.result));
  }

  COrvexDoc* doc = ActiveDocument(host);
  if (!line.save.empty()) {
    if (!doc) return fail(kExitFailure, "no document left to save");
    ui.AnswerNextYes(); // --save is the user's answer to the save question
    if (!doc->SaveByExtension(savePath))
      return fail(kExitFailure, "cannot save " + line.save + ": " + doc->GetLastError());
  }
  if (!line.snapshot.empty()) {
    if (!doc) return fail(kExitFailure, "no document left to render");
    const CRenderViewState& view = *host.ActiveViewState(doc);
    int width = line.snapshotWidth, height = line.snapshotHeight;
    if (width <= 0 || height <= 0) {
      width = view.m_Width > 0 && view.m_Height > 0 ? view.m_Width : kSnapshotWidth;
      height = view.m_Width > 0 && view.m_Height > 0 ? view.m_Height : kSnapshotHeight;
    }
    if (!snapshot(*doc, view, width, height, snapshotPath, error))
      return fail(kExitFailure, "cannot write the snapshot " + line.snapshot + ": " + error);
  }
  if (line.info && doc) PrintInfo(out, *doc);
  return kExitOk;
}

} // namespace

int RunBatch(const BatchCommandLine& line, FILE* out, FILE* err, const SnapshotWriter& snapshot,
             const ViewContextProvider& viewContext) {
  try {
    return RunSteps(line, out, err, snapshot, viewContext);
  } catch (...) {
    // opening, saving or drawing a scene too large for memory fails the
    // run with a message; commands are guarded by the dispatcher
    std::fprintf(err, "%s: %s\n", kProgram, ExceptionMessage(std::current_exception()).c_str());
    return kExitFailure;
  }
}

} // namespace orvex
