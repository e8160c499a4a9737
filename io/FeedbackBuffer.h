#pragma once

// The records of an OpenGL feedback buffer of type 3D with color (every
// vertex is window x, y, z and red, green, blue, alpha: 7 floats), parsed
// into flat arrays for the vector writers. Every count is checked against
// what the buffer holds, so any buffer of any length parses without
// reading past its end.

#include <cstdint>
#include <string>
#include <vector>

// Token values of the feedback buffer (fixed by OpenGL 1.1).
enum FeedbackToken : int {
  kFeedbackPassThrough = 0x0700,
  kFeedbackPoint = 0x0701,
  kFeedbackLine = 0x0702,
  kFeedbackPolygon = 0x0703,
  kFeedbackBitmap = 0x0704,
  kFeedbackDrawPixel = 0x0705,
  kFeedbackCopyPixel = 0x0706,
  kFeedbackLineReset = 0x0707,
};

// Floats of one vertex: x, y, z, r, g, b, a.
constexpr int kFeedbackVertexFloats = 7;

enum class FeedbackKind : uint8_t { Point, Line, Polygon };

// One drawn primitive: its kind, where its vertices start in the vertex
// array (in vertices), how many it has and its depth key.
struct CFeedbackPrimitive {
  FeedbackKind kind;
  uint32_t first;
  uint32_t count;
  float depth;
};

// The primitives of one feedback buffer, in buffer order, with their
// vertices copied into one flat array (7 floats each).
struct CFeedbackScene {
  std::vector<CFeedbackPrimitive> primitives;
  std::vector<float> vertices;

  const float* Vertex(uint32_t index) const {
    return vertices.data() + size_t(index) * kFeedbackVertexFloats;
  }
};

// Parses count floats of buffer. Points, lines, line resets and polygons
// become primitives; pass-through, bitmap and pixel records are skipped by
// their size. An unknown token or a record cut short by the end of the
// buffer stops the parse: false with the reason (what was parsed before
// stays in scene). A negative count (the buffer overflowed) is refused.
bool ParseFeedback(const float* buffer, long count, CFeedbackScene& scene, std::string& error);

// The depth key of a primitive: the mean window z of its vertices.
float FeedbackDepth(const CFeedbackScene& scene, uint32_t first, uint32_t count);

// Indices of the primitives from the farthest (largest depth key) to the
// nearest; primitives of equal depth keep their buffer order.
std::vector<uint32_t> FarthestFirst(const CFeedbackScene& scene);
