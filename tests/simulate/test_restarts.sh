# A race restarted in the middle, and a ball that leaves the course, start again from the start checkpoint.
source "$(dirname "$0")/lib.sh"

# Distance of the ball from the start checkpoint when race $1 starts, or nothing.
start_distance() { sed -n "s/^race $1: starts \([0-9.]*\) from the start checkpoint.*/\1/p" "$out" | head -n 1; }
near_start() { awk -v d="$1" 'BEGIN { exit !(d != "" && d < 0.5) }'; }

simulate --fps 60 --player scripted --reset-after 4
grep -q "^race 1: the player restarts" "$out" || fail "no restart"
near_start "$(start_distance 1)" || fail "race 1 does not start on the start checkpoint"
near_start "$(start_distance 2)" || fail "race 2 after the restart does not start on the start checkpoint"
grep -q "^race 2: checkpoint" "$out" || fail "the restarted race did not go on"

simulate --fps 60 --player leave
grep -q "^race 1: left the course" "$out" || fail "the ball did not leave the course"
grep -q "ich bin rausgeflogen" "$out" || fail "no out-of-bounds message"
near_start "$(start_distance 2)" || fail "race 2 after leaving the course does not start on the start checkpoint"
echo "PASS"
