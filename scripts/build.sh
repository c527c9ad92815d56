#!/usr/bin/env bash
# Configures and builds Tallyport in build/ (or $BUILD_DIR).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
cmake -S "$root" -B "$build" -DTALLYPORT_WERROR=ON ${CMAKE_ARGS:-} >/dev/null
cmake --build "$build" -j "$(nproc)"
