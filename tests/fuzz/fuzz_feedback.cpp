// Fuzzes the feedback-buffer parser with any floats and any count (the
// first four bytes choose it, negative counts included), then writes the
// PostScript of what it accepted, sorted and in buffer order.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "io/EpsWriter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  int32_t requested;
  std::memcpy(&requested, data, 4);
  std::vector<float> buffer((size - 4) / sizeof(float));
  if (!buffer.empty()) std::memcpy(buffer.data(), data + 4, buffer.size() * sizeof(float));
  // a count past the buffer's end is one GL would never return: cut it
  long count = requested;
  if (count > long(buffer.size())) count = long(buffer.size());

  CFeedbackScene scene;
  std::string error;
  const bool parsed = ParseFeedback(buffer.data(), count, scene, error);
  if (parsed != error.empty()) std::abort();

  // every primitive's vertices lie inside the vertex array
  const size_t vertices = scene.vertices.size() / kFeedbackVertexFloats;
  for (const CFeedbackPrimitive& p : scene.primitives)
    if (size_t(p.first) + p.count > vertices) std::abort();

  CEpsPage page;
  page.viewport[2] = 64.0f;
  page.viewport[3] = 48.0f;
  const EpsWriter writer(page);
  const std::string sorted = writer.Text(scene, true);
  const std::string unsorted = writer.Text(scene, false);
  if (sorted.size() != unsorted.size()) std::abort();
  return 0;
}
