# The game starts from its data folder with its welcome and loading texts, opens its window, closes on Escape with
# the session report, and ends after one line of input with status 0.
source "$(dirname "$0")/lib.sh"

start_display
copy_data
start_game
wait_for_output " Done!" 120
[ -n "$(window_id)" ] || fail "no game window"
expected="Welcome to Kelvara-Golf! 
Use the mouse to look around. 
Press the left mousebutton to accelerate, press right to try again. 
Have fun!
Loading...Couldn't load user config (Config/user.ini). Fallback to default config.
 Done!"
[ "$(head -c "${#expected}" "$work/out.txt")" = "$expected" ] || fail "start-up text differs"

wait_for_frames 3
press_key Escape
wait_for_output "Press any key to exit." 30
grep -qxF "You did not make it to the goal, try harder next time!" "$work/out.txt" || fail "no session report"
kill -0 "$game_pid" 2>/dev/null || fail "the game ended before its final line of input"
echo >&4
wait_for_exit 30
[ "$exit_status" = "0" ] || fail "exit status $exit_status, expected 0"
echo "PASS"
