#include "app/gui/UnavailableView.h"

#include <QPainter>
#include <QPalette>
#include <QRect>
#include <QString>

namespace orvex {

void PaintUnavailableView(QPainter& painter, const QRect& area, const QPalette& palette,
                          const QString& message) {
  painter.fillRect(area, palette.window());
  painter.setPen(palette.color(QPalette::WindowText));
  painter.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, message);
}

} // namespace orvex
