#include "app/gui/ToolbarIcons.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QRadialGradient>

namespace orvex {
namespace {

constexpr int kWidth = 23;
constexpr int kHeight = 22;

const QPointF kTriangle[3] = {{11.5, 2.5}, {2.5, 19.5}, {20.5, 19.5}};

void Triangle(QPainter& p, const QBrush& brush) {
  p.setBrush(brush);
  p.drawPolygon(kTriangle, 3);
}

void Sphere(QPainter& p, QColor color) {
  QRadialGradient gradient(8.5, 7.5, 11.0);
  gradient.setColorAt(0.0, Qt::white);
  gradient.setColorAt(0.4, color);
  gradient.setColorAt(1.0, color.darker(250));
  p.setPen(Qt::NoPen);
  p.setBrush(gradient);
  p.drawEllipse(QRectF(2.0, 1.5, 19.0, 19.0));
}

void Arrow(QPainter& p, bool increase) {
  p.setPen(QPen(Qt::black, 2.0));
  p.drawLine(QPointF(3, 11), QPointF(15, 11));
  p.setBrush(Qt::black);
  const QPointF head[3] = {{20, 11}, {14, 6}, {14, 16}};
  p.drawPolygon(head, 3);
  p.setPen(QPen(increase ? Qt::darkGreen : Qt::red, 2.0));
  p.drawLine(QPointF(4, 4), QPointF(10, 4));
  if (increase) p.drawLine(QPointF(7, 1), QPointF(7, 7));
}

void DrawIcon(QPainter& p, ToolIcon icon) {
  p.setPen(QPen(Qt::black, 1.0));
  switch (icon) {
  case ToolIcon::New: {
    const QPointF page[5] = {{5, 1.5}, {14, 1.5}, {18, 6}, {18, 20.5}, {5, 20.5}};
    p.setBrush(Qt::white);
    p.drawPolygon(page, 5);
    p.drawPolyline(QPolygonF({{14, 1.5}, {14, 6}, {18, 6}}));
    break;
  }
  case ToolIcon::Open:
    p.setBrush(QColor(230, 200, 90));
    p.drawRect(QRectF(2.5, 6.5, 15, 12));
    p.setBrush(QColor(250, 225, 120));
    p.drawPolygon(QPolygonF({{5.5, 10.5}, {21.5, 10.5}, {17.5, 18.5}, {2.5, 18.5}}));
    break;
  case ToolIcon::Save:
    p.setBrush(QColor(40, 60, 140));
    p.drawRect(QRectF(3.5, 2.5, 16, 17));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(6.5, 2.5, 10, 7));
    p.setBrush(Qt::lightGray);
    p.drawRect(QRectF(7.5, 13.5, 8, 6));
    break;
  case ToolIcon::Light:
    p.setBrush(QColor(255, 240, 80));
    p.drawEllipse(QRectF(5.5, 1.5, 12, 12));
    p.setBrush(Qt::gray);
    p.drawRect(QRectF(8.5, 13.5, 6, 6));
    break;
  case ToolIcon::Flat:
    Triangle(p, QColor(120, 140, 200));
    p.drawLine(kTriangle[0], QPointF(11.5, 19.5));
    break;
  case ToolIcon::Line:
    p.setBrush(Qt::NoBrush);
    Triangle(p, Qt::NoBrush);
    p.drawLine(kTriangle[0], QPointF(11.5, 19.5));
    p.drawLine(QPointF(7, 11), QPointF(16, 11));
    break;
  case ToolIcon::Gouraud: {
    QLinearGradient gradient(2, 19, 20, 3);
    gradient.setColorAt(0.0, QColor(20, 30, 90));
    gradient.setColorAt(1.0, QColor(200, 215, 255));
    Triangle(p, gradient);
    break;
  }
  case ToolIcon::Brass:
    Sphere(p, QColor(180, 140, 40));
    break;
  case ToolIcon::Pewter:
    Sphere(p, QColor(120, 120, 130));
    break;
  case ToolIcon::LightBlue:
    Sphere(p, QColor(110, 170, 240));
    break;
  case ToolIcon::Simple:
    Triangle(p, Qt::white);
    p.drawPolygon(QPolygonF({{7, 11}, {16, 11}, {11.5, 19.5}}));
    break;
  case ToolIcon::Loop: {
    QPainterPath path;
    path.moveTo(kTriangle[0]);
    path.quadTo(QPointF(2, 8), kTriangle[1]);
    path.quadTo(QPointF(11.5, 23), kTriangle[2]);
    path.quadTo(QPointF(21, 8), kTriangle[0]);
    p.setBrush(QColor(150, 200, 150));
    p.drawPath(path);
    p.drawPolygon(QPolygonF({{7, 11}, {16, 11}, {11.5, 19.5}}));
    break;
  }
  case ToolIcon::Curvature: {
    QLinearGradient gradient(2, 0, 21, 0);
    gradient.setColorAt(0.0, Qt::blue);
    gradient.setColorAt(0.5, Qt::green);
    gradient.setColorAt(1.0, Qt::red);
    Triangle(p, gradient);
    break;
  }
  case ToolIcon::Coding: {
    QFont font = p.font();
    font.setPixelSize(9);
    font.setBold(true);
    p.setFont(font);
    p.drawText(QRectF(0, 0, kWidth, 11), Qt::AlignCenter, "010");
    p.drawText(QRectF(0, 11, kWidth, 11), Qt::AlignCenter, "11");
    break;
  }
  case ToolIcon::Reset:
    p.setBrush(QColor(200, 80, 60));
    p.drawPolygon(QPolygonF({{11.5, 2.5}, {2.5, 11.5}, {20.5, 11.5}}));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(5.5, 11.5, 12, 8));
    break;
  case ToolIcon::TranslationIncrease:
    Arrow(p, true);
    break;
  case ToolIcon::TranslationDecrease:
    Arrow(p, false);
    break;
  case ToolIcon::FullScreen:
    p.setBrush(QColor(90, 140, 220));
    p.drawRect(QRectF(2.5, 3.5, 18, 15));
    p.setPen(QPen(Qt::white, 2.0));
    p.drawPolyline(QPolygonF({{5, 9}, {5, 6}, {8, 6}}));
    p.drawPolyline(QPolygonF({{18, 13}, {18, 16}, {15, 16}}));
    break;
  case ToolIcon::About: {
    p.setBrush(QColor(60, 110, 200));
    p.drawEllipse(QRectF(2.5, 1.5, 18, 18));
    QFont font = p.font();
    font.setPixelSize(14);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(2.5, 1.5, 18, 18), Qt::AlignCenter, "?");
    break;
  }
  }
}

} // namespace

QIcon ToolbarIcon(ToolIcon icon) {
  QPixmap pixmap(kWidth, kHeight);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  DrawIcon(painter, icon);
  painter.end();
  return QIcon(pixmap);
}

} // namespace orvex
