#include "app/gui/DataAnalysisWindow.h"

#include <QFileDialog>
#include <QImage>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QScrollArea>
#include <QVBoxLayout>
#include <utility>

#include "app/gui/MenuLookup.h"
#include "app/side/DromeAnalysis.h"
#include "app/side/ScalarImageReaders.h"

namespace orvex {

namespace {

// Shows the display picture at one pixel per value.
class CAnalysisCanvas : public QWidget {
public:
  CAnalysisCanvas(const CRgbImage& display, QWidget* parent)
      : QWidget(parent), m_Display(display) {}
  void Fit() {
    resize(std::max(1, m_Display.m_Width), std::max(1, m_Display.m_Height));
    update();
  }

protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (m_Display.IsEmpty()) return;
    const QImage picture(m_Display.m_Pixels.data(), m_Display.m_Width, m_Display.m_Height,
                         3 * m_Display.m_Width, QImage::Format_RGB888);
    painter.drawImage(0, 0, picture);
  }

private:
  const CRgbImage& m_Display;
};

} // namespace

CDataAnalysisWindow::CDataAnalysisWindow(QString folder, QWidget* parent)
    : QDialog(parent), m_Folder(std::move(folder)) {
  setWindowTitle("Data analysis");
  setModal(true);
  m_Menus = new QMenuBar(this);
  QMenu* file = m_Menus->addMenu("&File");
  connect(file->addAction("&Open..."), &QAction::triggered, this, &CDataAnalysisWindow::ChooseFile);
  connect(file->addAction("&Save"), &QAction::triggered, this, [this] { Save(); });
  QMenu* process = m_Menus->addMenu("&Process");
  connect(process->addAction("&Fill"), &QAction::triggered, this, &CDataAnalysisWindow::Fill);
  connect(process->addAction("&Recursive filling"), &QAction::triggered, this,
          &CDataAnalysisWindow::RecursiveFill);
  QMenu* smooth = process->addMenu("&Smooth");
  connect(smooth->addAction("&Gaussain 3x3"), &QAction::triggered, this,
          &CDataAnalysisWindow::Gaussian);

  auto* canvas = new CAnalysisCanvas(m_Display, this);
  m_Canvas = canvas;
  auto* scroll = new QScrollArea(this);
  scroll->setWidget(canvas);
  scroll->setBackgroundRole(QPalette::Dark);
  auto* layout = new QVBoxLayout(this);
  layout->setMenuBar(m_Menus);
  layout->addWidget(scroll);
  resize(420, 360);
}

QAction* CDataAnalysisWindow::Action(const QString& menu, const QString& item) const {
  return FindMenuAction(m_Menus, menu, item);
}

void CDataAnalysisWindow::ChooseFile() {
  const QString name = QFileDialog::getOpenFileName(this, "Open", m_Folder,
                                                    "Data files (*.pts *.faces);;All files (*)");
  if (!name.isEmpty()) OpenFile(name);
}

bool CDataAnalysisWindow::OpenFile(const QString& fileName) {
  std::string error;
  // The old image stays when the file is refused.
  if (!ReadScalarImageFile(fileName.toStdString(), m_Image, error)) {
    ShowError(QString::fromStdString(error));
    return false;
  }
  m_Display = CRgbImage();
  static_cast<CAnalysisCanvas*>(m_Canvas)->Fit();
  Refresh();
  return true;
}

bool CDataAnalysisWindow::Save() {
  std::string error;
  if (SaveDromePicture(m_Folder.toStdString(), m_Display, error).empty()) {
    ShowError(QString::fromStdString(error));
    return false;
  }
  return true;
}

void CDataAnalysisWindow::Fill() {
  m_Image.FillPass();
  Refresh();
}

// One refresh at the end: a refresh per ring would cost rings times pixels.
void CDataAnalysisWindow::RecursiveFill() {
  m_Image.FillRecursive();
  Refresh();
}

void CDataAnalysisWindow::Gaussian() {
  std::string error;
  if (!m_Image.Gaussian3x3(error)) ShowError(QString::fromStdString(error).trimmed());
  Refresh();
}

void CDataAnalysisWindow::Refresh() {
  m_Image.RefreshDisplay(m_Display);
  m_Canvas->update();
}

void CDataAnalysisWindow::ShowError(const QString& text) {
  QMessageBox::warning(this, "Data analysis", text);
}

} // namespace orvex
