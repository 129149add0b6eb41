# Shared helpers for the simulator tests: run the course simulator and read its lines.
set -euo pipefail

simulator="$1"
data="$2"
out="$(mktemp)"
trap 'rm -f "$out"' EXIT

fail() {
    echo "FAIL: $*"
    echo "--- simulator output ---"
    cat "$out"
    exit 1
}

simulate() {
    "$simulator" --data "$data" "$@" >"$out" 2>&1 || fail "the simulator failed"
}

# The value of "N Seconds left" on the line of race $1 that reports $2 (won or lost).
seconds_left() {
    sed -n "s/^race $1: $2 after [0-9.]* Seconds with \(-\{0,1\}[0-9.]*\) Seconds left.*/\1/p" "$out" | head -n 1
}
