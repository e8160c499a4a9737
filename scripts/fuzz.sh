#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan + UBSan) and runs each one.
#   scripts/fuzz.sh [SECONDS_PER_TARGET] [TARGET...]
# Default: 30 seconds for every target. Crashes are left in build-fuzz/crashes.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
seconds=${1:-30}
shift || true
build=${BUILD_DIR:-build-fuzz}
CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DORVEX_FUZZ=ON -DORVEX_BUILD_TESTS=OFF -DORVEX_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)"
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for f in tests/fuzz/fuzz_*.cpp; do
    [ -e "$f" ] || continue
    targets+=("$(basename "$f" .cpp)")
  done
fi
mkdir -p "$build/crashes"
for t in "${targets[@]}"; do
  name=${t#fuzz_}
  work="$build/corpus/$name"
  mkdir -p "$work"
  [ -d "tests/fuzz/corpus/$name" ] && cp -n tests/fuzz/corpus/"$name"/* "$work"/ 2>/dev/null || true
  echo "== fuzz_$name for ${seconds}s"
  "$build/tests/fuzz/fuzz_$name" "$work" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$build/crashes/$name-" -print_final_stats=1 2>&1 | grep -E '^(stat::number_of_executed_units|==|SUMMARY|Done)' || true
  # a crash leaves an artifact: fail the run
  if ls "$build/crashes/$name-"* >/dev/null 2>&1; then
    echo "fuzz_$name found a failing input:"; ls "$build/crashes/$name-"*; exit 1
  fi
done
