# Every course folder in the data: it loads, the scripted player collects every checkpoint and wins at 10, 30, 60
# and 144 frames per second with at least 3 seconds left (from the slow frame rates of a software-rendered player to
# the fast ones of a gaming screen), an untouched ball loses when its countdown runs out, the medal times follow the rule
# in scripts/medal_times.sh (gold the slowest winning race clock rounded up, silver x 1.2, bronze x 1.5, rounded up)
# and the course menu's picture and the shipped ghost are there.
source "$(dirname "$0")/lib.sh"

# The value of a key in one section of an ini file, spaces trimmed; empty when missing.
ini_value() {
    awk -v section="[$2]" -v key="$3" '
        /^\[/ { inside = ($0 == section); next }
        inside && $0 ~ "^" key "[ \t]*=" { sub(/^[^=]*=[ \t]*/, ""); sub(/[ \t]+$/, ""); print; exit }' "$1"
}

ghost_out="$(mktemp)"
trap 'rm -f "$out" "$ghost_out"' EXIT

courses=0
for dir in "$data"/Courses/*/; do
    id="$(basename "$dir")"
    file="$dir/course.ini"
    [ -f "$file" ] || fail "$id: no course.ini"
    courses=$((courses + 1))
    checkpoints="$(awk '/^\[/ { inside = ($0 == "[checkpoints]"); next } inside && /^[0-9]+[ \t]*=/ { n++ }
                        END { print n + 0 }' "$file")"
    between=$((checkpoints - 2))

    slowest=0
    for fps in 10 30 60 144; do
        ghost=()
        [ "$fps" = 60 ] && ghost=(--ghost-out "$ghost_out")
        simulate --course "$id" --fps "$fps" --player scripted "${ghost[@]}"
        collected="$(grep -c "^race 1: checkpoint [0-9]* after" "$out" || true)"
        [ "$collected" = "$between" ] || fail "$id at $fps fps: $collected of $between checkpoints collected"
        left="$(seconds_left 1 won)"
        [ -n "$left" ] || fail "$id at $fps fps: race 1 was not won"
        awk -v left="$left" 'BEGIN { exit !(left >= 3.0) }' || fail "$id at $fps fps: only $left seconds left"
        won="$(sed -n 's/^You won after \([0-9.]*\) Seconds!$/\1/p' "$out" | head -n 1)"
        [ -n "$won" ] || fail "$id at $fps fps: the game's own win message is missing"
        slowest="$(awk -v a="$slowest" -v b="$won" 'BEGIN { c = b - 2; print (c > a ? c : a) }')"
        echo "$id at $fps fps: won with $left seconds left"
    done

    simulate --course "$id" --fps 60 --player idle
    grep -q "^race 1: checkpoint" "$out" && fail "$id: an untouched ball collected a checkpoint"
    grep -q "You won" "$out" && fail "$id: an untouched ball won"
    # Times count from the race's start, which start-up puts one second after the reset: two seconds of get-ready,
    # then the course's countdown.
    elapsed="$(sed -n 's/^race 1: lost after \([0-9.]*\) Seconds.*/\1/p' "$out")"
    countdown="$(ini_value "$file" course countdown)"
    awk -v e="$elapsed" -v c="$countdown" 'BEGIN { exit !(e != "" && e >= c + 1.95 && e <= c + 2.1) }' ||
        fail "$id: an untouched ball lost after '$elapsed' seconds, expected $countdown + 2"

    read -r gold silver bronze <<<"$(for medal in gold silver bronze; do ini_value "$file" medals "$medal"; done | xargs)"
    [ -n "$gold" ] && [ -n "$silver" ] && [ -n "$bronze" ] || fail "$id: medal times missing ($gold/$silver/$bronze)"
    awk -v g="$gold" -v s="$silver" -v b="$bronze" 'BEGIN { exit !(g < s && s < b) }' ||
        fail "$id: medal times out of order: gold $gold, silver $silver, bronze $bronze"
    awk -v t="$slowest" -v g="$gold" -v s="$silver" -v b="$bronze" '
        function up(x) { return (x == int(x)) ? x : int(x) + 1 }
        BEGIN { exit !(g == up(t) && s == up(g * 1.2) && b == up(g * 1.5)) }' ||
        fail "$id: medals $gold/$silver/$bronze do not follow the slowest win $slowest (run scripts/medal_times.sh)"

    # The shipped ghost is the 60 fps winning run: as long, to the sample (its course identity the unit tests check).
    shipped="$dir/ghost.ghost"
    [ -f "$shipped" ] || fail "$id: no ghost.ghost (run scripts/medal_times.sh)"
    [ "$(head -c 8 "$shipped")" = "KVGGHOST" ] || fail "$id: ghost.ghost is no ghost file"
    [ "$(stat -c %s "$shipped")" = "$(stat -c %s "$ghost_out")" ] ||
        fail "$id: ghost.ghost is not the simulator's winning run (run scripts/medal_times.sh)"

    picture="$dir/preview.png"
    [ -f "$picture" ] || fail "$id: no preview.png"
    [ "$(head -c 8 "$picture" | od -An -tx1 | tr -d ' \n')" = "89504e470d0a1a0a" ] || fail "$id: preview.png is no PNG"
    echo "$id: idle ball lost; medals $gold/$silver/$bronze for a slowest win of $slowest; picture present"
done
[ "$courses" -ge 6 ] || fail "only $courses course folders in $data/Courses"
echo "PASS"
