#include "io/FeedbackBuffer.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

// A float of the buffer read as a token or a count: a finite whole number
// in [0, 2^31); -1 otherwise.
long WholeNumber(float value) {
  if (!std::isfinite(value) || value < 0.0f || value >= 2147483648.0f) return -1;
  if (std::floor(value) != value) return -1;
  return static_cast<long>(value);
}

// Copies n vertices from buffer[at] and appends their primitive.
void AddPrimitive(const float* buffer, long at, uint32_t n, FeedbackKind kind,
                  CFeedbackScene& scene) {
  const uint32_t first = static_cast<uint32_t>(scene.vertices.size() / kFeedbackVertexFloats);
  scene.vertices.insert(scene.vertices.end(), buffer + at,
                        buffer + at + long(n) * kFeedbackVertexFloats);
  scene.primitives.push_back({kind, first, n, FeedbackDepth(scene, first, n)});
}

} // namespace

float FeedbackDepth(const CFeedbackScene& scene, uint32_t first, uint32_t count) {
  if (count == 0) return 0.0f;
  double sum = 0.0;
  for (uint32_t i = 0; i < count; i++) sum += scene.Vertex(first + i)[2];
  const float depth = static_cast<float>(sum / count);
  // a key that is not a number would break the order of the sort
  return std::isnan(depth) ? 0.0f : depth;
}

bool ParseFeedback(const float* buffer, long count, CFeedbackScene& scene, std::string& error) {
  if (count < 0) {
    error = "Feedback buffer overflow";
    return false;
  }
  if (count > 0 && !buffer) {
    error = "No feedback buffer";
    return false;
  }
  auto cutShort = [&error](long at) {
    error = "Feedback record cut short at float " + std::to_string(at);
    return false;
  };
  long at = 0;
  while (at < count) {
    const long token = WholeNumber(buffer[at]);
    const long left = count - at - 1; // floats after the token
    switch (token) {
    // skipped records: one value, or one vertex
    case kFeedbackPassThrough:
      if (left < 1) return cutShort(at);
      at += 2;
      break;
    case kFeedbackBitmap:
    case kFeedbackDrawPixel:
    case kFeedbackCopyPixel:
      if (left < kFeedbackVertexFloats) return cutShort(at);
      at += 1 + kFeedbackVertexFloats;
      break;
    // drawn records
    case kFeedbackPoint:
      if (left < kFeedbackVertexFloats) return cutShort(at);
      AddPrimitive(buffer, at + 1, 1, FeedbackKind::Point, scene);
      at += 1 + kFeedbackVertexFloats;
      break;
    case kFeedbackLine:
    case kFeedbackLineReset:
      if (left < 2 * kFeedbackVertexFloats) return cutShort(at);
      AddPrimitive(buffer, at + 1, 2, FeedbackKind::Line, scene);
      at += 1 + 2 * kFeedbackVertexFloats;
      break;
    case kFeedbackPolygon: {
      if (left < 1) return cutShort(at);
      const long n = WholeNumber(buffer[at + 1]);
      if (n < 0 || n > (left - 1) / kFeedbackVertexFloats) {
        if (n < 0) {
          error = "Bad polygon vertex count at float " + std::to_string(at + 1);
          return false;
        }
        return cutShort(at);
      }
      AddPrimitive(buffer, at + 2, static_cast<uint32_t>(n), FeedbackKind::Polygon, scene);
      at += 2 + n * kFeedbackVertexFloats;
      break;
    }
    default:
      error = "Unknown feedback token at float " + std::to_string(at);
      return false;
    }
  }
  return true;
}

std::vector<uint32_t> FarthestFirst(const CFeedbackScene& scene) {
  std::vector<uint32_t> order(scene.primitives.size());
  std::iota(order.begin(), order.end(), 0u);
  const CFeedbackPrimitive* p = scene.primitives.data();
  std::stable_sort(order.begin(), order.end(),
                   [p](uint32_t a, uint32_t b) { return p[a].depth > p[b].depth; });
  return order;
}
