# The mouse in a real session of several races: motion turns the view, the right button starts the race again with
# the get-ready message and a full time bar, the left button boosts the ball off the start while the gauge needle
# turns, and the wheel moves the camera in and out; Escape then ends with the session report.
source "$(dirname "$0")/lib.sh"

size=512
start_display
copy_data "$size"
start_game
wait_for_output " Done!" 120
# Regions: the sky along the top, sky and hilltops, the land along the horizon, the middle (start messages, the
# ball), the top of the time bar and the boost gauge.
top="0 0 $size 40"; sky="0 0 $size 100"; land="0 40 $size 140"; middle="192 192 128 128"; bar_top="430 322 10 10"
gauge="40 400 80 70"
# Takes screenshot $1 and compares region $2 with screenshot $3 there: true when the difference is $4 (< or >) $5.
differs() { screenshot "$1" && check "$(region_difference "$3" "$1" ${!2})" "$4" "$5"; }
blue() { region_rgb "$1" $top | awk '{ print $3 }'; }

first_picture first
read -r r g b <<<"$(region_rgb first $top)"
check "$b" ">" "$r" || fail "no sky at the top at first (rgb $r $g $b)"
# Down tilts the view onto the ground, so the sky leaves the top; sideways turns the view.
mouse_move 0 -1 # the first event only tells where the cursor is
mouse_move 0 120
sky_gone() { screenshot down && check "$(blue down)" "<" "$(awk -v b="$b" 'BEGIN { print b * 0.7 }')"; }
eventually 10 sky_gone || fail "moving the mouse down kept the sky in view ($b -> $(blue down))"
mouse_move 0 -120
wait_for_frames 3 # the next motion in frames of its own
mouse_move 200 0
eventually 10 differs turned sky first ">" 15 || fail "moving the mouse sideways did not turn the view"
mouse_move -200 0
wait_for_frames 3

# Right button: a new race with the get-ready message and a full time bar, then its start once the messages fade.
# Each race counts down on the real clock, so every check that needs rolling runs early in a race of its own. The
# button is held over frames ($2 hold), or clicked down and up at once, shorter than a frame ($2 click).
restart() {
    screenshot "before$1"
    if [ "$2" = click ]; then focus; xdotool click 3; else hold_button 3; fi
    wait_for_phase ready
    eventually 10 differs "race$1" middle "before$1" ">" 8 || fail "race $1: no get-ready message"
    check "$(region_mean "race$1" $bar_top)" ">" 150 || fail "race $1: the time bar is not full"
    wait_for_phase rolling
    wait_for_game_seconds 1.2 # the let's-roll message fades a second after the start
}
restart 2 hold
screenshot rolling
# Left button: the boost pushes the ball off the start (the view moves with it) and the needle turns.
focus
xdotool mousedown 1
wait_for_game_seconds 1
xdotool mouseup 1
eventually 10 differs boosted land rolling ">" 10 || fail "the left button did not move the ball"
check "$(region_difference rolling boosted $gauge)" ">" 3 || fail "the boost needle did not turn"

restart 3 click
eventually 10 differs settled land rolling "<" 4 || fail "race 3: the ball is not back on the start"
# The middle shows the ball: the wheel brings the camera near and takes it away again.
wheel 5 12
screenshot near
wheel 4 12
screenshot far
near=$(region_mean near $middle); far=$(region_mean far $middle)
check "$near" ">" "$(awk -v f="$far" 'BEGIN { print f + 15 }')" || fail "the wheel did not bring the ball near ($far -> $near)"

quit_game
grep -qxF "You did not make it to the goal, try harder next time!" "$work/out.txt" || fail "no session report"
echo "PASS"
