// Edit/Undo and Edit/Redo: they walk the document's undo history, whose
// steps the dispatcher records before every command that changes the scene.

#include "app/UndoHistory.h"
#include "app/UndoRecorder.h"
#include "app/commands/Handlers.h"

namespace orvex {

namespace {

// Menu text of a step: the action, then the command with its ampersands
// doubled so that they show.
std::string StepText(const char* action, const std::string& label) {
  if (label.empty()) return std::string();
  std::string text = action;
  text += ' ';
  for (char c : label) {
    if (c == '&') text += '&';
    text += c;
  }
  return text;
}

// Takes one step and says which on the status line ("Undone: Loop/Std").
CommandResult TakeStep(CCommandContext& context, bool undo) {
  CUndoHistory& history = context.doc->UndoHistory();
  const std::string label = undo ? history.UndoLabel() : history.RedoLabel();
  if (!(undo ? history.Undo(*context.doc) : history.Redo(*context.doc)))
    return CommandResult::NothingDone;
  context.ui.SetStatusText((undo ? "Undone: " : "Redone: ") + label);
  context.redraw = Redraw::InvalidateErase;
  return CommandResult::Done;
}

CommandResult Undo(CCommandContext& context) {
  return TakeStep(context, true);
}

CommandResult Redo(CCommandContext& context) {
  return TakeStep(context, false);
}

// They put back whatever a recorded command changed, highlights included.
constexpr Effects kEffectsRestored = kEffectsRecorded | kEffectDisplay;

} // namespace

std::vector<CommandBinding> UndoCommands() {
  std::vector<CommandBinding> bindings;
  bindings.push_back(
      CommandBinding("Edit/Undo", Undo, kEffectsRestored, Redraw::InvalidateErase)
          .EnabledWhen([](const COrvexDoc& doc) { return doc.UndoHistory().CanUndo(); })
          .Text(
              [](const COrvexDoc& doc) { return StepText("&Undo", doc.UndoHistory().UndoLabel()); })
          .WithoutUndoRecord());
  bindings.push_back(
      CommandBinding("Edit/Redo", Redo, kEffectsRestored, Redraw::InvalidateErase)
          .EnabledWhen([](const COrvexDoc& doc) { return doc.UndoHistory().CanRedo(); })
          .Text(
              [](const COrvexDoc& doc) { return StepText("&Redo", doc.UndoHistory().RedoLabel()); })
          .WithoutUndoRecord());
  return bindings;
}

} // namespace orvex
