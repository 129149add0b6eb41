# The window follows its size: resized to 16:9 the scene fills it without a black band and the boost gauge stays
# round in its corner; F11 goes full screen and back. P stops the countdown and the ball and shows the paused
# banner, P again goes on, and Escape still closes while paused.
source "$(dirname "$0")/lib.sh"

# The screen is not the window's size, so full screen is told apart from the window.
screen_w=800; screen_h=600
start_display "${screen_w}x${screen_h}x24"
copy_data 400
start_game
wait_for_output " Done!" 120
id="$(window_id)"

geometry() { xdotool getwindowgeometry --shell "$id" | awk -F= '/^(WIDTH|HEIGHT)=/ { printf "%s ", $2 }'; }
size_of() { identify -format "%w %h " "$work/$1.png"; }
# Share (0..1) of pixels that are black: what a viewport left at the old size leaves.
black_share() { convert "$work/$1.png" -fx "max(r, max(g, b)) < 0.04 ? 1 : 0" -format "%[fx:mean]" info:; }
# The gauge in the lower-left corner as "width height left-gap bottom-gap" in pixels: everything there that is not
# grass green, cleaned of specks, boxed.
gauge() {
    local w h c box
    read -r w h <<<"$(size_of "$1")"
    c=$((h * 35 / 100))
    box=$(convert "$work/$1.png" -crop "${c}x${c}+0+$((h - c))" +repage -fx "g > r * 1.1 && g > b * 1.1 ? 0 : 1" \
        -morphology Open Disk:3 -format "%@" info:)
    awk -v box="$box" -v c="$c" 'BEGIN { split(box, v, /[x+]/); print v[1], v[2], v[3], c - v[4] - v[2] }'
}
# Fails unless the whole picture is scene: no black band.
filled() {
    local share
    share=$(black_share "$1")
    check "$share" "<" 0.01 || fail "$2: $share of the picture is black"
}

wait_for_frames 3
screenshot square
read -r dial_w dial_h left_gap bottom_gap <<<"$(gauge square)"
check "$dial_w" ">" 60 || fail "no gauge found in the square window ($dial_w x $dial_h)"

# Resized to 16:9.
xdotool windowsize "$id" 640 360
resized() { [ "$(geometry)" = "640 360 " ]; }
eventually 30 resized || fail "the window did not take the new size ($(geometry))"
wait_for_frames 3
screenshot wide
[ "$(size_of wide)" = "640 360 " ] || fail "the picture did not take the new size ($(size_of wide))"
filled wide "resized to 640 x 360"
read -r r g b <<<"$(region_rgb wide 0 0 640 30)"
check "$b" ">" "$r" && check "$b" ">" 60 || fail "no sky along the top after the resize (rgb $r $g $b)"
read -r r g b <<<"$(region_rgb wide 200 300 240 60)"
check "$g" ">" "$b" && check "$g" ">" 40 || fail "no ground along the bottom after the resize (rgb $r $g $b)"
read -r w h left bottom <<<"$(gauge wide)"
awk -v w="$w" -v h="$h" 'BEGIN { exit !(w - h <= 3 && h - w <= 3) }' || fail "the gauge is $w x $h at 16:9, not round"
# The same size and distance from the corner relative to the window height as in the square window.
awk -v a="$h" -v b="$dial_h" 'BEGIN { exit !((a / 360 - b / 400)^2 < 0.01^2) }' \
    || fail "the gauge is $h of 360 high, it was $dial_h of 400"
awk -v a="$left" -v b="$left_gap" -v c="$bottom" -v d="$bottom_gap" \
    'BEGIN { exit !((a / 360 - b / 400)^2 < 0.01^2 && (c / 360 - d / 400)^2 < 0.01^2) }' \
    || fail "the gauge moved from its corner: $left, $bottom pixels from the edges, was $left_gap, $bottom_gap"

# F11: full screen on the screen, then back to the window it came from.
press_key F11
full() { [ "$(geometry)" = "$screen_w $screen_h " ]; }
eventually 30 full || fail "F11 did not go full screen (window $(geometry))"
wait_for_frames 3
screenshot full
filled full "full screen"
press_key F11
eventually 30 resized || fail "F11 again did not return to the 640 x 360 window ($(geometry))"

# A fresh race, then a push so the ball rolls.
restart_race
xdotool mousedown 1
wait_for_game_seconds 1.5
xdotool mouseup 1
# The time bar's column on the right, clear of the clock.
bar_x=576; bar_y=100; bar_w=20; bar_h=220
wait_for_frames 3
screenshot rolling1
wait_for_game_seconds 1
screenshot rolling2
moved=$(region_difference rolling1 rolling2 0 0 640 360)
check "$moved" ">" 2 || fail "the ball was not rolling before the pause, nothing to stop (difference $moved)"

press_key p
wait_for_phase paused
wait_for_frames 3
screenshot paused1
wait_for_frames 5
screenshot paused2
still=$(region_difference paused1 paused2 0 0 640 360)
check "$still" "<" 0.5 || fail "the picture moved while paused (difference $still)"
bar=$(region_difference paused1 paused2 $bar_x $bar_y $bar_w $bar_h)
check "$bar" "<" 0.5 || fail "the time bar ran on while paused (difference $bar)"
banner=$(region_difference rolling2 paused1 240 130 160 100)
check "$banner" ">" 8 || fail "no paused banner (difference $banner)"

press_key p
wait_for_phase rolling
wait_for_game_seconds 1
screenshot resumed
check "$(region_difference paused2 resumed $bar_x $bar_y $bar_w $bar_h)" ">" 1 || fail "P again did not resume the countdown"

press_key p
wait_for_phase paused
press_key Escape
wait_for_output "Press any key to exit." 30
echo >&4
wait_for_exit 30
[ "$exit_status" = "0" ] || fail "exit status $exit_status"
echo "PASS"
