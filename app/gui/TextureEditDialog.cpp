#include "app/gui/TextureEditDialog.h"

#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/OrvexDoc.h"
#include "app/PanelActions.h"
#include "geometry/TextureImage.h"

namespace {

constexpr int kPreviewSide = 128;

// The texture's pixels (RGB or RGBA rows from the bottom up, as OpenGL
// takes them) as an upright image.
QImage PreviewOf(const CTextureImage& texture) {
  const int w = static_cast<int>(texture.GetWidth());
  const int h = static_cast<int>(texture.GetHeight());
  const int bytes = texture.GetDepth() == 32 ? 4 : 3;
  QImage image(w, h, QImage::Format_RGB32);
  const unsigned char* pixels = texture.GetPixels();
  for (int y = 0; y < h; y++) {
    const unsigned char* row = pixels + static_cast<size_t>(h - 1 - y) * texture.GetRowBytes();
    for (int x = 0; x < w; x++, row += bytes) image.setPixel(x, y, qRgb(row[0], row[1], row[2]));
  }
  return image;
}

} // namespace

CTextureEditDialog::CTextureEditDialog(const COrvexDoc& doc,
                                       std::function<void(const QString&)> load, QWidget* parent)
    : QDialog(parent), m_Doc(doc), m_Load(std::move(load)) {
  setWindowTitle("Texture");
  m_ChooseFile = [this] {
    return QFileDialog::getOpenFileName(this, "Load texture", QString(),
                                        "Images (*.bmp *.jpg *.jpeg *.rgb *.raw);;All files (*)");
  };
  auto* layout = new QVBoxLayout(this);
  auto* fields = new QFormLayout;
  m_pName = new QLabel(this);
  m_pSize = new QLabel(this);
  fields->addRow("Name", m_pName);
  fields->addRow("Size", m_pSize);
  layout->addLayout(fields);
  m_pPreview = new QLabel(this);
  m_pPreview->setObjectName("preview");
  m_pPreview->setMinimumSize(kPreviewSide, kPreviewSide);
  m_pPreview->setAlignment(Qt::AlignCenter);
  layout->addWidget(m_pPreview);
  auto* buttons = new QHBoxLayout;
  auto* loadButton = new QPushButton("Load...", this);
  loadButton->setObjectName("load");
  auto* close = new QPushButton("Close", this);
  buttons->addWidget(loadButton);
  buttons->addStretch(1);
  buttons->addWidget(close);
  layout->addLayout(buttons);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  connect(loadButton, &QPushButton::clicked, this, [this] {
    const QString file = m_ChooseFile();
    if (file.isEmpty()) return;
    m_Load(file);
    Refresh();
  });
  Refresh();
}

void CTextureEditDialog::Refresh() {
  orvex::CPanelTexture texture;
  if (!orvex::FirstObjectTexture(m_Doc, texture)) {
    m_pName->setText("(none)");
    m_pSize->setText(QString());
    m_pPreview->setPixmap(QPixmap());
    return;
  }
  m_pName->setText(QString::fromStdString(texture.name));
  m_pSize->setText(QStringLiteral("%1 x %2").arg(texture.width).arg(texture.height));
  m_pPreview->setPixmap(QPixmap::fromImage(
      PreviewOf(*texture.image).scaled(kPreviewSide, kPreviewSide, Qt::KeepAspectRatio)));
}
