#!/usr/bin/env bash
# Installs what is missing, builds quorvane and runs `quorvane check` on the bundled demo project.
set -euo pipefail
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$repo/scripts/install-deps.sh"
# The preset default of CMakePresets.json: build/, without the tests.
cd "$repo"
cmake --preset default >/dev/null
cmake --build --preset default -j"$(nproc)" >/dev/null
cd "$repo/examples/demo"
exec "$repo/build/quorvane" check "$@"
