#!/usr/bin/env bash
# The service unit passes systemd-analyze verify without a single remark
# (unknown keys are only warned about, so any output fails). The program it
# starts is replaced by the one just built, since verify wants it to exist.
#     verify-unit.sh <unit file> [program]
set -euo pipefail
unit="$1"
program="${2:-}"
dir="$(mktemp -d)"
trap 'rm -rf "$dir"' EXIT
if [ -n "$program" ]; then
    sed "s#^ExecStart=/opt/vorn/tallyport/tallyport #ExecStart=$program #" "$unit" > "$dir/$(basename "$unit")"
    unit="$dir/$(basename "$unit")"
fi
if ! output="$(systemd-analyze verify "$unit" 2>&1)" || [ -n "$output" ]; then
    echo "$output"
    echo "verify-unit: $unit does not pass systemd-analyze verify"
    exit 1
fi
echo "verify-unit: $unit passes systemd-analyze verify"
