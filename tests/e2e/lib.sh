# Shared helpers for the end-to-end tests: a private Xvfb, the game started from a copy of its data folder.
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

# Starts Xvfb on the first free display and exports DISPLAY.
start_display() {
    local size="${1:-1024x1024x24}"
    local fifo="$work/displayfd"
    mkfifo "$fifo"
    Xvfb -displayfd 5 -screen 0 "$size" -nolisten tcp 5>"$fifo" 2>/dev/null &
    xvfb_pid=$!
    local number
    read -r -t 20 number <"$fifo" || fail "Xvfb did not start"
    export DISPLAY=":$number"
}

# Copies the data folder so a test can change it, then starts the game there with stdin from a fifo.
copy_data() {
    cp -r "$data_source" "$work/data"
    rm -f "$work/data/Config/user.ini"
}

start_game() {
    mkfifo "$work/stdin"
    (cd "$work/data" && exec "$game" <"$work/stdin" >"$work/out.txt" 2>"$work/err.txt") &
    game_pid=$!
    exec 4>"$work/stdin" # keeps the game's stdin open until we answer its prompt
}

# Waits up to $2 seconds for text $1 in the game's output.
wait_for_output() {
    local text="$1" seconds="${2:-60}"
    for _ in $(seq 1 $((seconds * 10))); do
        grep -qF -- "$text" "$work/out.txt" 2>/dev/null && return 0
        kill -0 "$game_pid" 2>/dev/null || break
        sleep 0.1
    done
    grep -qF -- "$text" "$work/out.txt" 2>/dev/null || fail "no '$text' in the output"
}

window_id() {
    xdotool search --sync --limit 1 --name "Kelvara-Actionminigolf 3D" 2>/dev/null | head -n 1
}

# Sends key events to the game window.
press_key() {
    local id
    id="$(window_id)"
    xdotool windowfocus --sync "$id" 2>/dev/null || true
    xdotool key --window "$id" "$@"
}

# Waits for the game to end and leaves its exit status in exit_status.
exit_status=""
wait_for_exit() {
    local seconds="${1:-30}"
    for _ in $(seq 1 $((seconds * 10))); do
        kill -0 "$game_pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$game_pid" 2>/dev/null && fail "the game did not end"
    exit_status=0
    wait "$game_pid" || exit_status=$?
    game_pid=""
}

# Makes the game's window small, so the software renderer keeps a usable frame rate.
small_window() {
    printf '[window]\nwidth = %s\nheight = %s\n' "$1" "$2" >"$work/data/Config/user.ini"
}

# Saves the game window's picture as $work/$1.png.
screenshot() {
    import -window "$(window_id)" "$work/$1.png" 2>/dev/null || fail "no screenshot"
}

# Mean red, green and blue (0..255) of a rectangle of a screenshot: name x y width height.
region_rgb() {
    convert "$work/$1.png" -crop "$4x$5+$2+$3" +repage -format "%[fx:mean.r*255] %[fx:mean.g*255] %[fx:mean.b*255]" info:
}

# Mean brightness (0..255) of a rectangle: name x y width height.
region_mean() {
    convert "$work/$1.png" -crop "$4x$5+$2+$3" +repage -format "%[fx:mean*255]" info:
}

# Mean absolute difference (0..255) between two screenshots, over a rectangle.
region_difference() {
    convert "$work/$1.png" "$work/$2.png" -compose difference -composite -crop "$5x$6+$3+$4" +repage \
        -format "%[fx:mean*255]" info:
}

# Holds a key (xdotool name) for the game's next frames.
hold_key() {
    local id
    id="$(window_id)"
    xdotool windowfocus --sync "$id" 2>/dev/null || true
    xdotool keydown --window "$id" "$1"
}
release_key() {
    xdotool keyup --window "$(window_id)" "$1"
}

# Is $1 compared with $3 by $2 (one of < <= > >=) true? Numbers may be fractional.
check() {
    awk -v a="$1" -v b="$3" -v op="$2" 'BEGIN {
        if (op == "<") exit !(a < b); if (op == "<=") exit !(a <= b);
        if (op == ">") exit !(a > b); if (op == ">=") exit !(a >= b); exit 1 }'
}
