# A course made from a seed at start-up: made into the player's courses while its progress is drawn, then played;
# started again it is played from there without being made again. A malformed seed is refused before any window.
source "$(dirname "$0")/lib.sh"

status=0
"$game" --course seed:7:extreme >/dev/null 2>"$work/refused.txt" || status=$?
[ "$status" = 2 ] || fail "a malformed seed ended with $status, not 2"
grep -q "seed:7:extreme.*easy, medium or hard" "$work/refused.txt" || fail "no reason given: $(cat "$work/refused.txt")"

start_display 400x400x24
copy_data 400
start_game --course seed:7:easy
wait_for_output "making course seed 7 (easy)..." 60
wait_for_output "Course: Seed 7 (easy)" 180
wait_for_phase rolling 120
[ -f "$XDG_DATA_HOME/kelvara-golf/courses/seed-7-easy/course.ini" ] || fail "the course was not kept"
grep -q "cannot be made" "$work/err.txt" && fail "$(cat "$work/err.txt")"
quit_game

start_game --course seed:7:easy
wait_for_output "Course: Seed 7 (easy)" 120
grep -q "making course" "$work/out.txt" && fail "the kept course was made again"
wait_for_frames 3
quit_game
echo "PASS"
