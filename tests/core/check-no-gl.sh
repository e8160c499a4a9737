#!/bin/sh
# Fails when the program references an OpenGL, GLU or EGL function or links
# one of their libraries: the core library must link without them.
program="$1"
[ -x "$program" ] || { echo "no program $program" >&2; exit 1; }
if nm -u -C "$program" | grep -E '(^|[^A-Za-z_])(gl|glu|egl)[A-Z][A-Za-z0-9]*' ; then
  echo "OpenGL functions referenced by $program" >&2
  exit 1
fi
if ldd "$program" | grep -E 'lib(GL|GLU|OpenGL|EGL|GLX)[.-]' ; then
  echo "OpenGL libraries linked by $program" >&2
  exit 1
fi
echo "no OpenGL in $program"
