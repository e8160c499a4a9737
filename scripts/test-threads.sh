#!/usr/bin/env bash
# Builds the suite of element storage and meshes shared between threads
# with ThreadSanitizer, in its own build directory, and runs it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
build=${BUILD_DIR:-build-tsan}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DORVEX_TSAN=ON -DORVEX_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target test_threads
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
"$build"/tests/test_threads
