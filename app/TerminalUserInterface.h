#pragma once

#include <cstdio>
#include <optional>

#include "app/UserInterface.h"

namespace orvex {

// The batch runner's front end: status lines on standard output, messages
// and questions on standard error. Questions are answered by flags: yes
// when answerYes is set (--yes) or once after AnswerNextYes (the user's
// --save), no otherwise. Dialogs keep the values given on the command line.
// The colour chooser takes the colour given beforehand for the command
// (--set "Color=R G B"), and is cancelled without one.
class CTerminalUserInterface : public CUserInterface {
public:
  CTerminalUserInterface(FILE* out = stdout, FILE* err = stderr) : m_Out(out), m_Err(err) {}

  void SetAnswerYes(bool yes) { m_AnswerYes = yes; }
  void AnswerNextYes() { m_AnswerNextYes = true; }
  // The answer of the colour chooser during the next command; none cancels.
  void SetColorAnswer(std::optional<CColor> color) { m_ColorAnswer = color; }

  void ShowMessage(const std::string& text, const std::string& title) override;
  bool AskYesNo(const std::string& question) override;
  void SetStatusText(const std::string& text) override;
  void BeginWaitCursor() override {}
  void EndWaitCursor() override {}
  void RequestRedraw(bool) override {}
  bool AskOpenFileName(std::string&) override { return false; }
  // The save dialog takes the name it offers (a default in the current
  // folder) under --yes, and is cancelled otherwise.
  bool AskSaveFileName(std::string& fileName) override { return m_AnswerYes && !fileName.empty(); }
  bool EditParameters(const std::string&, ParamValues&) override { return true; }
  // The table goes to standard output, after the status lines.
  void SetClipboardText(const std::string& text) override;
  // Pictures go to "clipboard.png" and "clipboard.svg" in the current
  // folder (the document's), with a status line naming the file.
  void SetClipboardImage(const CRgbImage& image) override;
  void SetClipboardPicture(const CVectorPicture& picture) override;
  void ShowDistribution(const std::string& title, const std::vector<int>& histogram) override;
  // A one-line bar on the error stream when it is a terminal, nothing
  // otherwise; false once Ctrl+C was pressed (app/BatchInterrupt.h).
  bool ShowProgress(double fraction, const std::string& phase, bool cancellable) override;
  void EndProgress() override;
  // For tests: raises SIGINT at the given progress report (1 = the first).
  void InterruptAtProgress(int report) { m_InterruptAt = report; }
  bool AskColor(CColor& color) override;

private:
  FILE* m_Out;
  FILE* m_Err;
  bool m_AnswerYes = false;
  bool m_AnswerNextYes = false;
  bool m_BarShown = false;
  int m_Reports = 0;
  int m_InterruptAt = 0;
  std::optional<CColor> m_ColorAnswer;
};

// Files the batch runner writes for the clipboard's pictures.
constexpr const char* kClipboardPng = "clipboard.png";
constexpr const char* kClipboardSvg = "clipboard.svg";

// Label under which a batch run answers the colour chooser ("R G B").
constexpr const char* kColorAnswerLabel = "Color";

// Reads "R G B" (three integers 0 ... 255); false with the reason.
bool ParseColorAnswer(const std::string& text, CColor& color, std::string& error);

// A histogram as text: the title, then one line per non-zero value with its
// count and a bar of '#' (the longest bar is kHistogramBarWidth wide).
constexpr int kHistogramBarWidth = 50;
std::string TextHistogram(const std::string& title, const std::vector<int>& histogram);

} // namespace orvex
