#!/usr/bin/env bash
# Runs the whole suite several times in a row, in the normal and the sanitized build, while one busy loop per core
# competes for the processor: a test that only passes on an idle machine fails here.
# Usage: stress.sh [times] [build folders...]   (default: 5 times, build and build-asan)
# Build first with scripts/test.sh (or the same cmake commands); this script only runs what is built.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
times="${1:-5}"
shift || true
builds=("$@")
[ ${#builds[@]} -gt 0 ] || builds=(build build-asan)
jobs="$(nproc)"
xvfb=(xvfb-run -a -s "-screen 0 1280x1024x24")
export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

busy=()
for _ in $(seq "$jobs"); do
    (while :; do :; done) &
    busy+=("$!")
done
trap 'kill "${busy[@]}" 2>/dev/null || true' EXIT

failed=0
for build in "${builds[@]}"; do
    exclude=()
    [ "$build" = build-asan ] && exclude=(-E '^install\.')
    for run in $(seq "$times"); do
        start=$(date +%s)
        if (cd "$root/$build" && "${xvfb[@]}" ctest --output-on-failure -j"$jobs" "${exclude[@]}" >"$root/$build/stress-$run.log" 2>&1); then
            outcome=passed
        else
            outcome=FAILED
            failed=1
        fi
        summary=$(grep -E 'tests passed|tests failed' "$root/$build/stress-$run.log" | tail -1)
        echo "$build run $run: $outcome in $(( $(date +%s) - start )) s ($summary)"
    done
done
exit "$failed"
