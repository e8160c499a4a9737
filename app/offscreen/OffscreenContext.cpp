#include "app/offscreen/OffscreenContext.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <string>

#include "geometry/GlListGroup.h"
#include "geometry/render/InstallRenderers.h"

namespace orvex {
namespace {

std::string EglErrorText(const char* what) {
  char text[96];
  std::snprintf(text, sizeof(text), "%s (EGL error 0x%04x)", what,
                static_cast<unsigned>(eglGetError()));
  return text;
}

// One EGL display serves every offscreen context of the process; it is
// terminated when the last of them goes.
struct SharedDisplay {
  std::mutex mutex;
  EGLDisplay display = EGL_NO_DISPLAY;
  int users = 0;
};

SharedDisplay& TheDisplay() {
  static SharedDisplay shared;
  return shared;
}

EGLDisplay OpenSurfacelessOrDefault() {
  const char* extensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
  auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
      eglGetProcAddress("eglGetPlatformDisplayEXT"));
  if (extensions &&
      std::string(extensions).find("EGL_MESA_platform_surfaceless") != std::string::npos &&
      getPlatformDisplay) {
    EGLDisplay display =
        getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    EGLint major = 0, minor = 0;
    if (display != EGL_NO_DISPLAY && eglInitialize(display, &major, &minor)) return display;
  }
  EGLDisplay display = eglGetDisplay(EGL_DEFAULT_DISPLAY);
  EGLint major = 0, minor = 0;
  if (display != EGL_NO_DISPLAY && eglInitialize(display, &major, &minor)) return display;
  return EGL_NO_DISPLAY;
}

EGLDisplay AcquireDisplay(std::string& error) {
  SharedDisplay& shared = TheDisplay();
  std::lock_guard<std::mutex> lock(shared.mutex);
  if (shared.users == 0) {
    shared.display = OpenSurfacelessOrDefault();
    if (shared.display == EGL_NO_DISPLAY) {
      error = EglErrorText("no EGL display can be initialised for offscreen rendering");
      return EGL_NO_DISPLAY;
    }
  }
  shared.users++;
  return shared.display;
}

void ReleaseDisplay() {
  SharedDisplay& shared = TheDisplay();
  std::lock_guard<std::mutex> lock(shared.mutex);
  if (shared.users > 0 && --shared.users == 0) {
    eglTerminate(shared.display);
    shared.display = EGL_NO_DISPLAY;
  }
}

// The framebuffer-object entry points (OpenGL 3.0), looked up once.
struct FramebufferApi {
  PFNGLGENFRAMEBUFFERSPROC genFramebuffers = nullptr;
  PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers = nullptr;
  PFNGLBINDFRAMEBUFFERPROC bindFramebuffer = nullptr;
  PFNGLGENRENDERBUFFERSPROC genRenderbuffers = nullptr;
  PFNGLDELETERENDERBUFFERSPROC deleteRenderbuffers = nullptr;
  PFNGLBINDRENDERBUFFERPROC bindRenderbuffer = nullptr;
  PFNGLRENDERBUFFERSTORAGEPROC renderbufferStorage = nullptr;
  PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer = nullptr;
  PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus = nullptr;

