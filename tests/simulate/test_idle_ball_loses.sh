# A ball left alone never reaches the goal: the race is lost 20 seconds of rolling after the start.
source "$(dirname "$0")/lib.sh"

simulate --fps 60 --player idle
grep -q "^race 1: checkpoint" "$out" && fail "an untouched ball collected a checkpoint"
grep -q "You won" "$out" && fail "an untouched ball won"
# Times count from the race's start, which start-up puts one second after the reset: two seconds of get-ready,
# then 20 seconds of countdown.
line="$(grep "^race 1: lost after" "$out")" || fail "race 1 was not lost"
elapsed="$(echo "$line" | sed 's/^race 1: lost after \([0-9.]*\) Seconds.*/\1/')"
awk -v e="$elapsed" 'BEGIN { exit !(e >= 21.95 && e <= 22.1) }' || fail "lost after $elapsed seconds, expected 22"
echo "PASS"
