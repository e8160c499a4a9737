#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan + UBSan) and runs each one.
#   scripts/fuzz.sh [--per-target SECONDS] [TOTAL_SECONDS] [fuzz_NAME...]
# TOTAL_SECONDS (default 480) is shared evenly by the targets run (every
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
total=480
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

# Without --per-target, each target gets an even share of what is left of
# the budget, less a second for start-up and the final merge, so that the
# run stays within TOTAL_SECONDS (at least one second each).
share() {
  local left=$((total - (SECONDS - start))) remaining=$1
  local seconds=$((left / remaining - 1))
  [ "$seconds" -ge 1 ] || seconds=1
  echo "$seconds"
}

rm -rf "$build/crashes"
mkdir -p "$build/crashes"
start=$SECONDS
remaining=${#targets[@]}
for t in "${targets[@]}"; do
  name=${t#fuzz_}
  seconds=${per_target:-$(share "$remaining")}
  remaining=$((remaining - 1))
  work="$build/corpus/$name"
  mkdir -p "$work"
  [ -d "tests/fuzz/corpus/$name" ] && cp -n tests/fuzz/corpus/"$name"/* "$work"/ 2>/dev/null || true
  echo "== fuzz_$name for ${seconds}s"
  log="$build/crashes/$name.log"
  status=0
  "$build/tests/fuzz/fuzz_$name" "$work" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$build/crashes/$name-" -print_final_stats=1 >"$log" 2>&1 || status=$?
  grep -E '^(stat::number_of_executed_units|==|SUMMARY|Done)' "$log" || true
  # a crash leaves an artifact; a target that does not run fails too
  if ls "$build/crashes/$name-"* >/dev/null 2>&1 || [ "$status" -ne 0 ]; then
    echo "fuzz_$name failed (exit $status), see $log:"; ls "$build/crashes/$name-"* 2>/dev/null || true
    exit 1
  fi
  rm -f "$log"
done
echo "fuzzing took $((SECONDS - start))s"
