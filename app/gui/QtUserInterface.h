#pragma once

#include <QPointer>

#include "app/UserInterface.h"
#include "app/gui/DistributionWindow.h"

class CMainFrame;

namespace orvex {

// The document layer's messages, questions, status line, wait cursor,
// redraws, file names and dialogs, shown by the main frame's windows.
class CQtUserInterface : public CUserInterface {
public:
  explicit CQtUserInterface(CMainFrame& frame) : m_Frame(frame) {}

  void ShowMessage(const std::string& text, const std::string& title) override;
  bool AskYesNo(const std::string& question) override;
  void SetStatusText(const std::string& text) override;
  void BeginWaitCursor() override;
  void EndWaitCursor() override;
  void RequestRedraw(bool erase) override;
  void RedrawNow() override;
  bool AskOpenFileName(std::string& fileName) override;
  bool AskSaveFileName(std::string& fileName) override;
  bool EditParameters(const std::string& title, ParamValues& values) override;
  void SetClipboardText(const std::string& text) override;
  // A picture of the view as an image; a vector picture as SVG
  // ("image/svg+xml") with a PNG painted from it.
  void SetClipboardImage(const CRgbImage& image) override;
  void SetClipboardPicture(const CVectorPicture& picture) override;
  // The save dialog, starting with the name given, under the filter.
  bool AskExportFileName(std::string& fileName, const std::string& filter) override;
  // One "Distribution" window, made on first use and kept by the frame.
  void ShowDistribution(const std::string& title, const std::vector<int>& histogram) override;
  bool ShowProgress(double fraction, const std::string& phase, bool cancellable) override;
  void EndProgress() override;
  bool AskColor(CColor& color) override;
  CDistributionWindow* DistributionWindow() const { return m_Distribution; }

private:
  CMainFrame& m_Frame;
  QPointer<CDistributionWindow> m_Distribution;
};

} // namespace orvex
