# Shared helpers for the end-to-end tests: a private Xvfb, the game started from a copy of its data folder, input
# through xdotool, and screenshot regions compared as numbers. Usage: source lib.sh GAME DATA_FOLDER
set -euo pipefail

game="$1"
data_source="$2"
work="$(mktemp -d)"
# The game reads the player's own settings and keeps records below these: never the real home folder's.
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/share"
xvfb_pid=""
game_pid=""

cleanup() {
    [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    exec 4>&- 2>/dev/null || true
    # KEEP_WORK=1 keeps the screenshots and output for a look after the run.
    if [ -n "${KEEP_WORK:-}" ]; then echo "kept $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*"
    if [ -f "$work/out.txt" ]; then echo "--- game output ---"; cat "$work/out.txt"; fi
    exit 1
}

# A display of our own on the first free number; 1024 x 1024 unless a size such as 800x600x24 is given.
start_display() {
    mkfifo "$work/displayfd"
    Xvfb -displayfd 5 -screen 0 "${1:-1024x1024x24}" -nolisten tcp 5>"$work/displayfd" 2>/dev/null &
    xvfb_pid=$!
    local number
    read -r -t 20 number <"$work/displayfd" || fail "Xvfb did not start"
    export DISPLAY=":$number"
}

# A copy of the data folder without a user file, so a test may change it; $1 x $1 pixels when a size is given.
copy_data() {
    cp -r "$data_source" "$work/data"
    rm -f "$work/data/Config/user.ini"
    [ -z "${1:-}" ] || printf '[window]\nwidth = %s\nheight = %s\n' "$1" "$1" >"$work/data/Config/user.ini"
}

# Starts the game in the copy with arguments $@, its stdin a fifo kept open until we answer the final prompt. It
# prints "frame N" after each frame it draws, so the tests wait for frames, never for the clock. Once a game has
# ended another may be started; its output replaces the last one's.
start_game() {
    rm -f "$work/stdin"
    mkfifo "$work/stdin"
    (cd "$work/data" && KELVARA_FRAME_LOG=1 exec "$game" "$@" <"$work/stdin" >"$work/out.txt" 2>"$work/err.txt") &
    game_pid=$!
    exec 4>"$work/stdin"
}

# Waits up to $2 seconds for text $1 in the game's output.
wait_for_output() {
    for _ in $(seq 1 $((${2:-60} * 10))); do
        grep -qF -- "$1" "$work/out.txt" 2>/dev/null && return 0
        kill -0 "$game_pid" 2>/dev/null || break
        sleep 0.1
    done
    grep -qF -- "$1" "$work/out.txt" 2>/dev/null || fail "no '$1' in the output"
}

# The game's frame lines, "frame N PHASE SECONDS": one per drawn frame, with the race's phase (ready, rolling, won,
# lost or paused) and the game's own clock in seconds, which stands still while paused.
frames_drawn() {
    local count
    count=$(grep -c '^frame ' "$work/out.txt" 2>/dev/null) || true
    echo "${count:-0}"
}
# The game's clock at the last drawn frame.
game_clock() { grep '^frame ' "$work/out.txt" 2>/dev/null | tail -n 1 | awk '{ print $4 + 0 }'; }
# Waits until $1 more frames (default 3: input sent now is read by the next frame at the latest and then drawn) have
# been drawn, for at most $2 seconds (default 60).
wait_for_frames() {
    local target=$(($(frames_drawn) + ${1:-3})) end=$((SECONDS + ${2:-60}))
    until [ "$(frames_drawn)" -ge "$target" ]; do
        kill -0 "$game_pid" 2>/dev/null || fail "the game ended while waiting for frames"
        [ "$SECONDS" -lt "$end" ] || fail "no $target frames drawn (only $(frames_drawn))"
        sleep 0.02
    done
}
# Waits for a frame drawn from now on in phase $1, for at most $2 seconds (default 60).
wait_for_phase() {
    local from end=$((SECONDS + ${2:-60}))
    from=$(frames_drawn)
    until awk -v n="$from" -v p="$1" '$1 == "frame" && $2 > n && $3 == p { found = 1; exit } END { exit !found }' \
        "$work/out.txt"; do
        kill -0 "$game_pid" 2>/dev/null || fail "the game ended while waiting for a frame $1"
        [ "$SECONDS" -lt "$end" ] || fail "no frame $1 within ${2:-60} s ($(grep '^frame ' "$work/out.txt" | tail -n 1))"
        sleep 0.02
    done
}
# Waits until the game's own clock has run $1 seconds on from now (it stands still while paused), for at most $2
# wall seconds (default 60).
wait_for_game_seconds() {
    local target end=$((SECONDS + ${2:-60}))
    target=$(awk -v a="$(game_clock)" -v b="$1" 'BEGIN { print a + b }')
    until check "$(game_clock)" ">=" "$target"; do
        kill -0 "$game_pid" 2>/dev/null || fail "the game ended while waiting for its clock"
        [ "$SECONDS" -lt "$end" ] || fail "the game's clock did not reach $target s (at $(game_clock))"
        sleep 0.02
    done
}
# A new race (Enter held over a frame) that has started rolling.
restart_race() {
    hold_key Return
    wait_for_phase ready
    release_key Return
    wait_for_phase rolling
}

window_id() { xdotool search --sync --limit 1 --name "Kelvara-Actionminigolf 3D" 2>/dev/null | head -n 1; }
focus() { xdotool windowfocus --sync "$(window_id)" 2>/dev/null || true; }

# Keys by xdotool name: pressed once, or held until released.
press_key() { focus; xdotool key --window "$(window_id)" "$@"; }
hold_key() { focus; xdotool keydown --window "$(window_id)" "$1"; }
release_key() { xdotool keyup --window "$(window_id)" "$1"; }

# The mouse: relative motion in pixels, a button (1 left, 3 right) held over $2 drawn frames (default 3), wheel clicks
# (4 up, 5 down) each in a frame of its own.
mouse_move() { focus; xdotool mousemove_relative -- "$1" "$2"; }
hold_button() { focus; xdotool mousedown "$1"; wait_for_frames "${2:-3}"; xdotool mouseup "$1"; }
wheel() {
    focus
    for _ in $(seq 1 "$2"); do
        xdotool click "$1"
        wait_for_frames 1
    done
}

# Ends with Escape and one line of input; the exit status must be 0.
quit_game() {
    press_key Escape
    wait_for_output "Press any key to exit." 30
    echo >&4
    wait_for_exit 30
    [ "$exit_status" = "0" ] || fail "exit status $exit_status"
}

# Waits for the game to end and leaves its exit status in exit_status.
exit_status=""
wait_for_exit() {
    for _ in $(seq 1 $((${1:-30} * 10))); do
        kill -0 "$game_pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$game_pid" 2>/dev/null && fail "the game did not end"
    exit_status=0
    wait "$game_pid" || exit_status=$?
    game_pid=""
}

# Saves the game window's picture as $work/$1.png.
screenshot() { import -window "$(window_id)" "$work/$1.png" 2>/dev/null || fail "no screenshot"; }

# Runs a check (a command) until it succeeds, for at most $1 seconds: a slow machine draws few frames a second.
eventually() {
    local end=$((SECONDS + $1))
    shift
    until "$@"; do
        [ "$SECONDS" -lt "$end" ] || return 1
        sleep 0.3
    done
}
# Takes screenshot $1 once the game has drawn its first picture.
first_picture() {
    shown() { screenshot "$1" && check "$(region_mean "$1" 0 0 200 200)" ">" 10; }
    eventually 60 shown "$1" || fail "no picture"
}

# Over a rectangle (name x y width height): mean red, green and blue (0..255) and mean brightness; and between two
# screenshots (name other x y width height) the mean difference.
region_rgb() {
    convert "$work/$1.png" -crop "$4x$5+$2+$3" +repage -format "%[fx:mean.r*255] %[fx:mean.g*255] %[fx:mean.b*255]" info:
}
region_mean() { convert "$work/$1.png" -crop "$4x$5+$2+$3" +repage -format "%[fx:mean*255]" info:; }
region_difference() {
    convert "$work/$1.png" "$work/$2.png" -compose difference -composite -crop "$5x$6+$3+$4" +repage \
        -format "%[fx:mean*255]" info:
}
# The share (percent) of a rectangle's pixels that changed by more than 30 % between two screenshots.
region_changed() {
    convert "$work/$1.png" "$work/$2.png" -compose difference -composite -crop "$5x$6+$3+$4" +repage \
        -colorspace gray -threshold 30% -format "%[fx:mean*100]" info:
}

# Is $1 compared with $3 by $2 (one of < > <= >=) true? Numbers may be fractional.
check() {
    awk -v a="$1" -v b="$3" -v op="$2" 'BEGIN {
        if (op == "<") exit !(a < b); if (op == ">") exit !(a > b); if (op == "<=") exit !(a <= b); exit !(a >= b) }'
}
