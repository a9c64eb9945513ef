#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite: on Linux plain and
# under the sanitizers, then the Windows program's suite under wine, and a check that the Linux
# and the Windows program print the same bytes for the demo project. Every stage runs; the script
# fails if any of them fails, and ends with the time and outcome of each.
set -euo pipefail
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
jobs="$(nproc)"
"$repo/scripts/install-deps.sh" --windows

linux_build="$repo/build-test"
windows_build="$repo/build-test-windows"

# (Each stage's commands are joined by &&: set -e does not act inside a function called as a
# condition.)
# run_suite BUILD_DIR CMAKE_ARGUMENTS... [-- CTEST_ARGUMENTS...]
run_suite() {
  local build_dir="$1" configure=() test=()
  shift
  while [ $# -gt 0 ] && [ "$1" != "--" ]; do
    configure+=("$1")
    shift
  done
  [ $# -gt 0 ] && shift
  test=("$@")
  cmake -S "$repo" -B "$build_dir" -G Ninja "${configure[@]}" >/dev/null &&
    cmake --build "$build_dir" -j"$jobs" &&
    ctest --test-dir "$build_dir" --output-on-failure -j"$jobs" "${test[@]}"
}

plain_suite() {
  run_suite "$linux_build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
}

# The same suite again under AddressSanitizer and UndefinedBehaviorSanitizer.
sanitized_suite() {
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1 \
    run_suite "$repo/build-sanitize" -DCMAKE_BUILD_TYPE=Debug -DQUORVANE_SANITIZE=ON
}

# Wine in a prefix of the build's own, with one server kept for all the runs (each start of a
# program is then fast), stopped when the script ends. wineboot starts the prefix's own services
# before any test does: started by a test, they would inherit its output pipe and keep ctest
# waiting for its end.
export WINEDEBUG=-all
export WINEPREFIX="$windows_build/wine-prefix"
wine_started=false
start_wine() {
  $wine_started && return 0
  mkdir -p "$WINEPREFIX" &&
    wineserver -p &&
    trap 'wineserver -k 2>/dev/null || true' EXIT &&
    wineboot >/dev/null 2>&1 &&
    wine_started=true
}

# The toolchain runs the test programs (and their discovery, at build time) through wine.
windows_suite() {
  start_wine &&
    run_suite "$windows_build" -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-w64-x86_64.cmake" \
      -DCMAKE_BUILD_TYPE=Release -- --timeout 600
}

# In examples/demo, both programs give the same status and the same bytes on each stream.
parity_check() {
  local linux="$linux_build/quorvane" windows="$windows_build/quorvane.exe" work
  if [ ! -x "$linux" ] || [ ! -f "$windows" ]; then
    echo "parity: $linux or $windows was not built" >&2
    return 1
  fi
  start_wine || return 1
  work="$(mktemp -d)"
  local commands=("check" "list --json" "trace REQ-LOGIN-002" "lint" "review --json"
    "trace REQ-NONE" "--help")
  local command words differences=0 linux_status windows_status stream
  for command in "${commands[@]}"; do
    read -ra words <<<"$command"
    linux_status=0
    (cd "$repo/examples/demo" && "$linux" "${words[@]}" >"$work/linux.out" 2>"$work/linux.err") ||
      linux_status=$?
    windows_status=0
    (cd "$repo/examples/demo" &&
      wine "$windows" "${words[@]}" >"$work/windows.out" 2>"$work/windows.err") ||
      windows_status=$?
    [ "$linux_status" = "$windows_status" ] || differences=$((differences + 1))
    for stream in out err; do
      if ! cmp -s "$work/linux.$stream" "$work/windows.$stream"; then
        echo "parity: quorvane $command: std$stream differs (< Linux, > Windows):"
        diff <(od -c "$work/linux.$stream") <(od -c "$work/windows.$stream") | head -20
        differences=$((differences + 1))
      fi
    done
    echo "parity: quorvane $command: status $linux_status on Linux, $windows_status on Windows"
  done
  rm -rf "$work"
  [ $differences -eq 0 ]
}

# `cmake --install` puts the program in bin/ on both builds.
install_check() {
  local prefix status=0
  prefix="$(mktemp -d)"
  if ! cmake --install "$linux_build" --prefix "$prefix/linux" >/dev/null ||
    ! cmake --install "$windows_build" --prefix "$prefix/windows" >/dev/null ||
    [ ! -x "$prefix/linux/bin/quorvane" ] || [ ! -f "$prefix/windows/bin/quorvane.exe" ]; then
    echo "install: no bin/quorvane or bin/quorvane.exe under $prefix" >&2
    status=1
  fi
  rm -rf "$prefix"
  return $status
}
failed=()
timings=()
stage() {
  local name="$1" start=$SECONDS outcome=passed
  shift
  echo "=== $name" >&2
  "$@" || {
    outcome=FAILED
    failed+=("$name")
  }
  timings+=("$(printf '%-32s %5d s  %s' "$name" $((SECONDS - start)) "$outcome")")
}

stage "Linux suite" plain_suite
stage "Linux suite, sanitizers" sanitized_suite
stage "Windows suite under wine" windows_suite
stage "Linux and Windows give the same" parity_check
stage "Install puts the program in bin" install_check

echo "=== summary" >&2
printf '%s\n' "${timings[@]}" >&2
printf '%-32s %5d s\n' "all" $SECONDS >&2
if [ ${#failed[@]} -gt 0 ]; then
  echo "failed: ${failed[*]}" >&2
  exit 1
fi
