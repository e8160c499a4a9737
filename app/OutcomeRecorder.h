#pragma once

#include "app/CommandOutcome.h"
#include "app/UserInterface.h"

namespace orvex {

// The front end a handler talks to while the dispatcher runs it: every
// call goes on to the real front end, and the status lines, messages and
// report tables are also written into the command's outcome.
class COutcomeRecorder : public CUserInterface {
public:
  COutcomeRecorder(CUserInterface& target, CCommandOutcome& outcome)
      : m_Target(target), m_Outcome(outcome) {}

  void ShowMessage(const std::string& text, const std::string& title) override;
  bool AskYesNo(const std::string& question) override { return m_Target.AskYesNo(question); }
  void SetStatusText(const std::string& text) override;
  void BeginWaitCursor() override { m_Target.BeginWaitCursor(); }
  void EndWaitCursor() override { m_Target.EndWaitCursor(); }
  void RequestRedraw(bool erase) override { m_Target.RequestRedraw(erase); }
  void RedrawNow() override { m_Target.RedrawNow(); }
  bool AskOpenFileName(std::string& fileName) override {
    return m_Target.AskOpenFileName(fileName);
  }
  bool AskSaveFileName(std::string& fileName) override {
    return m_Target.AskSaveFileName(fileName);
  }
  bool EditParameters(const std::string& title, ParamValues& values) override {
    return m_Target.EditParameters(title, values);
  }
  void SetClipboardText(const std::string& text) override;
  void SetClipboardImage(const CRgbImage& image) override { m_Target.SetClipboardImage(image); }
  void SetClipboardPicture(const CVectorPicture& picture) override {
    m_Target.SetClipboardPicture(picture);
  }
  bool AskExportFileName(std::string& fileName, const std::string& filter) override {
    return m_Target.AskExportFileName(fileName, filter);
  }
  void ShowDistribution(const std::string& title, const std::vector<int>& histogram) override {
    m_Target.ShowDistribution(title, histogram);
  }
  bool ShowProgress(double fraction, const std::string& phase, bool cancellable) override {
    return m_Target.ShowProgress(fraction, phase, cancellable);
  }
  void EndProgress() override { m_Target.EndProgress(); }
  bool AskColor(CColor& color) override { return m_Target.AskColor(color); }

private:
  CUserInterface& m_Target;
  CCommandOutcome& m_Outcome;
};

} // namespace orvex
