#include "io/VectorSink.h"

void CVectorPicture::Line(CVectorPoint a, CVectorPoint b, const CColor& color) {
  const uint32_t first = static_cast<uint32_t>(m_Points.size());
  m_Points.push_back(a);
  m_Points.push_back(b);
  m_Primitives.push_back({Kind::Line, false, color, color, first, 2});
}

void CVectorPicture::Polygon(const CVectorPoint* points, int count, const CColor& fill,
                             bool outlined, const CColor& outline) {
  if (count <= 0) return;
  const uint32_t first = static_cast<uint32_t>(m_Points.size());
  m_Points.insert(m_Points.end(), points, points + count);
  m_Primitives.push_back(
      {Kind::Polygon, outlined, fill, outline, first, static_cast<uint32_t>(count)});
}
