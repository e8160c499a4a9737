#include "app/gui/QtUserInterface.h"

#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QMimeData>

#include "app/gui/MainFrame.h"
#include "app/gui/ParamDialog.h"
#include "app/gui/PictureConversion.h"
#include "io/WriteSvg.h"

namespace orvex {

static const char* const kAllFiles = "All Files (*.*)";

static QString Title(const std::string& title) {
  return title.empty() ? QString(CMainFrame::kCaption) : QString::fromStdString(title);
}

// Plain messages carry the exclamation mark, questions the question mark.
void CQtUserInterface::ShowMessage(const std::string& text, const std::string& title) {
  QMessageBox::warning(&m_Frame, Title(title), QString::fromStdString(text));
}

bool CQtUserInterface::AskYesNo(const std::string& question) {
  return QMessageBox::question(&m_Frame, Title(std::string()), QString::fromStdString(question),
                               QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void CQtUserInterface::SetStatusText(const std::string& text) {
  m_Frame.SetStatusText(QString::fromStdString(text));
}

void CQtUserInterface::BeginWaitCursor() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
}

void CQtUserInterface::EndWaitCursor() {
  QApplication::restoreOverrideCursor();
}

void CQtUserInterface::RequestRedraw(bool) {
  m_Frame.UpdateViews(m_Frame.ActiveDocument(), false);
}

void CQtUserInterface::RedrawNow() {
  m_Frame.UpdateViews(m_Frame.ActiveDocument(), true);
}

bool CQtUserInterface::AskOpenFileName(std::string& fileName) {
  // a name given beforehand is the folder to start in
  QString name =
      QFileDialog::getOpenFileName(&m_Frame, "Open", QString::fromStdString(fileName), kAllFiles);
  if (name.isEmpty()) return false;
  fileName = name.toStdString();
  return true;
}

bool CQtUserInterface::AskSaveFileName(std::string& fileName) {
  QString name = QFileDialog::getSaveFileName(&m_Frame, "Save As", QString::fromStdString(fileName),
                                              kAllFiles);
  if (name.isEmpty()) return false;
  fileName = name.toStdString();
  return true;
}

bool CQtUserInterface::EditParameters(const std::string& title, ParamValues& values) {
  CParamDialog dialog(QString::fromStdString(title), values, &m_Frame);
  return dialog.exec() == QDialog::Accepted;
}

bool CQtUserInterface::AskColor(CColor& color) {
  QColor chosen = QColorDialog::getColor(QColor(color.r, color.g, color.b), &m_Frame);
  if (!chosen.isValid()) return false;
  color.Set(static_cast<unsigned char>(chosen.red()), static_cast<unsigned char>(chosen.green()),
            static_cast<unsigned char>(chosen.blue()));
  return true;
}

void CQtUserInterface::SetClipboardText(const std::string& text) {
  if (QClipboard* clipboard = QApplication::clipboard())
    clipboard->setText(QString::fromStdString(text));
}

void CQtUserInterface::SetClipboardImage(const CRgbImage& image) {
  if (QClipboard* clipboard = QApplication::clipboard()) clipboard->setImage(ImageFromRgb(image));
}

void CQtUserInterface::SetClipboardPicture(const CVectorPicture& picture) {
  QClipboard* clipboard = QApplication::clipboard();
  if (!clipboard) return;
  auto* data = new QMimeData;
  const std::string svg = SvgText(picture);
  data->setData("image/svg+xml", QByteArray(svg.data(), qsizetype(svg.size())));
  data->setImageData(PaintPicture(picture));
  clipboard->setMimeData(data);
}

bool CQtUserInterface::AskExportFileName(std::string& fileName, const std::string& filter) {
  QFileDialog dialog(&m_Frame, "Save As", QString(), QString::fromStdString(filter));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
  dialog.selectFile(QString::fromStdString(fileName));
  const std::string::size_type dot = fileName.rfind('.');
  if (dot != std::string::npos)
    dialog.setDefaultSuffix(QString::fromStdString(fileName.substr(dot + 1)));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  fileName = dialog.selectedFiles().first().toStdString();
  return true;
}

void CQtUserInterface::ShowDistribution(const std::string& title,
                                        const std::vector<int>& histogram) {
  if (!m_Distribution) m_Distribution = new CDistributionWindow(&m_Frame);
  if (!title.empty()) m_Distribution->setWindowTitle(QString::fromStdString(title));
  m_Distribution->SetHistogram(histogram);
  m_Distribution->show();
  m_Distribution->raise();
}

bool CQtUserInterface::ShowProgress(double fraction, const std::string& phase, bool cancellable) {
  return m_Frame.Progress().Show(fraction, QString::fromStdString(phase), cancellable);
}

void CQtUserInterface::EndProgress() {
  m_Frame.Progress().End();
}

} // namespace orvex
