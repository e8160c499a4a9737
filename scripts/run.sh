#!/usr/bin/env bash
# Installs what is missing, builds the programs and runs them on the bundled
# sample scene.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j"$(nproc)" --target orvexbox-batch
"$build/app/orvexbox-batch" samples/icosahedron.wrl --info "$@"
