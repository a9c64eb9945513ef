#!/usr/bin/env bash
# Installs what is missing, then cross-builds the Windows x64 program build-windows/quorvane.exe
# (Release, without the tests) and checks that it is a console program needing only the DLLs
# that Windows ships.
set -euo pipefail
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="$repo/build-windows"
"$repo/scripts/install-deps.sh" --windows
cmake -S "$repo" -B "$build_dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DQUORVANE_TESTS=OFF >/dev/null
cmake --build "$build_dir" --target quorvane -j"$(nproc)"
"$repo/scripts/check-windows-exe.sh" "$build_dir/quorvane.exe"
