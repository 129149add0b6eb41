# What a player sees: sky above and lit ground below with the HUD on top, and the debugging keys
# 7 (shadow map), 0 (glow source), 9 (no glow) and 6 (sparks), compared by screenshot regions.
source "$(dirname "$0")/lib.sh"

size=512
start_display
copy_data "$size"
# The ghost runs off through the view while pictures are compared: hidden, only what a key does changes them.
printf '[race]\nghost = false\n' >>"$work/data/Config/user.ini"
start_game
wait_for_output " Done!" 120
first_picture first
# A fresh race (Enter), so that on a slow machine the countdown has not run out by the time of the pictures.
restart_race
wait_for_game_seconds 1.2 # the let's-roll message fades a second after the start
screenshot base

# Sky above: bluish and bright along the top.
read -r r g b <<<"$(region_rgb base 0 0 "$size" 40)"
check "$b" ">" "$r" && check "$b" ">" 60 || fail "no sky at the top (rgb $r $g $b)"
# Lit ground below the middle, left of the HUD's time bar: green grass, not black.
read -r r g b <<<"$(region_rgb base 160 300 180 60)"
check "$g" ">" "$b" && check "$g" ">" 40 || fail "no lit ground below the middle (rgb $r $g $b)"
# HUD on top: the boost dial in the lower left is light around its rim, the time bar on the right is blue.
read -r r g b <<<"$(region_rgb base 425 320 20 100)"
check "$b" ">" 100 || fail "no time bar (rgb $r $g $b)"
dial=$(region_mean base 60 400 80 30)
check "$dial" ">" 25 || fail "no boost dial ($dial)"

# Key 7: the shadow map, a grey picture in the upper-left quarter, on top of the scene.
hold_key 7
wait_for_frames 3
screenshot depth
release_key 7
read -r r g b <<<"$(region_rgb depth 70 70 116 116)"
awk -v r="$r" -v g="$g" -v b="$b" 'BEGIN { exit !((r-g)^2 < 4 && (g-b)^2 < 4) }' || fail "key 7: no grey depth picture (rgb $r $g $b)"
change=$(region_difference base depth 70 70 116 116)
check "$change" ">" 10 || fail "key 7 changed nothing in the upper-left quarter ($change)"
change=$(region_difference base depth 220 130 130 80)
check "$change" "<" 10 || fail "key 7 changed the rest of the picture ($change)"

# Key 0: only what glows, so the picture goes dark (the HUD stays).
hold_key 0
wait_for_frames 3
screenshot glow
release_key 0
normal=$(region_mean base 0 0 "$size" 300)
glowing=$(region_mean glow 0 0 "$size" 300)
check "$glowing" "<" "$(awk -v n="$normal" 'BEGIN { print n * 0.5 }')" || fail "key 0: $glowing is not much darker than $normal"

# Key 9: the scene without the bloom pass, as the scene pass drew it. Little glows in this view, so the picture
# must stay much as it was: the composite falls back to the scene colour (the GL tests check the pixels).
# Compared with a picture just before, since the view moves a little over the seconds of the checks above.
wait_for_frames 3
screenshot glowing
hold_key 9
wait_for_frames 3
screenshot noglow
release_key 9
read -r r g b <<<"$(region_rgb noglow 0 0 "$size" 40)"
check "$b" ">" 60 || fail "key 9: the sky is gone (rgb $r $g $b)"
change=$(region_difference glowing noglow 220 130 130 80)
check "$change" "<" 10 || fail "key 9 changed the sky ($change)"

# Key 6: sparks fly up from the ball and add their light: bright specks where the picture was still. The region
# lies below the running clock, which changes in every frame.
wait_for_frames 3
screenshot before
# The same frames without the key measure how much the rolling view alone changes; the sparks change far more.
wait_for_frames 3
screenshot still
drift=$(region_changed before still 100 70 312 230)
needed=$(awk -v d="$drift" 'BEGIN { print (d * 3 > 0.3) ? d * 3 : 0.3 }')
hold_key 6
sparks_shown() { wait_for_frames 1 && screenshot sparks && check "$(region_changed still sparks 100 70 312 230)" ">" "$needed"; }
eventually 10 sparks_shown ||
    fail "key 6: no sparks ($(region_changed still sparks 100 70 312 230) % changed, $drift % without the key)"
release_key 6

quit_game
echo "PASS"
