#!/usr/bin/env bash
# Installs what is missing, builds quorvane and runs `quorvane check` on the bundled demo project.
set -euo pipefail
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$repo/scripts/install-deps.sh"
cmake -S "$repo" -B "$repo/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVANE_TESTS=OFF >/dev/null
cmake --build "$repo/build" --target quorvane -j"$(nproc)" >/dev/null
cd "$repo/examples/demo"
exec "$repo/build/quorvane" check "$@"
