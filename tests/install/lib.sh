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

# Starts program in an empty folder (so it must find its own data), waits until it draws sky and ground, then ends
# it with Escape and Enter and expects status 0.
play_from_elsewhere() {
    local program="$1"
    mkdir -p "$work/elsewhere" "$work/config/kelvara-golf"
    # A small window for the software renderer, as the player's own settings file.
    printf '[window]\nwidth = 320\nheight = 320\n' >"$work/config/kelvara-golf/user.ini"
    start_display
    mkfifo "$work/stdin"
    (cd "$work/elsewhere" && XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/share" \
        exec "$program" <"$work/stdin" >"$work/out.txt" 2>"$work/err.txt") &
    game_pid=$!
    exec 4>"$work/stdin"
    wait_for_output " Done!" 120
    sky_and_ground() {
        screenshot installed || return 1
        read -r r g b <<<"$(region_rgb installed 0 0 320 30)"
        check "$b" ">" "$r" && check "$b" ">" 60 || return 1
        read -r r g b <<<"$(region_rgb installed 100 200 120 40)"
        check "$g" ">" "$b" && check "$g" ">" 40
    }
    eventually 60 sky_and_ground || fail "no sky at the top and ground below the middle (last rgb $r $g $b)"
    press_key Escape
    echo "" >&4
    wait_for_exit 30
    [ "$exit_status" -eq 0 ] || fail "the installed game ended with status $exit_status"
}

# Checks the files around the game installed under prefix PREFIX, found below ROOT ("" for a real install, the
# unpacked tree for a package): the menu entry starts the installed program, it and the AppStream metadata pass their
# validators and name each other, the icon is there, and the manual page shows the usage and every control of --help.
check_installed_files() {
    local root="$1" prefix="$2" id=org.kelvara_golf.KelvaraGolf
    local desktop="$root$prefix/share/applications/$id.desktop" metainfo="$root$prefix/share/metainfo/$id.metainfo.xml"
    local page="$root$prefix/share/man/man6/kelvara-golf.6.gz" output

    output="$(desktop-file-validate "$desktop" 2>&1)" || fail "desktop-file-validate $desktop: $output"
    [ "$(sed -n 's/^Exec=//p' "$desktop")" = "$prefix/games/kelvara-golf" ] ||
        fail "the menu entry starts $(grep ^Exec= "$desktop"), not $prefix/games/kelvara-golf"
    [ -x "$root$prefix/games/kelvara-golf" ] || fail "no program at $prefix/games/kelvara-golf"
    [ -f "$root$prefix/share/icons/hicolor/256x256/apps/$(sed -n 's/^Icon=//p' "$desktop").png" ] ||
        fail "no 256x256 icon named by $(grep ^Icon= "$desktop")"
    # The screenshot lives on the game's website; offline, the validator checks everything but fetching it.
    output="$(appstreamcli validate --no-net "$metainfo" 2>&1)" || fail "appstreamcli validate $metainfo: $output"
    grep -qF "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
        fail "the AppStream metadata does not launch $id.desktop"

    [ -f "$page" ] || fail "no manual page at $page"
    # Wide enough that no line of the page wraps, so each phrase of --help shows whole.
    output="$(MANWIDTH=250 man -l "$page" 2>&1 | col -b)" || fail "man could not show $page"
    local usage controls control
    usage="$("$root$prefix/games/kelvara-golf" --help | sed -n '1s/^Usage: //p')"
    [ -n "$usage" ] || fail "--help does not start with Usage:"
    grep -A 1 "^SYNOPSIS" <<<"$output" | grep -qF -- "$usage" ||
        fail "the manual page's synopsis is not '$usage': $output"
    mapfile -t controls < <("$root$prefix/games/kelvara-golf" --help | sed -n 's/^  \(.*[^ ]\)   *\([^ ].*\)$/\1\n\2/p')
    [ "${#controls[@]}" -ge 10 ] || fail "--help lists fewer than five controls"
    for control in "${controls[@]}"; do
        grep -qF -- "$control" <<<"$output" || fail "the manual page misses '$control' of --help"
    done
}
