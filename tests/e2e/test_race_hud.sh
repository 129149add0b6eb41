# A real race in the built game: the get-ready message, the countdown shrinking the time bar, the lost banner
# when nobody plays, and Enter starting the race again.
source "$(dirname "$0")/lib.sh"

size=512
# NDC to pixels of the square window.
px() { awk -v v="$1" -v s="$size" 'BEGIN { printf "%d", (v + 1) / 2 * s }'; }
py() { awk -v v="$1" -v s="$size" 'BEGIN { printf "%d", (1 - v) / 2 * s }'; }

start_display
copy_data
small_window "$size" "$size"
start_game
wait_for_output " Done!" 120
started=$(date +%s.%N)
elapsed() { awk -v a="$started" -v b="$(date +%s.%N)" 'BEGIN { printf "%.1f", b - a }'; }

# The top of the time bar: a full countdown reaches NDC y -0.25, five seconds less only -0.3125.
bar_x=$(px 0.68); bar_y=$(py -0.26); bar_w=10; bar_h=$(( $(py -0.30) - bar_y ))
centre=$(( size * 3 / 8 )); centre_size=$(( size / 4 ))

sleep 1.5
screenshot ready
sleep 9 # rolling starts three seconds after start-up; then five more seconds of countdown
screenshot rolling
top_full=$(region_mean ready "$bar_x" "$bar_y" "$bar_w" "$bar_h")
top_later=$(region_mean rolling "$bar_x" "$bar_y" "$bar_w" "$bar_h")
check "$top_later" "<" "$(awk -v a="$top_full" 'BEGIN { print a * 0.6 }')" \
    || fail "the time bar did not shrink ($top_full -> $top_later at $(elapsed) s)"

# The get-ready message covers the middle at first and is gone while rolling.
change=$(region_difference ready rolling "$centre" "$centre" "$centre_size" "$centre_size")
check "$change" ">" 8 || fail "the get-ready message did not go (difference $change)"

# No one plays: twenty seconds of countdown end in the lost banner.
for _ in $(seq 1 60); do
    [ "$(elapsed | cut -d. -f1)" -ge 26 ] && break
    sleep 0.5
done
screenshot lost
change=$(region_difference rolling lost "$centre" "$centre" "$centre_size" "$centre_size")
check "$change" ">" 8 || fail "no lost banner after $(elapsed) s (difference $change)"

# Enter restarts: the banner goes and the get-ready message comes back.
hold_key Return
sleep 0.5
release_key Return
sleep 1
screenshot again
change=$(region_difference lost again "$centre" "$centre" "$centre_size" "$centre_size")
check "$change" ">" 8 || fail "Enter did not restart the race (difference $change)"

press_key Escape
wait_for_output "Press any key to exit." 30
grep -qF "You did not make it to the goal, try harder next time!" "$work/out.txt" || fail "no session report"
echo >&4
wait_for_exit 30
[ "$exit_status" = "0" ] || fail "exit status $exit_status"
echo "PASS"
