# On a 1366 x 768 screen the default 1024 x 1024 window is shrunk to fit, keeping its aspect, with one line saying
# so; a size that fits is taken exactly, without a word. The console's lines reach a file as they happen.
source "$(dirname "$0")/lib.sh"

start_display 1366x768x24
copy_data
start_game
wait_for_output " Done!" 120
wait_for_frames 3
read -r w h <<<"$(xdotool getwindowgeometry --shell "$(window_id)" | awk -F= '/^(WIDTH|HEIGHT)=/ { printf "%s ", $2 }')"
[ "$w $h" = "768 768" ] || fail "the 1024 x 1024 window on a 1366 x 768 screen is $w x $h, not 768 x 768"
grep -q "1024 x 1024 window does not fit" "$work/err.txt" || fail "no line about the shrunk window: $(cat "$work/err.txt")"
[ "$(grep -c "does not fit" "$work/err.txt")" -eq 1 ] || fail "more than one line about the window"
screenshot fitted
[ "$(identify -format "%w %h" "$work/fitted.png")" = "768 768" ] || fail "the picture is not 768 x 768"
# Insert prints the ball's position while it rolls: with the output going to a file, the line is there while the game
# runs.
wait_for_phase rolling
hold_key Insert
wait_for_frames 3
release_key Insert
kill -0 "$game_pid" || fail "the game ended"
grep -q "^position: (" "$work/out.txt" || fail "the position line is not in the file while the game runs"
# Line by line, not in blocks: whenever a new frame's line is there, the file ends with a whole line.
for _ in 1 2 3 4 5; do
    wait_for_frames 1
    [ "$(tail -c 1 "$work/out.txt" | od -An -c | tr -d ' ')" = '\n' ] || fail "the output reaches the file in blocks"
done
quit_game

# 640 x 480 fits: exactly that, and nothing said.
rm -f "$work/stdin" "$work/out.txt" "$work/err.txt"
printf '[window]\nwidth = 640\nheight = 480\n' >"$work/data/Config/user.ini"
start_game
wait_for_output " Done!" 120
wait_for_frames 3
read -r w h <<<"$(xdotool getwindowgeometry --shell "$(window_id)" | awk -F= '/^(WIDTH|HEIGHT)=/ { printf "%s ", $2 }')"
[ "$w $h" = "640 480" ] || fail "a 640 x 480 window that fits became $w x $h"
grep -q "does not fit" "$work/err.txt" && fail "a line about a window that fits"
quit_game
echo "PASS"
