#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer and UBSan) in
# build-fuzz/ (or $FUZZ_BUILD_DIR) and runs each for the given number of
# seconds, starting from its seed corpus in fuzz/corpus/<name>. Prints, per
# target, executions, coverage (edges) and crashes; exits non-zero when a
# target crashed. Inputs found go to the build directory, never to the seeds;
# a crash input is kept there as crash-*, leak-* or timeout-*.
#   scripts/fuzz.sh [seconds per target, default 10] [target names...]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${FUZZ_BUILD_DIR:-$root/build-fuzz}"
seconds="${1:-10}"
shift || true

CXX=clang++ CC=clang cmake -S "$root" -B "$build" -DTALLYPORT_FUZZ=ON -DBUILD_TESTING=OFF \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo ${CMAKE_ARGS:-} >/dev/null
if ! cmake --build "$build" -j "$(nproc)" --target fuzz_all >"$build/fuzz-build.log" 2>&1; then
    tail -40 "$build/fuzz-build.log" >&2
    exit 1
fi

if [ $# -gt 0 ]; then
    targets=("$@")
else
    mapfile -t targets < <(cd "$root/fuzz" && ls fuzz_*.cpp | sed 's/^fuzz_//; s/\.cpp$//')
fi

source "$root/.ci/sanitizer-env"
# The toolkit's libraries have no frame pointers: only the slow unwinder sees
# through their frames to the names that the leak suppressions list.
export ASAN_OPTIONS="$ASAN_OPTIONS:fast_unwind_on_malloc=0"
export QT_QPA_PLATFORM=offscreen
# The clock proxy runs the time command: the stand-in answers, never the real one.
export PATH="$root/tools/stand-ins/bin:$PATH"

failed=0
printf '%-12s %12s %9s %9s %8s\n' target executions coverage features crashes
for t in "${targets[@]}"; do
    work="$build/fuzz-work/$t"
    mkdir -p "$work/corpus" "$work/artifacts"
    rm -f "$work/artifacts"/*
    log="$work/last.log"
    set +e
    (cd "$work" && "$build/fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=25 -rss_limit_mb=4096 \
        -print_final_stats=1 -artifact_prefix="$work/artifacts/" "$work/corpus" "$root/fuzz/corpus/$t" \
        >"$log" 2>&1)
    set -e
    execs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -1)
    cov=$(grep -o ' cov: [0-9]*' "$log" | tail -1 | grep -o '[0-9]*')
    ft=$(grep -o ' ft: [0-9]*' "$log" | tail -1 | grep -o '[0-9]*')
    crashes=$(find "$work/artifacts" -type f | wc -l)
    printf '%-12s %12s %9s %9s %8s\n' "$t" "${execs:-?}" "${cov:-?}" "${ft:-?}" "$crashes"
    if [ "$crashes" -gt 0 ] || [ -z "$execs" ]; then
        failed=1
        echo "fuzz: $t failed, log $log, inputs in $work/artifacts" >&2
        grep -m1 -A12 'ERROR: \|runtime error' "$log" >&2 || tail -20 "$log" >&2
    fi
done
exit $failed
