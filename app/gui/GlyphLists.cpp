#include "app/gui/GlyphLists.h"

#include <GL/gl.h>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <vector>

namespace orvex {
namespace {

constexpr int kGlyphCount = 255;

QChar Glyph(int code) {
  return QChar::fromLatin1(static_cast<char>(code));
}

// The rows of a glyph image as a glBitmap wants them: one bit per pixel,
// most significant bit first, bottom row first, rows packed to bytes.
void PackBitmap(const QImage& image, std::vector<GLubyte>& bits) {
  int rowBytes = (image.width() + 7) / 8;
  bits.assign(static_cast<size_t>(rowBytes) * image.height(), 0);
  for (int y = 0; y < image.height(); y++) {
    const uchar* line = image.constScanLine(image.height() - 1 - y);
    GLubyte* row = bits.data() + static_cast<size_t>(y) * rowBytes;
    for (int x = 0; x < image.width(); x++)
      if (line[x] >= 128) row[x / 8] |= static_cast<GLubyte>(0x80 >> (x % 8));
  }
}

} // namespace

int glBuildGlyphLists(const QFont& font, unsigned base) {
  if (glIsList(base)) return 0;

  QFont sharp(font);
  sharp.setStyleStrategy(QFont::NoAntialias);
  QFontMetrics metrics(sharp);
  int width = 1;
  for (int code = 0; code < kGlyphCount; code++)
    width = std::max(width, metrics.horizontalAdvance(Glyph(code)));
  int height = std::max(1, metrics.height());

  QImage image(width, height, QImage::Format_Grayscale8);
  image.fill(0);
  QPainter painter(&image);
  painter.setFont(sharp);
  painter.setPen(Qt::white);

  GLint alignment = 4;
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  std::vector<GLubyte> bits;
  for (int code = 0; code < kGlyphCount; code++) {
    QChar glyph = Glyph(code);
    painter.fillRect(image.rect(), Qt::black);
    if (glyph.isPrint()) painter.drawText(0, metrics.ascent(), QString(glyph));
    PackBitmap(image, bits);
    glNewList(base + code, GL_COMPILE);
    glBitmap(width, height, 0.0f, static_cast<GLfloat>(metrics.descent()),
             static_cast<GLfloat>(metrics.horizontalAdvance(glyph)), 0.0f, bits.data());
    glEndList();
  }
  glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
  return kGlyphCount;
}

} // namespace orvex
