# A broken copy of the shipped course, or one whose heightmap cannot be read, is refused with one line naming the file
# and what is wrong, and the simulator ends with status 1 instead of racing half a course (each way a course file can
# be broken: test_course_file.cpp).
source "$(dirname "$0")/lib.sh"
work="$(mktemp -d)"
trap 'rm -rf "$work" "$out"' EXIT
mkdir -p "$work/Textures" "$work/Courses"
cp "$data/Textures/heightmap.png" "$work/Textures/"
shipped="$data/Courses/valley/course.ini"

# One case: a name, a sed script that breaks the file, and a pattern its one line must match.
refused() {
    local name="$1" edit="$2" pattern="$3" status=0
    mkdir -p "$work/Courses/$name"
    sed -e "$edit" "$shipped" >"$work/Courses/$name/course.ini"
    "$simulator" --data "$work" --course "$name" --fps 30 >"$out" 2>&1 || status=$?
    [ "$status" -eq 1 ] || fail "$name: ended with status $status, not 1"
    [ "$(wc -l <"$out")" -eq 1 ] || fail "$name: expected one line"
    echo "  $name: $(cat "$out")"
    grep -q "$pattern" "$out" || fail "$name: the line does not match '$pattern'"
}

refused bad-number 's/^countdown = .*/countdown = twenty/' \
    "Courses/bad-number/course.ini: \[course\] countdown = \"twenty\", expected a number from 1 to 3600; the course is refused"
refused no-heightmap 's|^heightmap = .*|heightmap = Textures/nowhere.png|' "Error loading heightmap from file (.*Textures/nowhere.png)"

# An unknown course and a name that is no folder name are refused as well.
status=0
"$simulator" --data "$work" --course nowhere >"$out" 2>&1 || status=$?
[ "$status" -eq 1 ] && grep -q "Courses/nowhere/course.ini: cannot be read" "$out" || fail "an unknown course: status $status"
status=0
"$simulator" --data "$work" --course ../valley >"$out" 2>&1 || status=$?
[ "$status" -eq 2 ] || fail "a course name with a path ended with status $status, not 2"

# The untouched copy races.
mkdir -p "$work/Courses/copy" && cp "$shipped" "$work/Courses/copy/"
"$simulator" --data "$work" --course copy --fps 30 --player idle >"$out" 2>&1 || fail "the copied course did not race"
grep -q "^race 1: lost after" "$out" || fail "the copied course did not end its race"
echo "PASS"
