# What a player hears, recorded through OpenAL Soft's wave-file output: the start cue, a louder ball when it is
# boosted and rolling than at rest, silence with sound off, and a game that plays on without its sound files.
source "$(dirname "$0")/lib.sh"

# The loudness of a recording, as one RMS value (0..1) per quarter second: "time rms" lines.
loudness_track() {
    sox "$1" -r 4000 -c 1 -t dat - 2>/dev/null | awk '
        /^;/ { next }
        { bin = int($1 / 0.25); sum[bin] += $2 * $2; count[bin]++; if (bin > last) last = bin }
        END { for (b = 0; b <= last; b++) printf "%.2f %.5f\n", b * 0.25, count[b] ? sqrt(sum[b] / count[b]) : 0 }'
}
# The first time the track is louder than $2, or nothing.
onset() { awk -v t="$2" '$2 > t { print $1; exit }' "$1"; }
# The quiet after the first sound: its length in seconds up to the next sound louder than $2.
first_pause() {
    awk -v t="$2" '!heard && $2 > t { heard = 1; next }
                   heard && !quiet && $2 <= t { quiet = $1 }
                   quiet && $2 > t { printf "%.2f", $1 - quiet; found = 1; exit }
                   END { if (!found) print 0 }' "$1"
}
# The longest time in seconds between two drawn frames, by the game's own clock.
longest_frame_gap() {
    awk '$1 == "frame" { if (seen && $4 - last > gap) gap = $4 - last; last = $4; seen = 1 } END { printf "%.2f", gap + 0 }' \
        "$work/out.txt"
}
# A failed check on a machine that stalled (frames more than half a second apart) says nothing about the sound.
sound_fail() {
    local gap
    gap=$(longest_frame_gap)
    if check "$gap" ">" 0.5; then
        echo "inconclusive: $* while the game went $gap s without a frame"
        exit 77
    fi
    fail "$*"
}
# The mean loudness of the track's last seconds, leaving out the final quarter (the device closing).
closing() { awk -v n="$2" '{ t[NR] = $2 } END { for (i = NR - n * 4; i < NR; i++) s += t[i]; printf "%.5f", s / (n * 4) }' "$1"; }

# Starts the game recording into $work/$1.wav, with extra settings lines.
start_recorded() {
    printf '[wave]\nfile = %s\n' "$work/$1.wav" >"$work/alsoft.conf"
    printf '[window]\nwidth = 256\nheight = 256\n%s' "${2:-}" >"$work/data/Config/user.ini"
    export ALSOFT_CONF="$work/alsoft.conf" ALSOFT_DRIVERS=wave
    rm -f "$work/stdin" "$work/out.txt" "$work/err.txt"
    start_game
}

start_display
copy_data

# Sound on: the cue as the first race gets ready, quiet while the ball waits three seconds on the start, then the
# ball boosted and rolling until the window closes.
start_recorded played
wait_for_output " Done!" 120
wait_for_phase rolling
id="$(window_id)"
xdotool windowfocus --sync "$id" 2>/dev/null || true
xdotool mousedown --window "$id" 1
wait_for_game_seconds 2
press_key Escape
xdotool mouseup --window "$id" 1 2>/dev/null || true
echo "" >&4
wait_for_exit 30
[ "$exit_status" -eq 0 ] || fail "exit status $exit_status with sound on"

loudness_track "$work/played.wav" >"$work/played.txt"
cue="$(onset "$work/played.txt" 0.01)"
[ -n "$cue" ] || fail "nothing was heard at all"
# After the get-ready cue the ball waits on the start in silence until "Let's roll!"; a heard rest leaves no pause.
pause="$(first_pause "$work/played.txt" 0.005)"
boost="$(closing "$work/played.txt" 1)"
echo "start cue at $cue s, then $pause s of quiet while the ball waits; boosted and rolling: $boost"
check "$pause" ">=" 0.5 || sound_fail "no quiet while the ball waits on the start (${pause} s)"
check "$boost" ">" 0.01 || sound_fail "the boosted, rolling ball is not heard ($boost)"

# Sound off: nothing is played at all.
start_recorded silent "[audio]
enabled = false
"
wait_for_output " Done!" 120
wait_for_phase rolling
press_key Escape
echo "" >&4
wait_for_exit 30
[ "$exit_status" -eq 0 ] || fail "exit status $exit_status with sound off"
if [ -f "$work/silent.wav" ]; then
    peak="$(sox "$work/silent.wav" -n stat 2>&1 | awk '/Maximum amplitude/ { print $3 }')"
    check "${peak:-0}" "<=" 0.0001 || fail "sound off still played (peak $peak)"
fi

# No sound files: one line on standard error, and the game plays and ends as always.
rm -rf "$work/data/Sounds"
start_recorded missing
wait_for_output " Done!" 120
wait_for_phase rolling
press_key Escape
echo "" >&4
wait_for_exit 30
[ "$exit_status" -eq 0 ] || fail "exit status $exit_status without sound files"
[ "$(grep -c . "$work/err.txt")" -eq 1 ] && grep -q "Sounds/" "$work/err.txt" ||
    fail "without sound files stderr is not one line naming them: $(cat "$work/err.txt")"
grep -q "Press any key to exit." "$work/out.txt" || fail "no session report without sound files"
echo "ok"
