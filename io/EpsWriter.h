#pragma once

// Encapsulated PostScript from the primitives of an OpenGL feedback
// buffer: flat polygons as filled paths, polygons whose corners differ in
// colour as Gouraud triangles that a PostScript procedure subdivides until
// the colours agree, lines as colour-stepped strokes, points as discs.

#include <string>

#include "io/FeedbackBuffer.h"

// What the page shows besides the primitives.
struct CEpsPage {
  float viewport[4] = {0.0f, 0.0f, 0.0f, 0.0f}; // x, y, width, height
  float clearColor[3] = {0.0f, 0.0f, 0.0f};
  float pointSize = 1.0f; // diameter of a point
};

class EpsWriter {
public:
  explicit EpsWriter(const CEpsPage& page) : m_Page(page) {}

  // The whole file as text. Sorted: farthest primitive first; otherwise
  // in buffer order.
  std::string Text(const CFeedbackScene& scene, bool sorted = true) const;
  // The prologue (everything before the primitives) and the epilogue.
  std::string Header() const;
  static std::string Trailer();
  // One primitive appended to out.
  void AppendPrimitive(const CFeedbackScene& scene, const CFeedbackPrimitive& primitive,
                       std::string& out) const;

  // The whole file written to fileName as it is formatted, a block at a
  // time (a million-face file never sits whole in memory), through a
  // temporary file renamed into place. 0 with the reason in error.
  int Write(const std::string& fileName, const CFeedbackScene& scene, std::string& error,
            bool sorted = true) const;

private:
  CEpsPage m_Page;
};
