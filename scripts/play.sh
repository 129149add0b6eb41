#!/usr/bin/env bash
# Builds the game and starts it from its data folder (needs a display).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build" -j"$(nproc)" --target kelvara-golf
cd "$root/data"
exec "$root/build/kelvara-golf"
