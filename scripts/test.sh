#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite: on Linux plain and
# under the sanitizers, then the Windows program's suite under wine, and a check that the Linux
# and the Windows program print the same bytes for the demo project. Every stage runs; the script
# fails if any of them fails, and ends with the time and outcome of each.
set -euo pipefail
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# Presets are found in the current folder.
cd "$repo"
jobs="$(nproc)"
"$repo/scripts/install-deps.sh" --windows

# The folders of the presets test and windows-test (CMakePresets.json).
linux_build="$repo/build-test"
windows_build="$repo/build-test-windows"

# Configures and builds one preset of CMakePresets.json, with warnings as errors; the build runs
# behind the command given after the preset's name, if any. Each test preset sets the environment
# its tests run in. (A stage's commands are joined by &&: set -e does not act inside a function
# called as a condition.)
build() {
  local preset="$1"
  shift
  cmake --preset "$preset" -DQUORVANE_WERROR=ON >/dev/null &&
    "$@" cmake --build --preset "$preset" -j"$jobs"
}

plain_suite() {
  build test && ctest --preset test -j"$jobs"
}

# The same suite again under AddressSanitizer and UndefinedBehaviorSanitizer.
sanitized_suite() {
  build sanitize && ctest --preset sanitize -j"$jobs"
}

# Wine in a prefix of the build's own, with one server kept for all the runs (each start of a
# program is then fast), stopped when the script ends. wineboot starts the prefix's own services
# before any test does: started by a test, they would inherit its output pipe and keep ctest
# waiting for its end.
export WINEDEBUG=-all
export WINEPREFIX="$windows_build/wine-prefix"
# Debian's wine64 comes without its preloader, so now and then a start fails before the program
# runs ("failed to map the shared user data: c0000018"): a randomised heap lies where wine needs
# a fixed address. Without address randomisation the layout is the same on every start. Where
# setarch may not turn it off (some containers), wine runs as it is.
if setarch "$(uname -m)" -R true 2>/dev/null; then
  fixed_layout=(setarch "$(uname -m)" -R)
else
  fixed_layout=()
fi
wine_started=false
# A server left running in this prefix (by an earlier run that was killed, or started by hand)
# makes `wineserver -p` fail; it is stopped and a fresh one started, saying so.
start_wine_server() {
  wineserver -p 2>/dev/null && return 0
  echo "a wine server was already running for $WINEPREFIX: stopping it and starting a new one" >&2
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  wineserver -p || {
    echo "cannot start a wine server for $WINEPREFIX" >&2
    return 1
  }
}
start_wine() {
  $wine_started && return 0
  mkdir -p "$WINEPREFIX" &&
    start_wine_server &&
    trap 'wineserver -k 2>/dev/null || true' EXIT &&
    "${fixed_layout[@]}" wineboot >/dev/null 2>&1 &&
    wine_started=true
}

# The names of the tests in a ctest log that printed nothing at all: test programs that wine did
# not start (a started one prints at least GoogleTest's first line).
silent_tests() {
  awk '/^[0-9]+\/[0-9]+ Test: / { name = $3 }
       /^Output:$/ { getline; getline; if ($0 == "<end of output>") print name }' "$1"
}

# Tests that fail only because wine did not start them pass when run again; those that fail again
# fail the stage. Each test that needed a second run is named, with whether its first run printed
# anything.
windows_tests() {
  local temporary="$windows_build/Testing/Temporary" first_log="$windows_build/first-run.log"
  local failed name
  "${fixed_layout[@]}" ctest --preset windows-test -j"$jobs" && return 0
  [ -s "$temporary/LastTestsFailed.log" ] || return 1
  cp "$temporary/LastTest.log" "$first_log"
  mapfile -t failed < <(cut -d: -f2- "$temporary/LastTestsFailed.log")
  echo "=== running the ${#failed[@]} failed Windows test(s) once more" >&2
  "${fixed_layout[@]}" ctest --preset windows-test -j"$jobs" --rerun-failed || return 1
  echo "Windows tests that needed a second run (the first is in $first_log):" >&2
  local silent
  silent="$(silent_tests "$first_log")"
  for name in "${failed[@]}"; do
    if grep -qxF -- "$name" <<<"$silent"; then
      echo "  $name: printed nothing the first time (wine did not start it)" >&2
    else
      echo "  $name: failed with output the first time" >&2
    fi
  done
}

# The toolchain runs the test programs (and their discovery, at build time) through wine.
windows_suite() {
  start_wine && build windows-test "${fixed_layout[@]}" && windows_tests
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
    (cd "$repo/examples/demo" && "${fixed_layout[@]}" wine "$windows" "${words[@]}" \
      >"$work/windows.out" 2>"$work/windows.err") || windows_status=$?
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

failed_stages=()
timings=()
stage() {
  local name="$1" start=$SECONDS outcome=passed
  shift
  echo "=== $name" >&2
  "$@" || {
    outcome=FAILED
    failed_stages+=("$name")
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
if [ ${#failed_stages[@]} -gt 0 ]; then
  echo "failed: ${failed_stages[*]}" >&2
  exit 1
fi
