#pragma once

#include <QMenu>
#include <QString>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>

#include "app/gui/MainFrame.h"

// Readable QString values in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

namespace orvex::test {

// The settings folder of this test run (a fresh temporary folder).
QString SettingsFolder();

// The sample scene: one icosahedron (12 vertices, 20 faces).
QString SamplePath(const char* name = "icosahedron.wrl");

// Accelerators reach the active window only; without a window manager
// (Xvfb) the window is made active by hand.
void MakeActive(QWidget* window);

// A shown main frame, with no document open.
class MainFrameTest : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  void Activate();
  // Opens the sample and waits until its view has been exposed.
  COrvexDoc* OpenSample();
  // The action of a menu path of the menu bar as it is now ("&Algorithms",
  // "Surface subdivision", ...); null when absent.
  QAction* MenuAction(const QStringList& path) const;
  QStringList TopMenuTexts() const;
  // Lets the event loop run the pending work (deferred deletes included).
  static void Settle();

  std::unique_ptr<CMainFrame> m_Frame;
};

} // namespace orvex::test
