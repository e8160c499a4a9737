#pragma once

#include <QDialog>
#include <functional>

class COrvexDoc;
class QLabel;

// Textures "Edit..." of the command panel: the name, size and a preview of
// the first object's texture, with "Load..." to read another image for it.
// Loading runs through load (the panel's command), then the dialog shows
// what the document holds.
class CTextureEditDialog : public QDialog {
  Q_OBJECT
public:
  CTextureEditDialog(const COrvexDoc& doc, std::function<void(const QString&)> load,
                     QWidget* parent = nullptr);
  // Shows the first object's texture as the document holds it now.
  void Refresh();
  // Asks for the image file; replaceable by tests.
  std::function<QString()> m_ChooseFile;

private:
  const COrvexDoc& m_Doc;
  std::function<void(const QString&)> m_Load;
  QLabel* m_pName = nullptr;
  QLabel* m_pSize = nullptr;
  QLabel* m_pPreview = nullptr;
};
