# The pause menu by keys in the real window: P opens it over a dimmed race, Down and Enter open the course list,
# choosing the next course starts it (its line on the console, the last course remembered), Backspace goes from the
# list back to the menu, Resume closes the menu and lets the race go on, and a click on Quit ends the game.
source "$(dirname "$0")/lib.sh"

start_display 400x400x24
copy_data 400
start_game
wait_for_output "Course: Kelvara Valley" 120
wait_for_frames 3

# A corner of the window: only the menu's backdrop covers it, dimming what is under it.
corner() { region_mean "$1" 0 0 60 60; }
# The menu's middle, where the items are.
middle_changed() { region_changed "$1" "$2" 60 60 280 280; }
# Presses a key and waits until frames drawn after it are on the screen.
key() { press_key "$@"; wait_for_frames 3; }

screenshot racing
key p
screenshot menu
check "$(corner menu)" "<" "$(awk -v a="$(corner racing)" 'BEGIN { print a * 0.7 }')" ||
    fail "P did not dim the race under a menu (corner $(corner racing) -> $(corner menu))"
check "$(middle_changed racing menu)" ">" 5 || fail "P drew no menu in the middle of the window"

# Resume, Restart, Courses: two steps down, then Enter opens the list.
key Down
key Down
screenshot on_courses
check "$(region_difference menu on_courses 60 60 280 280)" ">" 3 || fail "Down did not move the highlight"
key Return
screenshot list
check "$(middle_changed on_courses list)" ">" 5 || fail "Enter on Courses did not show the course list"

# The playing course is highlighted first; the next one down is chosen.
key Down
key Return
wait_for_output "Course: Ochre Canyon" 60
wait_for_frames 3
screenshot canyon
check "$(corner canyon)" ">" "$(awk -v a="$(corner list)" 'BEGIN { print a * 1.3 }')" ||
    fail "the menu did not close when a course was chosen (corner $(corner list) -> $(corner canyon))"
grep -qx canyon "$XDG_DATA_HOME/kelvara-golf/last-course" || fail "the chosen course was not remembered"
check "$(region_changed racing canyon 0 0 400 400)" ">" 5 || fail "the new course looks like the old one"

# Backspace from the list goes back to the menu, with Courses highlighted; Up twice and Enter resume.
key p
key Down
key Down
key Return
screenshot list2
key BackSpace
screenshot back
check "$(middle_changed list2 back)" ">" 5 || fail "Backspace did not leave the course list"
check "$(corner back)" "<" "$(awk -v a="$(corner canyon)" 'BEGIN { print a * 0.7 }')" ||
    fail "Backspace from the list closed the menu"
key Up
key Up
key Return
screenshot resumed
check "$(corner resumed)" ">" "$(awk -v a="$(corner back)" 'BEGIN { print a * 1.3 }')" ||
    fail "Resume did not close the menu (corner $(corner back) -> $(corner resumed))"
grep -c "^Course: " "$work/out.txt" | grep -qx 2 || fail "a course started other than by choosing one"

# The mouse: the cursor is free in the menu; moving onto Quit highlights it and a click there ends the game.
key p
screenshot reopened
xdotool mousemove --window "$(window_id)" 200 300
wait_for_frames 3
xdotool mousemove --window "$(window_id)" 200 328
wait_for_frames 3
screenshot hover
check "$(region_difference reopened hover 100 300 200 56)" ">" 3 || fail "moving onto Quit did not highlight it"
xdotool click 1
wait_for_output "Press any key to exit." 30
echo >&4
wait_for_exit 30
[ "$exit_status" = "0" ] || fail "exit status $exit_status after Quit"
echo "PASS"
