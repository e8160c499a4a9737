#pragma once

#include <QMenu>
#include <QString>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>
#include <utility>
#include <vector>

#include "app/CommandParams.h"

#include "app/gui/MainFrame.h"

// Readable QString values in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

class CRenderView;

namespace orvex::test {

// The settings folder of this test run (a fresh temporary folder).
QString SettingsFolder();

// The sample scene: one icosahedron (12 vertices, 20 faces).
QString SamplePath(const char* name = "icosahedron.wrl");

// Accelerators reach the active window only; without a window manager
// (Xvfb) the window is made active by hand.
void MakeActive(QWidget* window);

// Pixels of the view's picture that differ from its first pixel (the
// background colour in a corner).
int PixelsOffBackground(CRenderView* view);

// Sets fields (by label among `labels`) of the parameter dialog that is
// about to open, checks its title, then presses OK.
using FieldTexts = std::vector<std::pair<const char*, const char*>>;
void AcceptNextDialog(std::vector<ParamField> labels, QString title, FieldTexts fields);

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
