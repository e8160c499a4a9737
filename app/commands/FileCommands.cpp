// File and Help commands: documents come and go through the document host
// (the front end's window manager); saving goes through SaveByExtension.
// Closing never asks whether to save.

#include "app/DocumentHost.h"
#include "app/commands/Handlers.h"
#include "io/WriteInventor.h"

namespace orvex {

static CommandResult NewDocument(CCommandContext& context) {
  if (!context.host) return CommandResult::Unavailable;
  context.host->NewDocument();
  return CommandResult::Done;
}

static CommandResult OpenDocument(CCommandContext& context) {
  if (!context.host) return CommandResult::Unavailable;
  std::string path;
  if (!context.ui.AskOpenFileName(path)) return CommandResult::Cancelled;
  if (!context.host->OpenDocumentFile(path)) {
    context.ui.ShowMessage(context.host->GetLastError());
    return CommandResult::Failed;
  }
  return CommandResult::Done;
}

static CommandResult CloseDocument(CCommandContext& context) {
  if (!context.host) return CommandResult::Unavailable;
  context.host->CloseDocument(context.doc);
  context.doc = nullptr;
  return CommandResult::Done;
}

static CommandResult SaveAs(CCommandContext& context) {
  COrvexDoc& doc = *context.doc;
  std::string path = doc.GetPathName();
  if (!context.ui.AskSaveFileName(path)) return CommandResult::Cancelled;
  if (!doc.SaveByExtension(path)) return CommandResult::Failed;
  doc.SetPathName(path);
  if (context.host) context.host->RecentFiles().Add(path);
  return CommandResult::Done;
}

static CommandResult Save(CCommandContext& context) {
  COrvexDoc& doc = *context.doc;
  if (doc.GetPathName().empty()) return SaveAs(context);
  return doc.SaveByExtension(doc.GetPathName()) ? CommandResult::Done : CommandResult::Failed;
}

static CommandResult Exit(CCommandContext& context) {
  if (!context.host) return CommandResult::Unavailable;
  context.host->Exit();
  return CommandResult::Done;
}

// "mesh%d.iv" per triangle mesh, into the current directory.
static CommandResult ExportInventorFiles(CCommandContext& context) {
  if (context.doc->NbTriangleMeshes() == 0) return NoMesh(context);
  std::string error;
  if (!WriteInventorFiles(&context.doc->m_SceneGraph, ".", error)) {
    context.ui.ShowMessage(error);
    return CommandResult::Failed;
  }
  return CommandResult::Done;
}

std::vector<CommandBinding> FileCommands() {
  return {
      {"File/New", NewDocument, kEffectDocuments, Redraw::None},
      {"File/Open...", OpenDocument, kEffectDocuments, Redraw::None},
      {"File/Close", CloseDocument, kEffectDocuments, Redraw::None},
      {"File/Save", Save, kEffectDocuments, Redraw::None},
      {"File/Save As...", SaveAs, kEffectDocuments, Redraw::None},
      {"File/Exit", Exit, kEffectDocuments, Redraw::None},
  };
}

std::vector<CommandBinding> ExportCommands() {
  return {
      {"File/Export/scene to multiple iv files", ExportInventorFiles, kEffectFiles, Redraw::None}};
}

} // namespace orvex