  bool Complete() const {
    return genFramebuffers && deleteFramebuffers && bindFramebuffer && genRenderbuffers &&
           deleteRenderbuffers && bindRenderbuffer && renderbufferStorage &&
           framebufferRenderbuffer && checkFramebufferStatus;
  }
};

template <typename Function> void Load(Function& function, const char* name) {
  function = reinterpret_cast<Function>(eglGetProcAddress(name));
}

const FramebufferApi& Framebuffers() {
  static const FramebufferApi api = [] {
    FramebufferApi a;
    Load(a.genFramebuffers, "glGenFramebuffers");
    Load(a.deleteFramebuffers, "glDeleteFramebuffers");
    Load(a.bindFramebuffer, "glBindFramebuffer");
    Load(a.genRenderbuffers, "glGenRenderbuffers");
    Load(a.deleteRenderbuffers, "glDeleteRenderbuffers");
    Load(a.bindRenderbuffer, "glBindRenderbuffer");
    Load(a.renderbufferStorage, "glRenderbufferStorage");
    Load(a.framebufferRenderbuffer, "glFramebufferRenderbuffer");
    Load(a.checkFramebufferStatus, "glCheckFramebufferStatus");
    return a;
  }();
  return api;
}

EGLConfig ChooseConfig(EGLDisplay display) {
  const EGLint attributes[] = {EGL_RENDERABLE_TYPE,
                               EGL_OPENGL_BIT,
                               EGL_RED_SIZE,
                               8,
                               EGL_GREEN_SIZE,
                               8,
                               EGL_BLUE_SIZE,
                               8,
                               EGL_DEPTH_SIZE,
                               24,
                               EGL_NONE};
  EGLConfig config = nullptr;
  EGLint count = 0;
  if (!eglChooseConfig(display, attributes, &config, 1, &count) || count < 1) return nullptr;
  return config;
}

} // namespace

COffscreenContext::~COffscreenContext() {
  if (!m_Display) return;
  std::string ignored;
  if (m_Context && m_Framebuffer && MakeCurrent(m_Width, m_Height, ignored)) DeleteFramebuffer();
  eglMakeCurrent(m_Display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
  if (m_Surface) eglDestroySurface(m_Display, m_Surface);
  if (m_Context) eglDestroyContext(m_Display, m_Context);
  // names deferred to this context's group went with it
  if (m_ListGroup != 0) ForgetGlGroup(m_ListGroup);
  ReleaseDisplay();
}

bool COffscreenContext::Create(std::string& error) {
  if (m_Context) return true;
  if (!m_Display) {
    m_Display = AcquireDisplay(error);
    if (!m_Display) return false;
  }
  if (!eglBindAPI(EGL_OPENGL_API)) {
    error = EglErrorText("EGL offers no desktop OpenGL");
    return false;
  }
  EGLConfig config = ChooseConfig(m_Display);
  // the views draw with the fixed-function pipeline
  const EGLint compatibility[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                  EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
  m_Context = eglCreateContext(m_Display, config ? config : EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT,
                               compatibility);
  if (!m_Context) {
    const EGLint none[] = {EGL_NONE};
    m_Context =
        eglCreateContext(m_Display, config ? config : EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, none);
  }
  if (!m_Context) {
    error = EglErrorText("cannot create an OpenGL context for offscreen rendering");
    return false;
  }
  if (!eglMakeCurrent(m_Display, EGL_NO_SURFACE, EGL_NO_SURFACE, m_Context)) {
    // without surfaceless contexts a small pbuffer stands in
    const EGLint size[] = {EGL_WIDTH, 1, EGL_HEIGHT, 1, EGL_NONE};
    m_Surface = config ? eglCreatePbufferSurface(m_Display, config, size) : EGL_NO_SURFACE;
    if (!m_Surface || !eglMakeCurrent(m_Display, m_Surface, m_Surface, m_Context)) {
      error = EglErrorText("cannot make the offscreen OpenGL context current");
      eglDestroyContext(m_Display, m_Context);
      m_Context = nullptr;
      return false;
    }
  }
  if (!Framebuffers().Complete()) {
    error = "the OpenGL driver has no framebuffer objects (OpenGL 3.0)";
    eglMakeCurrent(m_Display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroyContext(m_Display, m_Context);
    m_Context = nullptr;
    return false;
  }
  m_ListGroup = glNewListGroup();
  InstallRenderers();
  return true;
}

bool COffscreenContext::MakeCurrent(int width, int height, std::string& error) {
  if (!m_Context) {
    error = "the offscreen OpenGL context was not created";
    return false;
  }
  EGLSurface surface = m_Surface ? m_Surface : EGL_NO_SURFACE;
  if (!eglMakeCurrent(m_Display, surface, surface, m_Context)) {
    error = EglErrorText("cannot make the offscreen OpenGL context current");
    return false;
  }
  if (m_Framebuffer && width == m_Width && height == m_Height) {
    Framebuffers().bindFramebuffer(GL_FRAMEBUFFER, m_Framebuffer);
    return true;
  }
  return MakeFramebuffer(width, height, error);
}

void COffscreenContext::ReleaseCurrent() {
  if (m_Display) eglMakeCurrent(m_Display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
}

bool COffscreenContext::MakeFramebuffer(int width, int height, std::string& error) {
  DeleteFramebuffer();
  GLint maxSize = 0;
  glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &maxSize);
  if (width < 1 || height < 1 || width > maxSize || height > maxSize) {
    error = "a picture of " + std::to_string(width) + " x " + std::to_string(height) +
            " pixels cannot be rendered (1 to " + std::to_string(maxSize) + " per side)";
    return false;
  }
  while (glGetError() != GL_NO_ERROR) {
  }
  const FramebufferApi& api = Framebuffers();
  api.genFramebuffers(1, &m_Framebuffer);
  api.bindFramebuffer(GL_FRAMEBUFFER, m_Framebuffer);
  api.genRenderbuffers(1, &m_ColorBuffer);
  api.bindRenderbuffer(GL_RENDERBUFFER, m_ColorBuffer);
  api.renderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
  api.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, m_ColorBuffer);
  api.genRenderbuffers(1, &m_DepthBuffer);
  api.bindRenderbuffer(GL_RENDERBUFFER, m_DepthBuffer);
  api.renderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, width, height);
  api.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER,
                              m_DepthBuffer);
  const GLenum status = api.checkFramebufferStatus(GL_FRAMEBUFFER);
  const GLenum glError = glGetError();
  if (status != GL_FRAMEBUFFER_COMPLETE || glError != GL_NO_ERROR) {
    char text[128];
    std::snprintf(text, sizeof(text),
                  "cannot make a %d x %d framebuffer (status 0x%04x, error 0x%04x)", width, height,
                  static_cast<unsigned>(status), static_cast<unsigned>(glError));
    error = text;
    DeleteFramebuffer();
    return false;
  }
  m_Width = width;
  m_Height = height;
  return true;
}

