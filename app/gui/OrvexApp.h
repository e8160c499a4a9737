#pragma once

#include <QApplication>
#include <memory>

class CMainFrame;

// The application object: its OpenGL set-up, the profile name and the
// main frame, which opens the file named on the command line.
class COrvexApp : public QApplication {
  Q_OBJECT
public:
  static constexpr const char* kProfile = "3D Orvexbox";

  // Shared OpenGL contexts and a compatibility profile for every view;
  // must run before the application object exists.
  static void PrepareGraphics();

  COrvexApp(int& argc, char** argv);
  ~COrvexApp() override;

  // Creates and shows the main frame and opens the file named on the
  // command line, if any; false when that file cannot be opened (start-up
  // fails then).
  bool InitInstance();
  CMainFrame* GetMainFrame() const { return m_pMainFrame.get(); }

  // Every event and slot runs here: an exception that escaped its own
  // guard is shown as a message instead of ending the program.
  bool notify(QObject* receiver, QEvent* event) override;

private:
  std::unique_ptr<CMainFrame> m_pMainFrame;
  bool m_bShowingFailure = false;
};
