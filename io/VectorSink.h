#pragma once

// Vector drawings in view pixels (x to the right, y down from the top
// left corner): lines and filled, outlined polygons in RGB colours. The
// mesh drawing routines draw into a CVectorSink; CVectorPicture keeps what
// was drawn for the SVG writer and the clipboard.

#include <cstdint>
#include <vector>

#include "geometry/Color.h"

struct CVectorPoint {
  double x = 0.0;
  double y = 0.0;
};

class CVectorSink {
public:
  virtual ~CVectorSink() = default;
  // A line of the given colour, one pixel wide.
  virtual void Line(CVectorPoint a, CVectorPoint b, const CColor& color) = 0;
  // A polygon filled with fill; outlined with the outline colour when
  // outlined is set.
  virtual void Polygon(const CVectorPoint* points, int count, const CColor& fill, bool outlined,
                       const CColor& outline) = 0;
};

// A picture of width x height pixels recorded as primitives, in drawing
// order (later ones cover earlier ones).
class CVectorPicture : public CVectorSink {
public:
  enum class Kind : uint8_t { Line, Polygon };
  struct Primitive {
    Kind kind;
    bool outlined;
    CColor fill;    // the line colour of a line
    CColor outline; // unused by a line
    uint32_t first; // first point in m_Points
    uint32_t count;
  };

  CVectorPicture(int width = 0, int height = 0) : m_Width(width), m_Height(height) {}

  void Line(CVectorPoint a, CVectorPoint b, const CColor& color) override;
  void Polygon(const CVectorPoint* points, int count, const CColor& fill, bool outlined,
               const CColor& outline) override;

  int Width() const { return m_Width; }
  int Height() const { return m_Height; }
  // Background of the picture; none (transparent) unless set.
  void SetBackground(const CColor& color) {
    m_Background = color;
    m_HasBackground = true;
  }
  bool HasBackground() const { return m_HasBackground; }
  const CColor& Background() const { return m_Background; }
  const std::vector<Primitive>& Primitives() const { return m_Primitives; }
  const CVectorPoint* Points(const Primitive& p) const { return m_Points.data() + p.first; }

private:
  int m_Width;
  int m_Height;
  bool m_HasBackground = false;
  CColor m_Background;
  std::vector<Primitive> m_Primitives;
  std::vector<CVectorPoint> m_Points;
};
