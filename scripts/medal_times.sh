#!/usr/bin/env bash
# Measures the medal times of courses by racing them with the simulator's scripted player, and writes them into the
# [medals] section of each course file (replacing the one there). The rule: gold is the slowest of the four winning
# race-clock times at 10, 30, 60 and 144 frames per second (the game's "You won after" time less the 2 s get-ready),
# rounded up to the next whole second; silver is gold x 1.2 and bronze gold x 1.5, each rounded up to a whole second.
# The 60 fps winning run is kept as the course's shipped ghost, Courses/<id>/ghost.ghost, so it is remade with them.
# usage: scripts/medal_times.sh SIMULATOR DATA_DIR [COURSE_ID...]   (no id: every folder under DATA_DIR/Courses)
set -euo pipefail
if [ $# -lt 2 ]; then
  echo "usage: scripts/medal_times.sh SIMULATOR DATA_DIR [COURSE_ID...]" >&2
  exit 2
fi
simulator="$1"
data="$2"
shift 2
ids=("$@")
if [ ${#ids[@]} -eq 0 ]; then
  for dir in "$data"/Courses/*/; do ids+=("$(basename "$dir")"); done
fi

for id in "${ids[@]}"; do
  file="$data/Courses/$id/course.ini"
  [ -f "$file" ] || { echo "$file: no such course file" >&2; exit 1; }
  slowest=0
  for fps in 10 30 60 144; do
    ghost=()
    [ "$fps" = 60 ] && ghost=(--ghost-out "$data/Courses/$id/ghost.ghost")
    out="$("$simulator" --data "$data" --course "$id" --fps "$fps" --player scripted "${ghost[@]}")"
    won="$(sed -n 's/^You won after \([0-9.]*\) Seconds!$/\1/p' <<<"$out" | head -n 1)"
    if [ -z "$won" ] || ! grep -q '^race 1: won' <<<"$out"; then
      echo "$id: the scripted player does not win at $fps fps; no medal times written" >&2
      exit 1
    fi
    slowest="$(awk -v a="$slowest" -v b="$won" 'BEGIN { c = b - 2; print (c > a ? c : a) }')"
  done
  read -r gold silver bronze < <(awk -v t="$slowest" 'function up(x) { return (x == int(x)) ? x : int(x) + 1 }
    BEGIN { g = up(t); printf "%d %d %d\n", g, up(g * 1.2), up(g * 1.5) }')
  # Everything but the old [medals] section, without trailing blank lines, then the new one.
  kept="$(awk '/^\[/ { skip = ($0 ~ /^\[medals\]/) } !skip' "$file")"
  {
    printf '%s\n\n' "$kept"
    printf '[medals]\n'
    printf '; Race-clock seconds from "Let'"'"'s roll!" to the goal: gold is the slowest winning time of the\n'
    printf '; simulator'"'"'s scripted player at 10, 30, 60 and 144 fps rounded up, silver gold x 1.2 and bronze\n'
    printf '; gold x 1.5, each rounded up (scripts/medal_times.sh).\n'
    printf 'gold = %s\nsilver = %s\nbronze = %s\n' "$gold" "$silver" "$bronze"
  } >"$file.new"
  mv "$file.new" "$file"
  echo "$id: slowest win $slowest s on the race clock; gold $gold, silver $silver, bronze $bronze"
done
