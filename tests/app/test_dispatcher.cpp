// The dispatcher's record of a run and its guard around handlers: a
// handler that throws fails its command with a message, and the wait
// cursor and the document's command bracket close as after any other
// command.

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/CommandRegistry.h"
#include "app/Dispatcher.h"
#include "app/DocumentHost.h"
#include "app/OrvexDoc.h"
#include "tests/app/RecordingUserInterface.h"

using namespace orvex;
using Texts = std::vector<std::string>;

namespace {

// A document command that changes the scene.
int AddCommand(CCommandRegistry& registry, const char* name, CommandHandler handler) {
  CommandInfo info;
  info.name = name;
  info.effects = kEffectPositions;
  info.handler = std::move(handler);
  return registry.Add(info);
}

} // namespace

TEST(DispatcherGuard, ThrowingHandlerFailsAndClosesItsBrackets) {
  const struct {
    std::function<void()> raise;
    const char* message;
  } cases[] = {
      {[] { throw std::bad_alloc(); }, "Insuffisant memory"},
      {[] { throw std::runtime_error("disk on fire"); }, "Unexpected error: disk on fire"},
      {[] { throw 42; }, "Unexpected error"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    CCommandRegistry registry;
    int id = AddCommand(registry, "Throwing", [&c](CCommandContext& context) {
      context.ui.SetStatusText("started");
      c.raise();
      return CommandResult::Done;
    });
    CRecordingUserInterface ui;
    COrvexDoc doc(&ui);
    CCommandDispatcher dispatcher(registry, ui);

    CCommandOutcome outcome = dispatcher.Run(id, &doc);
    EXPECT_EQ(outcome.result, CommandResult::Failed);
    EXPECT_EQ(ui.waitDepth, 0);
    EXPECT_EQ(ui.maxWaitDepth, 1);
    EXPECT_FALSE(doc.IsCommandRunning());
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(ui.redraws, 0);
    EXPECT_EQ(ui.messages, Texts{c.message});
    EXPECT_EQ(outcome.messages, ui.messages);
    EXPECT_EQ(outcome.statusLines, Texts{"started"});
    EXPECT_TRUE(outcome.error.empty()); // it ran, and failed
  }
}

// What a handler shows is recorded and still reaches the front end; files
// are recorded once; a command that does not run says why.
TEST(DispatcherOutcome, RecordsWhatTheHandlerShowedAndWhy) {
  CCommandRegistry registry;
  int id = AddCommand(registry, "Reporting", [](CCommandContext& context) {
    context.ui.StatusMessage("step %d", 1);
    context.ui.ShowMessage("careful", "Title");
    context.ui.SetClipboardText("a\tb\n");
    for (const char* file : {"/out/x.bin", "/out/y.txt", "/out/x.bin"})
      context.ReportFileWritten(file);
    return CommandResult::Done;
  });
  CRecordingUserInterface ui;
  COrvexDoc doc(&ui);
  CCommandDispatcher dispatcher(registry, ui);

  CCommandOutcome outcome = dispatcher.Run(id, &doc);
  EXPECT_EQ(outcome.result, CommandResult::Done);
  EXPECT_EQ(outcome.statusLines, Texts{"step 1"});
  EXPECT_EQ(outcome.messages, Texts{"careful"});
  EXPECT_EQ(outcome.tables, Texts{"a\tb\n"});
  EXPECT_EQ(outcome.filesWritten, (Texts{"/out/x.bin", "/out/y.txt"}));
  EXPECT_TRUE(outcome.error.empty());
  EXPECT_EQ(ui.statusLines, outcome.statusLines);
  EXPECT_EQ(ui.messages, outcome.messages);

  CCommandOutcome noDocument = dispatcher.Run(id, nullptr);
  EXPECT_EQ(noDocument.result, CommandResult::Unavailable);
  EXPECT_EQ(noDocument.error, "\"Reporting\" needs an open document");
  CCommandOutcome unknown = dispatcher.Run(id + 1, &doc);
  EXPECT_EQ(unknown.result, CommandResult::Unavailable);
  EXPECT_EQ(unknown.error, "unknown command " + std::to_string(id + 1));
}

// What the document shows by itself during a command (the save question, a
// writer's error) is part of the outcome; the document's front end is its
// own again afterwards.
TEST(DispatcherOutcome, RecordsWhatTheDocumentShows) {
  CRecordingUserInterface ui;
  COrvexDoc doc(&ui);
  doc.SetPathName("/nowhere/scene.smf");
  CCommandDispatcher dispatcher(ApplicationRegistry(), ui);
  CCommandOutcome outcome = dispatcher.Run(*ApplicationRegistry().Find("File/Save"), &doc);
  EXPECT_EQ(outcome.result, CommandResult::Failed);
  EXPECT_EQ(ui.questions, Texts{"Save moodifications ?"});
  EXPECT_EQ(outcome.messages.size(), 1u);
  EXPECT_EQ(outcome.messages, ui.messages);
  EXPECT_EQ(doc.GetUserInterface(), &ui);
}

// A handler that closes its document through the host without saying so
// (File/Exit closes them all) leaves the dispatcher nothing to touch.
TEST(DispatcherGuard, HandlerThatClosesEveryDocument) {
  CCommandRegistry registry;
  int id = AddCommand(registry, "Close all", [](CCommandContext& context) {
    context.host->Exit();
    return CommandResult::Done;
  });
  CRecordingUserInterface ui;
  CDocumentHost host(ui);
  CCommandDispatcher dispatcher(registry, ui, &host);
  EXPECT_EQ(dispatcher.Run(id, host.NewDocument()).result, CommandResult::Done);
  EXPECT_TRUE(host.Documents().empty());
  EXPECT_EQ(ui.waitDepth, 0);
}
