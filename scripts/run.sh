#!/usr/bin/env bash
# Installs what is missing, builds the programs and starts the workbench on
# the bundled sample scene. Without a display it prints the scene with the
# batch runner instead.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j"$(nproc)" --target orvexbox orvexbox-batch
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: showing the sample with the batch runner instead." >&2
  exec "$build/app/orvexbox-batch" samples/icosahedron.wrl --info
fi
exec "$build/app/gui/orvexbox" "${@:-samples/icosahedron.wrl}"
