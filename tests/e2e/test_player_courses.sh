# Players' courses and the remembered course at start-up: a broken course of the player's is left out with one line,
# a remembered course that is gone falls back to the valley with one line, and the game plays on; a player's course
# that works is played with --course, its heightmap found in its own folder.
source "$(dirname "$0")/lib.sh"

start_display 400x400x24
copy_data 400
courses="$XDG_DATA_HOME/kelvara-golf/courses"
mkdir -p "$courses/broken" "$courses/mine"
# A whole course file whose heightmap is missing: one problem, one line.
sed -e 's|^heightmap = .*|heightmap = nowhere.png|' "$work/data/Courses/canyon/course.ini" >"$courses/broken/course.ini"
# A working course of the player's: a shipped one's file and heightmap, the heightmap beside its file.
cp "$work/data/Courses/canyon/heightmap.png" "$courses/mine/heightmap.png"
sed -e 's|^name = .*|name = My Own Canyon|' -e 's|^heightmap = .*|heightmap = heightmap.png|' \
    "$work/data/Courses/canyon/course.ini" >"$courses/mine/course.ini"
echo gone >"$XDG_DATA_HOME/kelvara-golf/last-course"

start_game
wait_for_output "Course: Kelvara Valley" 120
wait_for_frames 3
grep -q "broken/course.ini" "$work/err.txt" || fail "no line names the broken course: $(cat "$work/err.txt")"
[ "$(grep -c "broken" "$work/err.txt")" = 1 ] || fail "the broken course has more than one line: $(cat "$work/err.txt")"
[ "$(grep -c "gone" "$work/err.txt")" = 1 ] || fail "no one line for the gone course: $(cat "$work/err.txt")"
quit_game

# The player's course by --course: the race finds the heightmap in the course's own folder.
rm -f "$work/stdin" "$work/out.txt"
mkfifo "$work/stdin"
(cd "$work/data" && KELVARA_FRAME_LOG=1 exec "$game" --course mine <"$work/stdin" >"$work/out.txt" 2>"$work/err.txt") &
game_pid=$!
exec 4>"$work/stdin"
wait_for_output "Course: My Own Canyon" 120
wait_for_frames 3
quit_game
echo "PASS"
