# --list-courses without a display: one tab-separated line per course (id, name, record or "-", gold, silver and
# bronze times), the valley first, a player's course after the shipped ones, a broken one left out with one line.
source "$(dirname "$0")/lib.sh"

unset DISPLAY
copy_data
mkdir -p "$XDG_DATA_HOME/kelvara-golf/courses/zz-broken"
printf 'not a course\n' >"$XDG_DATA_HOME/kelvara-golf/courses/zz-broken/course.ini"
# A course of the player's with a shipped course's id is listed in its place, with one line.
mkdir -p "$XDG_DATA_HOME/kelvara-golf/courses/meadow"
sed -e 's|^name = .*|name = My Meadow|' -e 's|^heightmap = .*|heightmap = heightmap.png|' \
    "$work/data/Courses/meadow/course.ini" >"$XDG_DATA_HOME/kelvara-golf/courses/meadow/course.ini"
cp "$work/data/Courses/meadow/heightmap.png" "$XDG_DATA_HOME/kelvara-golf/courses/meadow/"
status=0
(cd "$work/data" && "$game" --list-courses >"$work/list.txt" 2>"$work/err.txt") || status=$?
[ "$status" = 0 ] || fail "--list-courses ended with $status: $(cat "$work/err.txt")"
shipped=$(find "$work/data/Courses" -mindepth 2 -maxdepth 2 -name course.ini | wc -l)
[ "$(wc -l <"$work/list.txt")" = "$shipped" ] || fail "not one line per shipped course: $(cat "$work/list.txt")"
head -n 1 "$work/list.txt" | grep -q "^valley	Kelvara Valley	-	" || fail "the valley is not first: $(head -n 1 "$work/list.txt")"
awk -F '\t' 'NF != 6 || $3 != "-" || !($4 > 0 && $4 < $5 && $5 < $6) { print "bad line: " $0; bad = 1 }
             END { exit bad }' "$work/list.txt" || fail "a line is not id, name, -, gold < silver < bronze"
[ "$(grep -c "zz-broken" "$work/err.txt")" = 1 ] || fail "no one line for the broken course: $(cat "$work/err.txt")"
grep -q "zz-broken" "$work/list.txt" && fail "the broken course is listed"
[ "$(grep -c "^meadow	My Meadow	" "$work/list.txt")" = 1 ] || fail "the player's meadow is not listed in its place"
grep -q "Meadow Run" "$work/list.txt" && fail "the shipped meadow is still listed"
[ "$(grep -c "meadow" "$work/err.txt")" = 1 ] || fail "no one line for the player's meadow: $(cat "$work/err.txt")"

# Like --version, only on its own.
status=0
"$game" --list-courses --course valley >/dev/null 2>&1 || status=$?
[ "$status" = 2 ] || fail "--list-courses with another argument was not refused ($status)"
echo "PASS"
