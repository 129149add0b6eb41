# Shared by the install tests: runs an installed game from a folder that holds no data, under its own Xvfb.
source "$(dirname "${BASH_SOURCE[0]}")/../e2e/lib.sh"

# Checks what the program says about itself without a window: --version, --help and a refused argument.
check_arguments() {
    local program="$1" output status
    output="$("$program" --version)" || fail "--version failed"
    [[ "$output" =~ ^kelvara-golf\ [0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "--version printed '$output'"
    output="$("$program" --help)" || fail "--help failed"
    grep -q "^Usage: kelvara-golf" <<<"$output" && grep -q "left mouse button" <<<"$output" || fail "--help: $output"
    status=0
    output="$("$program" --fast 2>&1)" || status=$?
    [ "$status" -eq 2 ] || fail "a bad argument ended with status $status, not 2"
    grep -q "unknown argument '--fast'" <<<"$output" && grep -q "^Usage:" <<<"$output" || fail "bad argument: $output"
}

# Starts program in an empty folder (so it must find its own data), checks that it loads and draws sky and ground,
# then ends it with Escape and Enter and expects status 0.
play_from_elsewhere() {
    local program="$1"
    mkdir -p "$work/elsewhere" "$work/config"
    # A small window for the software renderer, as the player's own settings file.
    printf '[window]\nwidth = 320\nheight = 320\n' >"$work/config/user.ini"
    mkdir -p "$work/config/kelvara-golf" && mv "$work/config/user.ini" "$work/config/kelvara-golf/"
    start_display
    mkfifo "$work/stdin"
    (cd "$work/elsewhere" && XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/share" \
        exec "$program" <"$work/stdin" >"$work/out.txt" 2>"$work/err.txt") &
    game_pid=$!
    exec 4>"$work/stdin"
    wait_for_output " Done!" 120
    sleep 3
    screenshot installed
    read -r r g b <<<"$(region_rgb installed 0 0 320 30)"
    check "$b" ">" "$r" && check "$b" ">" 60 || fail "no sky at the top (rgb $r $g $b)"
    read -r r g b <<<"$(region_rgb installed 100 200 120 40)"
    check "$g" ">" "$b" && check "$g" ">" 40 || fail "no ground below the middle (rgb $r $g $b)"
    press_key Escape
    echo "" >&4
    wait_for_exit 30
    [ "$exit_status" -eq 0 ] || fail "the installed game ended with status $exit_status"
}
