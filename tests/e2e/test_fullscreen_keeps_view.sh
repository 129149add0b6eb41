# Full screen and back while rolling leaves the camera where it was: the cursor's jump on a change of window mode is
# no turn of the player's.
source "$(dirname "$0")/lib.sh"

start_display 800x600x24
copy_data 400
start_game
wait_for_output " Done!" 120
wait_for_phase rolling
wait_for_game_seconds 1.2 # the let's-roll message fades a second after the start
screenshot before
press_key F11
wait_for_frames 5
press_key F11
geometry() { xdotool getwindowgeometry --shell "$(window_id)" | awk -F= '/^(WIDTH|HEIGHT)=/ { printf "%s ", $2 }'; }
back() { [ "$(geometry)" = "400 400 " ]; }
eventually 30 back || fail "F11 twice did not return to the 400 x 400 window ($(geometry))"
wait_for_frames 5
screenshot after
# The sky along the top and the land across the middle are where they were (the HUD's clock left out); a camera
# turned by the jump looks at the ground.
read -r r0 g0 b0 <<<"$(region_rgb before 0 0 400 40)"
read -r r1 g1 b1 <<<"$(region_rgb after 0 0 400 40)"
check "$b1" ">" "$g1" || fail "no sky along the top after F11 twice (rgb $r1 $g1 $b1, was $r0 $g0 $b0)"
change=$(region_difference before after 0 100 400 200)
check "$change" "<" 12 || fail "the view turned with the change of window mode (difference $change)"
quit_game
echo "PASS"
