# Looking up as far as the mouse goes shows the ball against the course, never the sky from under the ground.
source "$(dirname "$0")/lib.sh"

size=384
start_display
copy_data "$size"
start_game
wait_for_output " Done!" 120
wait_for_frames 3
id="$(window_id)"
xdotool windowfocus --sync "$id" 2>/dev/null || true
# Upward motion, a little at a time as a hand gives it; far more than any limit allows.
for _ in $(seq 1 12); do
    xdotool mousemove_relative -- 0 -100
    wait_for_frames 1
done
wait_for_frames 3
screenshot up

# The strip below the middle, between the boost gauge and the time bar: grass, not sky.
read -r r g b <<<"$(region_rgb up $((size * 2 / 5)) $((size * 17 / 20)) $((size / 4)) $((size / 10)))"
check "$g" ">" "$b" || fail "looking up shows sky where the ground belongs (rgb $r $g $b)"
press_key Escape
echo "" >&4
wait_for_exit 30
[ "$exit_status" -eq 0 ] || fail "exit status $exit_status"
echo "ok"
