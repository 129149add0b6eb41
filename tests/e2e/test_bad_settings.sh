# Window values that parse but cannot work, and a user file that is not text: one line each naming the problem, then
# a game that draws, plays and ends with status 0.
source "$(dirname "$0")/lib.sh"

start_display 1024x1024x24
copy_data
# Runs the game with the user file in place and expects one line matching $2 on stdout or stderr; $3 names the case.
plays_with() {
    rm -f "$work/stdin" "$work/out.txt" "$work/err.txt"
    start_game
    wait_for_output " Done!" 120
    wait_for_frames 3
    screenshot picture
    check "$(region_mean picture 0 0 200 200)" ">" 10 || fail "$3: no picture"
    local lines
    lines=$(cat "$work/out.txt" "$work/err.txt" | grep -c -- "$2") || true
    [ "$lines" -eq 1 ] || fail "$3: $lines lines matching '$2', not one: $(cat "$work/err.txt")"
    quit_game
}
for case in "width = -800" "width = 0" "width = 40000" "height = 1e9" "brightness = 5"; do
    printf '[window]\n%s\n' "$case" >"$work/data/Config/user.ini"
    plays_with "$case" "ignored \\[window\\] ${case%% =*} = " "$case"
done
head -c 4096 /dev/urandom | tr -d '\n' | tr '\000-\010' '\200-\210' >"$work/data/Config/user.ini"
printf '\000\001\002\377' >>"$work/data/Config/user.ini"
plays_with junk "user.ini: not a settings file" "a binary user.ini"
echo "PASS"
