# A missing shader file ends start-up with its message and exit status 255 (-1).
source "$(dirname "$0")/lib.sh"

start_display
copy_data 256
rm "$work/data/Shaders/blur.frag"
start_game
exec 4>&-
wait_for_exit 60
[ "$exit_status" = "255" ] || fail "exit status $exit_status, expected 255"
grep -qF "Loading...Shader file cannot be found: Shaders/blur.frag" "$work/out.txt" || fail "no missing-file message"
grep -qF "Done!" "$work/out.txt" && fail "start-up went on"
echo "PASS"
