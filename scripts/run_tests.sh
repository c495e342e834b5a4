#!/usr/bin/env bash
# Builds korva with its tests and runs every test; extra arguments go to cmake's
# configure step (for example -DKORVA_WERROR=ON or -DKORVA_SANITIZE=ON).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
"$root/scripts/build.sh" "$@"
ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
