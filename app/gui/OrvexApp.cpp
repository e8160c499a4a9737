#include "app/gui/OrvexApp.h"

#include <QSurfaceFormat>

#include "app/CommandFailure.h"
#include "app/gui/MainFrame.h"
#include "app/gui/ProgramIcon.h"

void COrvexApp::PrepareGraphics() {
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QSurfaceFormat format;
  format.setRenderableType(QSurfaceFormat::OpenGL);
  format.setProfile(QSurfaceFormat::CompatibilityProfile);
  format.setDepthBufferSize(24);
  QSurfaceFormat::setDefaultFormat(format);
}

COrvexApp::COrvexApp(int& argc, char** argv) : QApplication(argc, argv) {
  setOrganizationName(kProfile);
  setApplicationName(kProfile);
  setWindowIcon(orvex::ProgramIcon());
}

COrvexApp::~COrvexApp() = default;

bool COrvexApp::InitInstance() {
  m_pMainFrame = std::make_unique<CMainFrame>();
  // shown first, so that the document window is sized from the laid-out
  // frame
  m_pMainFrame->show();
  m_pMainFrame->raise();
  m_pMainFrame->activateWindow();
  QStringList args = arguments();
  return args.size() < 2 || m_pMainFrame->OpenFile(args.at(1));
}

bool COrvexApp::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (...) {
    // one message at a time: events delivered while it shows (a repaint
    // that fails the same way) fail silently instead of stacking boxes
    if (m_pMainFrame && !m_bShowingFailure) {
      m_bShowingFailure = true;
      orvex::ShowFailure(m_pMainFrame->UserInterface(), std::current_exception());
      m_bShowingFailure = false;
    }
    return false;
  }
}
