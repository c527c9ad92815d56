#!/usr/bin/env bash
# Runs every benchmark under a virtual display, first with the OpenGL renderer
# (the budgets hold for it), then with the software renderer of a board
# without a GPU. Every program prints its rows beside the floor measured in
# the same run, the load average, and whether each budget is met.
#
#   bench/run-all.sh [build dir]        (default: build)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
display=(xvfb-run -a -s "-screen 0 1280x1024x24")

echo "== event log (no renderer)"
"$build/bench/eventlog/bench_eventlog"
echo "== MQTT receive (no renderer)"
"$build/bench/mqtt/bench_mqtt"
for backend in "" software; do
    echo "== renderer: ${backend:-OpenGL}"
    QT_QUICK_BACKEND="$backend" "${display[@]}" "$build/bench/feedback/bench_feedback" 2>/dev/null | grep -v '^\['
    QT_QUICK_BACKEND="$backend" "${display[@]}" "$build/bench/screens/bench_screens" 2>/dev/null | grep -v '^\['
done
