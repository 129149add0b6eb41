# A won race's time outlasts the session: the next run on the same records file starts with it as the record.
source "$(dirname "$0")/lib.sh"

home="$(mktemp -d)"
trap 'rm -f "$out"; rm -rf "$home"' EXIT
records="$home/kelvara-golf/records.ini"

simulate --fps 60 --player scripted --records "$records"
grep -q "^records: no record for this course yet$" "$out" || fail "a fresh records file already holds a record"
grep -q "^You won after " "$out" || fail "race 1 was not won"
# The record is the race clock, which counts from "Let's roll!": two seconds after the reset the win counts from.
won="$(sed -n 's/^You won after \([0-9.]*\) Seconds!$/\1/p' "$out" | head -n 1 | awk '{ printf "%.2f", $1 - 2 }')"
grep -q "^race 1: new record $won Seconds$" "$out" || fail "the first win is no new record of $won Seconds"
[ -f "$records" ] || fail "no records file was written"

simulate --fps 60 --player scripted --records "$records"
grep -q "^records: best $won Seconds, set " "$out" || fail "the second run did not read the record of $won Seconds"
! grep -q "new record" "$out" || fail "an equal time counted as a new record"
echo "PASS"
