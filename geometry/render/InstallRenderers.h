#pragma once

// The render library: OpenGL drawing of the core objects (display lists,
// immediate mode, texture upload). The programs that draw call
// InstallRenderers once before drawing; the scene's drawing entry points
// call it as well, so that it is enough to draw a scene.

// Installs the OpenGL drawers for every core object type (idempotent,
// thread-safe).
void InstallRenderers();

// Deletes the names that objects freed without a context handed over for
// the current share group (GlListGroup.h). A context of that group must be
// current.
void glDeleteDeferredNames();
