# A scripted player collects all eight checkpoints and wins with time to spare, from the slow frame rates of a
# software-rendered player to the fast ones of a gaming screen.
source "$(dirname "$0")/lib.sh"

for fps in 10 30 60 144; do
    simulate --fps "$fps" --player scripted
    collected="$(grep -c "^race 1: checkpoint [1-8] after" "$out" || true)"
    [ "$collected" = "8" ] || fail "$fps fps: $collected of 8 checkpoints collected"
    left="$(seconds_left 1 won)"
    [ -n "$left" ] || fail "$fps fps: race 1 was not won"
    awk -v left="$left" 'BEGIN { exit !(left >= 3.0) }' || fail "$fps fps: only $left seconds left"
    grep -q "^You won after" "$out" || fail "$fps fps: the game's own win message is missing"
    echo "$fps fps: won with $left seconds left"
done
echo "PASS"
