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

namespace {

struct ThrowCase {
  const char* name;
  std::function<void()> raise;
  const char* message;
};

// A registry with one document command that changes the scene and throws.
int AddThrowingCommand(CCommandRegistry& registry, const std::function<void()>& raise) {
  CommandInfo info;
  info.name = "Throwing";
  info.changesScene = true;
  info.handler = [raise](CCommandContext& context) {
    context.ui.SetStatusText("started");
    raise();
    return CommandResult::Done;
  };
  return registry.Add(info);
}

} // namespace

TEST(DispatcherGuard, ThrowingHandlerFailsAndClosesItsBrackets) {
  const ThrowCase cases[] = {
      {"out of memory", [] { throw std::bad_alloc(); }, "Insuffisant memory"},
      {"standard exception", [] { throw std::runtime_error("disk on fire"); },
       "Unexpected error: disk on fire"},
      {"anything else", [] { throw 42; }, "Unexpected error"},
  };
  for (const ThrowCase& c : cases) {
    SCOPED_TRACE(c.name);
    CCommandRegistry registry;
    int id = AddThrowingCommand(registry, c.raise);
    ASSERT_NE(id, 0);
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
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages.back(), c.message);
    EXPECT_EQ(outcome.messages, ui.messages);
    EXPECT_EQ(outcome.statusLines, std::vector<std::string>{"started"});
    EXPECT_TRUE(outcome.error.empty()); // it ran, and failed

    // the next command runs as usual
    EXPECT_EQ(dispatcher.Run(id, &doc).result, CommandResult::Failed);
    EXPECT_EQ(ui.waitDepth, 0);
    EXPECT_EQ(ui.maxWaitDepth, 1);
  }
}

// What a handler shows is recorded and still reaches the front end; files
// are recorded once; a command that does not run says why.
TEST(DispatcherOutcome, RecordsWhatTheHandlerShowedAndWhy) {
  CCommandRegistry registry;
  CommandInfo info;
  info.name = "Reporting";
  info.handler = [](CCommandContext& context) {
    context.ui.StatusMessage("step %d", 1);
    context.ui.ShowMessage("careful", "Title");
    context.ui.SetClipboardText("a\tb\n1\t2\n");
    context.ReportFileWritten("/out/x.bin");
    context.ReportFileWritten("/out/y.txt");
    context.ReportFileWritten("/out/x.bin");
    return CommandResult::Done;
  };
  int id = registry.Add(info);
  CRecordingUserInterface ui;
  COrvexDoc doc(&ui);
  CCommandDispatcher dispatcher(registry, ui);

  CCommandOutcome outcome = dispatcher.Run(id, &doc);
  EXPECT_EQ(outcome.result, CommandResult::Done);
  EXPECT_EQ(outcome.statusLines, std::vector<std::string>{"step 1"});
  EXPECT_EQ(outcome.messages, std::vector<std::string>{"careful"});
  EXPECT_EQ(outcome.tables, std::vector<std::string>{"a\tb\n1\t2\n"});
  EXPECT_EQ(outcome.filesWritten, (std::vector<std::string>{"/out/x.bin", "/out/y.txt"}));
  EXPECT_TRUE(outcome.error.empty());
  EXPECT_GE(outcome.seconds, 0.0);
  EXPECT_EQ(ui.statusLines, outcome.statusLines);
  EXPECT_EQ(ui.messages, outcome.messages);
  EXPECT_EQ(ui.redraws, 1);

  // not run: no document, an unknown identifier
  CCommandOutcome noDocument = dispatcher.Run(id, nullptr);
  EXPECT_EQ(noDocument.result, CommandResult::Unavailable);
  EXPECT_EQ(noDocument.error, "\"Reporting\" needs an open document");
  EXPECT_TRUE(noDocument.statusLines.empty());
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
  EXPECT_EQ(ui.questions, std::vector<std::string>{"Save moodifications ?"});
  ASSERT_EQ(outcome.messages.size(), 1u);
  EXPECT_EQ(outcome.messages, ui.messages);
  EXPECT_TRUE(outcome.filesWritten.empty());
  EXPECT_EQ(doc.GetUserInterface(), &ui);
}

// A handler that closes its document through the host without saying so
// (File/Exit closes them all) leaves the dispatcher nothing to touch.
TEST(DispatcherGuard, HandlerThatClosesEveryDocument) {
  CCommandRegistry registry;
  CommandInfo info;
  info.name = "Close all";
  info.changesScene = true;
  info.handler = [](CCommandContext& context) {
    context.host->Exit();
    return CommandResult::Done;
  };
  int id = registry.Add(info);
  CRecordingUserInterface ui;
  CDocumentHost host(ui);
  COrvexDoc* doc = host.NewDocument();
  CCommandDispatcher dispatcher(registry, ui, &host);
  EXPECT_EQ(dispatcher.Run(id, doc).result, CommandResult::Done);
  EXPECT_TRUE(host.Documents().empty());
  EXPECT_EQ(ui.waitDepth, 0);
}
