#include "app/gui/ProgramIcon.h"

#include <QPainter>
#include <QPolygonF>

#include "app/install/ProgramIconShapes.h"

namespace orvex {

QImage ProgramIconImage(int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / kIconSize, size / kIconSize);
  p.setPen(QPen(QColor(kIconEdge[0], kIconEdge[1], kIconEdge[2]), kIconEdgeWidth, Qt::SolidLine,
                Qt::RoundCap, Qt::RoundJoin));
  int count = 0;
  const CIconTriangle* triangles = IconTriangles(count);
  for (int i = 0; i < count; i++) {
    const CIconTriangle& t = triangles[i];
    p.setBrush(QColor(t.r, t.g, t.b));
    p.drawPolygon(QPolygonF({{t.x[0], t.y[0]}, {t.x[1], t.y[1]}, {t.x[2], t.y[2]}}));
  }
  return image;
}

QIcon ProgramIcon() {
  QIcon icon;
  for (int size : {16, 32, 64, 128, 256})
    icon.addPixmap(QPixmap::fromImage(ProgramIconImage(size)));
  return icon;
}

} // namespace orvex
