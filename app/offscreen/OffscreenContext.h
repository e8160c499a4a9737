#pragma once

#include <string>

#include "io/RgbImage.h"

namespace orvex {

// An OpenGL context that draws without any display: Mesa's surfaceless
// EGL platform (or the default EGL display), a compatibility profile for
// the fixed-function drawing of the views, and a framebuffer object with
// color and depth render buffers as its target. Failures are reported as
// text; nothing here ends the process.
class COffscreenContext {
public:
  COffscreenContext() = default;
  ~COffscreenContext();
  COffscreenContext(const COffscreenContext&) = delete;
  COffscreenContext& operator=(const COffscreenContext&) = delete;

  // Connects to EGL and creates the context. false with the reason.
  bool Create(std::string& error);
  bool IsValid() const { return m_Context != nullptr; }

  // Makes the context current with a width x height framebuffer bound
  // (made, or remade when the size changed). false with the reason.
  bool MakeCurrent(int width, int height, std::string& error);
  // Releases the context from the calling thread.
  void ReleaseCurrent();

  // Reads the bound framebuffer into top-down rows. false with the reason.
  bool ReadPixels(CRgbImage& image, std::string& error) const;

  // The display-list share group of this context (GlListGroup.h).
  int ListGroup() const { return m_ListGroup; }
  int Width() const { return m_Width; }
  int Height() const { return m_Height; }

private:
  void* m_Display = nullptr; // EGLDisplay
  void* m_Context = nullptr; // EGLContext
  void* m_Surface = nullptr; // EGLSurface: a 1 x 1 pbuffer where surfaceless fails
  int m_ListGroup = 0;
  unsigned int m_Framebuffer = 0;
  unsigned int m_ColorBuffer = 0;
  unsigned int m_DepthBuffer = 0;
  int m_Width = 0;
  int m_Height = 0;

  bool MakeFramebuffer(int width, int height, std::string& error);
  void DeleteFramebuffer();
};

} // namespace orvex
