#include "app/gui/DistributionWindow.h"

#include <QPainter>
#include <algorithm>

namespace orvex {

CDistributionWindow::CDistributionWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setWindowTitle(kTitle);
  setObjectName(kTitle);
  setAttribute(Qt::WA_DeleteOnClose, false);
  resize(420, 260);
}

void CDistributionWindow::SetHistogram(const std::vector<int>& histogram) {
  m_Histogram = histogram;
  update();
}

void CDistributionWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::white);
  const int margin = 24;
  QRect plot = rect().adjusted(margin, margin, -margin, -margin);
  if (m_Histogram.empty() || plot.width() <= 0 || plot.height() <= 0) return;
  int highest = *std::max_element(m_Histogram.begin(), m_Histogram.end());
  if (highest <= 0) return;

  const int n = static_cast<int>(m_Histogram.size());
  const double step = static_cast<double>(plot.width()) / n;
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(51, 153, 255));
  for (int value = 0; value < n; value++) {
    int count = m_Histogram[value];
    if (count <= 0) continue;
    int height = std::max(1, static_cast<int>(1.0 * count * plot.height() / highest));
    int left = plot.left() + static_cast<int>(value * step);
    int right = plot.left() + static_cast<int>((value + 1) * step);
    painter.drawRect(left, plot.bottom() - height + 1, std::max(1, right - left - 1), height);
  }

  painter.setPen(Qt::black);
  painter.drawLine(plot.bottomLeft(), plot.bottomRight());
  painter.drawText(QRect(plot.left(), plot.bottom() + 2, plot.width(), margin - 2),
                   Qt::AlignLeft | Qt::AlignTop, "0");
  painter.drawText(QRect(plot.left(), plot.bottom() + 2, plot.width(), margin - 2),
                   Qt::AlignRight | Qt::AlignTop, QString::number(n - 1));
  painter.drawText(QRect(plot.left(), 0, plot.width(), margin), Qt::AlignLeft | Qt::AlignVCenter,
                   QString::number(highest));
}

} // namespace orvex
