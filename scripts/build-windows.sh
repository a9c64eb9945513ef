#!/usr/bin/env bash
# Installs what is missing, then cross-builds the Windows x64 program build-windows/quorvane.exe
# (Release, without the tests) and checks that it is a console program needing only the DLLs
# that Windows ships.
set -euo pipefail
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$repo/scripts/install-deps.sh" --windows
# The preset windows of CMakePresets.json: build-windows/, without the tests.
cd "$repo"
cmake --preset windows >/dev/null
cmake --build --preset windows -j"$(nproc)"
"$repo/scripts/check-windows-exe.sh" "$repo/build-windows/quorvane.exe"
