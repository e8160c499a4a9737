#include "app/gui/PictureConversion.h"

#include <QPainter>
#include <QPolygonF>

#include <cstring>

namespace orvex {

CRgbImage RgbFromImage(const QImage& image) {
  const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
  CRgbImage out;
  out.Resize(rgb.width(), rgb.height());
  const size_t row = size_t(rgb.width()) * 3;
  for (int y = 0; y < rgb.height(); y++)
    std::memcpy(out.m_Pixels.data() + size_t(y) * row, rgb.constScanLine(y), row);
  return out;
}

QImage ImageFromRgb(const CRgbImage& image) {
  QImage out(image.m_Width, image.m_Height, QImage::Format_RGB888);
  const size_t row = size_t(image.m_Width) * 3;
  for (int y = 0; y < image.m_Height; y++)
    std::memcpy(out.scanLine(y), image.m_Pixels.data() + size_t(y) * row, row);
  return out;
}

static QColor ToQColor(const CColor& c) {
  return QColor(c.r, c.g, c.b);
}

QImage PaintPicture(const CVectorPicture& picture) {
  QImage out(std::max(1, picture.Width()), std::max(1, picture.Height()), QImage::Format_RGB32);
  out.fill(picture.HasBackground() ? ToQColor(picture.Background()) : QColor(Qt::white));
  QPainter painter(&out);
  painter.setRenderHint(QPainter::Antialiasing);
  for (const CVectorPicture::Primitive& p : picture.Primitives()) {
    const CVectorPoint* points = picture.Points(p);
    if (p.kind == CVectorPicture::Kind::Line) {
      painter.setPen(QPen(ToQColor(p.fill), 1.0));
      painter.drawLine(QPointF(points[0].x, points[0].y), QPointF(points[1].x, points[1].y));
      continue;
    }
    QPolygonF polygon;
    for (uint32_t i = 0; i < p.count; i++) polygon << QPointF(points[i].x, points[i].y);
    painter.setBrush(ToQColor(p.fill));
    painter.setPen(p.outlined ? QPen(ToQColor(p.outline), 1.0) : QPen(Qt::NoPen));
    painter.drawPolygon(polygon);
  }
  return out;
}

} // namespace orvex
