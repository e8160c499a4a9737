#pragma once

// "Texture map": a modal window showing a large picture stored as a grid of
// overlapping tiles at three levels of detail, panned with the left mouse
// button. Tiles are drawn into an off-screen picture of the client size,
// which painting copies to the window. It never touches the document.

#include <QDialog>
#include <QImage>
#include <QPoint>
#include <QString>

#include "app/side/TileSet.h"

class QAction;
class QMenuBar;

namespace orvex {

class CTextureMapWindow : public QDialog {
  Q_OBJECT
public:
  // Tiles are read from folder (the document's folder).
  explicit CTextureMapWindow(QString folder, QWidget* parent = nullptr);

  const CTileSet& Tiles() const { return m_Tiles; }
  QPoint Pan() const { return m_Pan; }
  QWidget* Canvas() const { return m_Canvas; }
  const QImage& OffScreen() const { return m_OffScreen; }
  QMenuBar* Menus() const { return m_Menus; }
  QAction* Action(const QString& menu, const QString& item) const;

  // The menu commands; the level's or the file's problems in a message box.
  void LoadLevel(int lod);
  bool OpenImage(const QString& fileName);
  void ChangeOverlap(int delta);
  void InitView();

  // The canvas's mouse and size, in client pixels.
  void PanBy(QPoint motion);
  void ResizeOffScreen(QSize size);
  // Draws the visible tiles into the off-screen picture, on the button-face
  // colour when clear is set.
  void DrawTiles(bool clear);

private:
  void ChooseImage();
  void ShowMessage(const QString& text);

  QString m_Folder;
  CTileSet m_Tiles;
  std::vector<QImage> m_Pictures; // the tiles as Qt images (null for empty tiles)
  QPoint m_Pan;
  QImage m_OffScreen;
  QMenuBar* m_Menus = nullptr;
  QWidget* m_Canvas = nullptr;
};

} // namespace orvex
