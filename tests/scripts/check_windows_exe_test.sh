#!/usr/bin/env bash
# Shows that scripts/check-windows-exe.sh tells the program the release needs from the ones it must
# refuse: it builds three small programs with the cross compiler CXX, a static console program
# (accepted), a window program and one that needs the compiler's runtime DLLs (both refused, each
# for its own fault).
set -euo pipefail
if [ $# -ne 1 ]; then
  echo "usage: $0 CXX" >&2
  exit 2
fi
cxx="$1"
check="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/scripts/check-windows-exe.sh"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
printf '#include <iostream>\nint main() { std::cout << "hi" << std::endl; }\n' >"$work/hi.cpp"

failures=0
expect() {
  local want="$1" message="$2" exe="$3" output status=0
  output="$("$check" "$exe" 2>&1)" || status=$?
  if [ "$want" = pass ] && [ $status -ne 0 ]; then
    echo "FAIL: $exe refused: $output"
    failures=$((failures + 1))
  elif [ "$want" = fail ] && { [ $status -ne 1 ] || ! grep -q -- "$message" <<<"$output"; }; then
    echo "FAIL: $exe: wanted status 1 and \"$message\", got status $status: $output"
    failures=$((failures + 1))
  else
    echo "ok: $output"
  fi
}

"$cxx" -O1 -static -static-libgcc -static-libstdc++ "$work/hi.cpp" -o "$work/console.exe"
"$cxx" -O1 -static -static-libgcc -static-libstdc++ -mwindows "$work/hi.cpp" -o "$work/window.exe"
"$cxx" -O1 -shared-libgcc "$work/hi.cpp" -o "$work/runtime-dlls.exe"

expect pass "" "$work/console.exe"
expect fail "not a console program" "$work/window.exe"
expect fail "imports libstdc++-6.dll, which Windows does not ship" "$work/runtime-dlls.exe"
[ $failures -eq 0 ]
