#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite under Xvfb
# (screen tests need a real X server with Mesa GL; backend tests do not mind).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
bash "$root/scripts/install-deps.sh"
BUILD_DIR="$build" bash "$root/scripts/build.sh"
cd "$build"
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure "$@"
