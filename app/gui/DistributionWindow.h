#pragma once

#include <QWidget>
#include <vector>

namespace orvex {

// The "Distribution" window: a non-modal window that paints a histogram as
// bars, one per value from 0 to the largest, with the value axis labelled
// at its ends and the highest count at the top.
class CDistributionWindow : public QWidget {
  Q_OBJECT

public:
  static constexpr const char* kTitle = "Distribution";

  explicit CDistributionWindow(QWidget* parent = nullptr);

  void SetHistogram(const std::vector<int>& histogram);
  const std::vector<int>& Histogram() const { return m_Histogram; }

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  std::vector<int> m_Histogram;
};

} // namespace orvex
