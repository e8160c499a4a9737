#pragma once

// "Data analysis": a modal window showing a scalar image in grey levels,
// with menus to open ".pts" and ".faces" files, save the picture, fill the
// holes and smooth. It never touches the document.

#include <QDialog>
#include <QString>

#include "app/side/ScalarImage.h"
#include "io/RgbImage.h"

class QAction;
class QMenuBar;

namespace orvex {

class CDataAnalysisWindow : public QDialog {
  Q_OBJECT
public:
  // Pictures are saved into folder (the document's folder).
  explicit CDataAnalysisWindow(QString folder, QWidget* parent = nullptr);

  const CScalarImage& Image() const { return m_Image; }
  const CRgbImage& Display() const { return m_Display; }
  QMenuBar* Menus() const { return m_Menus; }
  // The action of a menu path ("File", "Open...").
  QAction* Action(const QString& menu, const QString& item) const;

  // The menu commands without their file dialogs; false after a message.
  bool OpenFile(const QString& fileName);
  bool Save();
  void Fill();
  void RecursiveFill();
  void Gaussian();

private:
  void ChooseFile();
  void Refresh();
  void ShowError(const QString& text);

  QString m_Folder;
  CScalarImage m_Image;
  CRgbImage m_Display;
  QMenuBar* m_Menus = nullptr;
  QWidget* m_Canvas = nullptr;
};

} // namespace orvex
