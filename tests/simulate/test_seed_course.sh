# A course made from a seed is made in the simulator as the game makes it, and raced: the automatic player wins it
# with the time left it was proven with, an idle ball loses it, and a malformed seed is refused with one line.
source "$(dirname "$0")/lib.sh"

simulate --course seed:3:easy --fps 144
proven="$(sed -n 's/^course seed-3-easy: design [0-9]*, proven with [0-9.]* and \([0-9.]*\) Seconds left.*/\1/p' "$out")"
[ -n "$proven" ] || fail "no line saying how the course was proven"
left="$(seconds_left 1 won)"
[ -n "$left" ] || fail "the automatic player did not win the made course"
awk -v a="$left" -v b="$proven" 'BEGIN { d = a - b; exit !(d < 0.05 && d > -0.05) }' ||
    fail "won with $left Seconds left, proven with $proven"
simulate --course seed:3:easy --fps 30 --player idle
grep -q "^race 1: lost after" "$out" || fail "an idle ball did not lose the made course"

status=0
"$simulator" --data "$data" --course seed:3:extreme >"$out" 2>&1 || status=$?
[ "$status" -eq 2 ] && [ "$(wc -l <"$out")" -eq 1 ] && grep -q "easy, medium or hard" "$out" ||
    fail "a malformed seed ended with status $status"
echo "PASS"
