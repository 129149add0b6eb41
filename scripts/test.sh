#!/usr/bin/env bash
# Builds and runs every test: once as a normal build, once more with AddressSanitizer and UBSan.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/install-deps.sh"
jobs="$(nproc)"
xvfb=(xvfb-run -a -s "-screen 0 1280x1024x24")

echo "== Build and test =="
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build" -j"$jobs"
(cd "$root/build" && "${xvfb[@]}" ctest --output-on-failure -j"$jobs")

echo "== Build and test with AddressSanitizer and UndefinedBehaviorSanitizer =="
cmake -S "$root" -B "$root/build-asan" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELVARA_SANITIZE=ON >/dev/null
# Only what the tests run: the generator and the other benchmarks were built above and are not run here.
cmake --build "$root/build-asan" -j"$jobs" --target kelvara-golf kelvara-simulate kelvara-unit-tests kelvara-gl-tests \
    bench-sound_check fuzz-replays
# Leak checking stays off: the GL driver's own allocations at exit drown out anything of ours.
export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# The packaging tests stay with the normal build: nobody ships a sanitized game, and packing one builds every tool.
(cd "$root/build-asan" && "${xvfb[@]}" ctest --output-on-failure -j"$jobs" -E '^install\.')

# Each reader fuzzed briefly with clang's libFuzzer, so a new reader is fuzzed from its first day; the corpora in
# tests/fuzz/ already ran above as the fuzz.* tests of both builds.
echo "== Fuzz every reader =="
bash "$root/scripts/fuzz.sh" 20
