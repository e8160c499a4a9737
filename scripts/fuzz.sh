#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan + UBSan) and runs each one.
#   scripts/fuzz.sh [--per-target SECONDS] [TOTAL_SECONDS] [fuzz_NAME...]
# TOTAL_SECONDS (default 540) is shared evenly by the targets run (every
# tests/fuzz/fuzz_*.cpp unless names are given); --per-target gives each
# target a fixed time instead. Crash files of earlier runs are removed
# first; a run that finds one leaves it in build-fuzz/crashes and fails.
set -euo pipefail
cd "$(dirname "$0")/.."

per_target=""
if [ "${1:-}" = "--per-target" ]; then
  per_target=${2:?"--per-target needs a number of seconds"}
  shift 2
fi
total=540
if [ $# -gt 0 ] && [[ $1 =~ ^[0-9]+$ ]]; then
  total=$1
  shift
fi

bash scripts/install-deps.sh
build=${BUILD_DIR:-build-fuzz}
CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DORVEX_FUZZ=ON -DORVEX_BUILD_TESTS=OFF -DORVEX_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)"

# the targets: one per source, as tests/fuzz/CMakeLists.txt builds them
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for f in tests/fuzz/fuzz_*.cpp; do
    [ -e "$f" ] || continue
    targets+=("$(basename "$f" .cpp)")
  done
fi
[ ${#targets[@]} -gt 0 ] || { echo "no fuzz targets"; exit 1; }
if [ -z "$per_target" ]; then
  per_target=$((total / ${#targets[@]}))
  [ "$per_target" -ge 1 ] || per_target=1
fi

rm -rf "$build/crashes"
mkdir -p "$build/crashes"
for t in "${targets[@]}"; do
  name=${t#fuzz_}
  work="$build/corpus/$name"
  mkdir -p "$work"
  [ -d "tests/fuzz/corpus/$name" ] && cp -n tests/fuzz/corpus/"$name"/* "$work"/ 2>/dev/null || true
  echo "== fuzz_$name for ${per_target}s"
  "$build/tests/fuzz/fuzz_$name" "$work" -max_total_time="$per_target" -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$build/crashes/$name-" -print_final_stats=1 2>&1 | grep -E '^(stat::number_of_executed_units|==|SUMMARY|Done)' || true
  # a crash leaves an artifact: fail the run
  if ls "$build/crashes/$name-"* >/dev/null 2>&1; then
    echo "fuzz_$name found a failing input:"; ls "$build/crashes/$name-"*; exit 1
  fi
done
