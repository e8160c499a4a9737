#pragma once

// Feedback buffers built by hand, record by record, as GL writes them in
// 3D-with-colour mode (x, y, z, r, g, b, a per vertex).

#include <initializer_list>
#include <vector>

#include "io/FeedbackBuffer.h"

namespace testsupport {

struct FeedbackVertex {
  float x, y, z, r, g, b;
};

class FeedbackRecords {
public:
  FeedbackRecords& Point(const FeedbackVertex& v) { return Token(kFeedbackPoint).Vertex(v); }
  FeedbackRecords& Line(const FeedbackVertex& a, const FeedbackVertex& b, bool reset = false) {
    return Token(reset ? kFeedbackLineReset : kFeedbackLine).Vertex(a).Vertex(b);
  }
  FeedbackRecords& Polygon(std::initializer_list<FeedbackVertex> corners) {
    Token(kFeedbackPolygon);
    m_Floats.push_back(float(corners.size()));
    for (const FeedbackVertex& v : corners) Vertex(v);
    return *this;
  }
  // Records the writer skips: pass-through (one value), bitmap and pixel
  // records (one vertex).
  FeedbackRecords& PassThrough(float value) {
    Token(kFeedbackPassThrough);
    m_Floats.push_back(value);
    return *this;
  }
  FeedbackRecords& VertexRecord(int token, const FeedbackVertex& v) {
    return Token(token).Vertex(v);
  }
  FeedbackRecords& Raw(std::initializer_list<float> values) {
    m_Floats.insert(m_Floats.end(), values);
    return *this;
  }

  const std::vector<float>& Floats() const { return m_Floats; }
  long Count() const { return long(m_Floats.size()); }

private:
  FeedbackRecords& Token(int token) {
    m_Floats.push_back(float(token));
    return *this;
  }
  FeedbackRecords& Vertex(const FeedbackVertex& v) {
    m_Floats.insert(m_Floats.end(), {v.x, v.y, v.z, v.r, v.g, v.b, 1.0f});
    return *this;
  }
  std::vector<float> m_Floats;
};

} // namespace testsupport
