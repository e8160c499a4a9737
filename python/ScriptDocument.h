#pragma once

#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <pybind11/pybind11.h>

#include "app/DocumentHost.h"
#include "app/UserInterface.h"

class COrvexDoc;
class CMesh3d;

namespace orvex {
class CCommandDispatcher;
}

namespace orvex::python {

// The front end of a script: status lines are kept until the script gets
// them back (the interpreter's lock is not held while a command runs),
// message boxes are kept for the error a failed command raises, questions
// are answered yes when the document was opened with yes=True (or once,
// for the save the script asked for), and dialogs keep the values given.
class CScriptUserInterface : public CUserInterface {
public:
  bool m_AnswerYes = false;
  bool m_AnswerNextYes = false;
  std::optional<CColor> m_ColorAnswer;
  std::vector<std::string> m_Status;
  std::vector<std::string> m_Messages;

  void ShowMessage(const std::string& text, const std::string& title) override;
  bool AskYesNo(const std::string& question) override;
  void SetStatusText(const std::string& text) override { m_Status.push_back(text); }
  void BeginWaitCursor() override {}
  void EndWaitCursor() override {}
  void RequestRedraw(bool) override {}
  bool AskOpenFileName(std::string&) override { return false; }
  bool AskSaveFileName(std::string&) override { return false; }
  bool EditParameters(const std::string&, ParamValues&) override { return true; }
  bool AskColor(CColor& color) override;
};

// One document of a script: its own front end, host and dispatcher, so
// that two documents share no mutable state and may run on two threads.
// One thread at a time may use a document; a second one gets a
// RuntimeError instead of a damaged scene.
class ScriptDocument {
public:
  explicit ScriptDocument(bool yes);
  ~ScriptDocument();

  void Open(const std::string& path);
  void New();

  CScriptUserInterface m_UI;
  CDocumentHost m_Host{m_UI};
  COrvexDoc* m_Doc = nullptr;
  std::unique_ptr<CCommandDispatcher> m_Dispatcher;
  // Meshes added from arrays whose adjacency and normals wait for the next
  // call that needs them (run, save, snapshot): reading a mesh back or
  // listing the objects does not, and handing a large mesh over then costs
  // only making its elements.
  std::vector<CMesh3d*> m_Unfinished;
  std::atomic<bool> m_Busy{false};
  pybind11::object m_OnStatus = pybind11::none();
};

// Held by every method of a document while it works.
class BusyGuard {
public:
  explicit BusyGuard(ScriptDocument& doc);
  ~BusyGuard();
  BusyGuard(const BusyGuard&) = delete;
  BusyGuard& operator=(const BusyGuard&) = delete;

private:
  ScriptDocument& m_Doc;
};

} // namespace orvex::python
