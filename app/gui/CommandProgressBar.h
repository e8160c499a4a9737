#pragma once

#include <QObject>
#include <QString>

class QProgressBar;
class QPushButton;
class QStatusBar;

namespace orvex {

// The progress of the running command in the status bar: a bar beside the
// status text and a "Cancel" button. While a command runs the window still
// repaints and takes Esc or a click on Cancel (both ask the command to
// stop); all other input is dropped until the command returns, so no other
// command can start meanwhile.
class CCommandProgressBar : public QObject {
public:
  explicit CCommandProgressBar(QStatusBar& statusBar);
  ~CCommandProgressBar() override;

  // Shows fraction (0 ... 1) and the phase, lets pending events through;
  // false once the user asked to stop (only when cancellable).
  bool Show(double fraction, const QString& phase, bool cancellable);
  // The command returned: hides the bar and forgets the request.
  void End();

  bool IsShown() const { return m_Active; }
  int Value() const;
  QPushButton* CancelButton() const { return m_pCancel; }

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  QProgressBar* m_pBar;
  QPushButton* m_pCancel;
  bool m_Active = false;
  bool m_Cancellable = false;
  bool m_CancelRequested = false;
};

} // namespace orvex
