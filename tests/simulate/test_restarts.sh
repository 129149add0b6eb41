# A race restarted in the middle, and a ball that leaves the course, start again from the start checkpoint.
source "$(dirname "$0")/lib.sh"

start_line() { grep "^race $1: starts at" "$out" | head -n 1 | sed 's/^race [0-9]*: starts at //'; }

simulate --fps 60 --player scripted --reset-after 4
grep -q "^race 1: the player restarts" "$out" || fail "no restart"
first="$(start_line 1)"
second="$(start_line 2)"
[ -n "$second" ] || fail "no second race after the restart"
[ "$first" = "$second" ] || fail "race 2 starts at $second, race 1 at $first"
grep -q "^race 2: checkpoint" "$out" || fail "the restarted race did not go on"

simulate --fps 60 --player leave
grep -q "^race 1: left the course" "$out" || fail "the ball did not leave the course"
grep -q "ich bin rausgeflogen" "$out" || fail "no out-of-bounds message"
[ "$(start_line 2)" = "$first" ] || fail "race 2 after leaving starts at $(start_line 2), expected $first"
echo "PASS"
