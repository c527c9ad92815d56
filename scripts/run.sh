#!/usr/bin/env bash
# Installs what is missing, builds, and runs Tallyport.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
bash "$root/scripts/install-deps.sh"
BUILD_DIR="$build" bash "$root/scripts/build.sh"
exec "$build/src/tallyport" "$@"
