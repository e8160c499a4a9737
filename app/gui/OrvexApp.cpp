#include "app/gui/OrvexApp.h"

#include <QSurfaceFormat>

#include "app/CommandFailure.h"
#include "app/gui/MainFrame.h"
#include "app/gui/ToolbarIcons.h"

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
  bool handled = false;
  auto deliver = [&] { handled = QApplication::notify(receiver, event); };
  if (!m_pMainFrame) {
    try {
      deliver();
    } catch (...) {
    }
    return handled;
  }
  orvex::RunShowingFailure(m_pMainFrame->UserInterface(), deliver);
  return handled;
}