void COffscreenContext::DeleteFramebuffer() {
  const FramebufferApi& api = Framebuffers();
  if (m_Framebuffer) {
    api.bindFramebuffer(GL_FRAMEBUFFER, 0);
    api.deleteFramebuffers(1, &m_Framebuffer);
  }
  if (m_ColorBuffer) api.deleteRenderbuffers(1, &m_ColorBuffer);
  if (m_DepthBuffer) api.deleteRenderbuffers(1, &m_DepthBuffer);
  m_Framebuffer = m_ColorBuffer = m_DepthBuffer = 0;
  m_Width = m_Height = 0;
}

bool COffscreenContext::ReadPixels(CRgbImage& image, std::string& error) const {
  if (!m_Framebuffer) {
    error = "nothing was rendered";
    return false;
  }
  // errors left by the drawing are not the reading's
  while (glGetError() != GL_NO_ERROR) {
  }
  image.Resize(m_Width, m_Height);
  GLint alignment = 4;
  glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_COLOR_ATTACHMENT0);
  glReadPixels(0, 0, m_Width, m_Height, GL_RGB, GL_UNSIGNED_BYTE, image.m_Pixels.data());
  glPixelStorei(GL_PACK_ALIGNMENT, alignment);
  if (glGetError() != GL_NO_ERROR) {
    error = "cannot read the rendered pixels";
    return false;
  }
  // GL rows go from the bottom up
  const size_t rowBytes = static_cast<size_t>(m_Width) * 3;
  for (int top = 0, bottom = m_Height - 1; top < bottom; top++, bottom--)
    std::swap_ranges(image.m_Pixels.begin() + top * rowBytes,
                     image.m_Pixels.begin() + (top + 1) * rowBytes,
                     image.m_Pixels.begin() + bottom * rowBytes);
  return true;
}

} // namespace orvex
