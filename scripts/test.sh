#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite; fails on any failure.
set -euo pipefail
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
jobs="$(nproc)"
"$repo/scripts/install-deps.sh"

run_suite() {
  local build_dir="$1"
  shift
  cmake -S "$repo" -B "$build_dir" -G Ninja "$@" >/dev/null
  cmake --build "$build_dir" -j"$jobs"
  ctest --test-dir "$build_dir" --output-on-failure -j"$jobs"
}

run_suite "$repo/build-test" -DCMAKE_BUILD_TYPE=RelWithDebInfo
# The same suite again under AddressSanitizer and UndefinedBehaviorSanitizer.
ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1 \
  run_suite "$repo/build-sanitize" -DCMAKE_BUILD_TYPE=Debug -DQUORVANE_SANITIZE=ON
