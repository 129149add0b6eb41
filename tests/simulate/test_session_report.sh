# A session of three won races ends with the game's own report, naming the fastest of them.
source "$(dirname "$0")/lib.sh"

simulate --fps 60 --player scripted --races 3
[ "$(grep -c "^You won after" "$out")" = "3" ] || fail "not three wins"
# The fastest win by the game's own messages (two decimals), with the race number the simulator gives each win.
read -r race time <<<"$(paste <(sed -n 's/^race \([0-9]*\): won after.*/\1/p' "$out") \
    <(sed -n 's/^You won after \([0-9.]*\) Seconds!$/\1/p' "$out") |
    awk 'NR == 1 || $2 < best { best = $2; race = $1 } END { print race, best }')"
read -r reported reportedRace <<<"$(sed -n 's/^Your best time was \([0-9.]*\) Seconds in Race #\([0-9]*\)\. $/\1 \2/p' "$out")"
[ "$reportedRace" = "$race" ] || fail "the report names race '$reportedRace', the fastest was race $race"
awk -v a="$reported" -v b="$time" 'BEGIN { exit !(a - b < 0.006 && b - a < 0.006) }' \
    || fail "the report says $reported seconds, the fastest win took $time"
echo "PASS"
