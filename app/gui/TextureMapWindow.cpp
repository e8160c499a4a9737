#include "app/gui/TextureMapWindow.h"

#include <QFileDialog>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>
#include <utility>

#include "app/gui/MenuLookup.h"

namespace orvex {

namespace {

// A tile's pixels as a Qt image sharing nothing with the texture.
QImage PictureOf(const CTexture& tile) {
  if (!tile.IsValid()) return {};
  const QImage::Format format =
      tile.GetDepth() == 32 ? QImage::Format_RGBX8888 : QImage::Format_RGB888;
  return QImage(tile.GetPixels(), static_cast<int>(tile.GetWidth()),
                static_cast<int>(tile.GetHeight()), tile.GetRowBytes(), format)
      .copy();
}

// The client area: forwards drags and size changes, copies the picture.
class CMapCanvas : public QWidget {
public:
  explicit CMapCanvas(CTextureMapWindow& window) : QWidget(&window), m_Window(window) {
    setMinimumSize(320, 240);
  }

protected:
  void mousePressEvent(QMouseEvent* event) override {
    if (event->button() != Qt::LeftButton) return;
    m_Down = true;
    m_Last = event->position().toPoint();
  }
  void mouseMoveEvent(QMouseEvent* event) override {
    if (!m_Down) return;
    const QPoint now = event->position().toPoint();
    m_Window.PanBy(now - m_Last);
    m_Last = now;
  }
  void mouseReleaseEvent(QMouseEvent* event) override {
    if (event->button() != Qt::LeftButton || !m_Down) return;
    m_Down = false;
    m_Window.DrawTiles(true);
  }
  void resizeEvent(QResizeEvent*) override { m_Window.ResizeOffScreen(size()); }
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.drawImage(0, 0, m_Window.OffScreen());
  }

private:
  CTextureMapWindow& m_Window;
  bool m_Down = false;
  QPoint m_Last;
};

} // namespace

CTextureMapWindow::CTextureMapWindow(QString folder, QWidget* parent)
    : QDialog(parent), m_Folder(std::move(folder)) {
  setWindowTitle("Texture map");
  setModal(true);
  m_Menus = new QMenuBar(this);
  QMenu* file = m_Menus->addMenu("&File");
  connect(file->addAction("&Open..."), &QAction::triggered, this, &CTextureMapWindow::ChooseImage);
  QMenu* map = m_Menus->addMenu("&Map");
  for (int lod = 1; lod <= 3; ++lod)
    connect(map->addAction(QString("LOD %1").arg(lod)), &QAction::triggered, this,
            [this, lod] { LoadLevel(lod); });
  QAction* increase = map->addAction("Overlap Increase");
  increase->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Plus));
  connect(increase, &QAction::triggered, this, [this] { ChangeOverlap(1); });
  QAction* decrease = map->addAction("Overlap Decrease");
  decrease->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Minus));
  connect(decrease, &QAction::triggered, this, [this] { ChangeOverlap(-1); });
  QMenu* view = m_Menus->addMenu("&View");
  connect(view->addAction("&Init"), &QAction::triggered, this, &CTextureMapWindow::InitView);
  // The shortcuts work while the dialog has the focus.
  addActions({increase, decrease});

  m_Canvas = new CMapCanvas(*this);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setMenuBar(m_Menus);
  layout->addWidget(m_Canvas);
  resize(640, 480);
}

QAction* CTextureMapWindow::Action(const QString& menu, const QString& item) const {
  return FindMenuAction(m_Menus, menu, item);
}

void CTextureMapWindow::LoadLevel(int lod) {
  const std::string problems = m_Tiles.LoadLevel(m_Folder.toStdString(), MapLevel(lod));
  m_Pictures.clear();
  for (const auto& tile : m_Tiles.m_Tiles) m_Pictures.push_back(PictureOf(*tile));
  DrawTiles(true);
  if (!problems.empty()) ShowMessage(QString::fromStdString(problems));
}

void CTextureMapWindow::ChooseImage() {
  const QString name = QFileDialog::getOpenFileName(this, "Open", m_Folder, "Image files (*.*)");
  if (!name.isEmpty()) OpenImage(name);
}

bool CTextureMapWindow::OpenImage(const QString& fileName) {
  const std::string problem = m_Tiles.LoadImage(fileName.toStdString());
  m_Pictures.clear();
  for (const auto& tile : m_Tiles.m_Tiles) m_Pictures.push_back(PictureOf(*tile));
  m_Pan = QPoint(0, 0);
  DrawTiles(true);
  if (problem.empty()) return true;
  ShowMessage(QString::fromStdString(problem));
  return false;
}

void CTextureMapWindow::ChangeOverlap(int delta) {
  m_Tiles.ChangeOverlap(delta);
  DrawTiles(true);
}

void CTextureMapWindow::InitView() {
  m_Pan = QPoint(0, 0);
  DrawTiles(true);
}

void CTextureMapWindow::PanBy(QPoint motion) {
  m_Pan += motion;
  // While dragging the picture is not cleared, as the tiles cover it.
  DrawTiles(false);
}

void CTextureMapWindow::ResizeOffScreen(QSize size) {
  m_OffScreen = QImage(size, QImage::Format_RGB32);
  DrawTiles(true);
}

void CTextureMapWindow::DrawTiles(bool clear) {
  if (m_OffScreen.isNull()) return;
  QPainter painter(&m_OffScreen);
  if (clear) painter.fillRect(m_OffScreen.rect(), palette().color(QPalette::Button));
  for (std::size_t i = 0; i < m_Pictures.size(); ++i) {
    const QImage& picture = m_Pictures[i];
    if (picture.isNull()) continue;
    const TilePlacement place = PlaceTile(static_cast<int>(i), m_Tiles.m_Grid, picture.width(),
                                          picture.height(), m_Tiles.m_Overlap, m_Pan.x(), m_Pan.y(),
                                          m_OffScreen.width(), m_OffScreen.height());
    if (place.visible) painter.drawImage(place.x, place.y, picture);
  }
  m_Canvas->update();
}

void CTextureMapWindow::ShowMessage(const QString& text) {
  QMessageBox::warning(this, "Texture map", text);
}

} // namespace orvex
