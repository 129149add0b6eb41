#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (build-fuzz/) and fuzzes each reader for the given seconds (default 20),
# starting from its regression corpus in tests/fuzz/<what>/ and its dictionary in tools/fuzz/. One line per target;
# exits non-zero on any crash, leak, timeout or running out of memory, with the input kept in build-fuzz/findings/.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-20}"
if ! [[ "$seconds" =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: scripts/fuzz.sh [seconds per target]" >&2
  exit 2
fi
build="$root/build-fuzz"
targets=(settings command-line course records heightmap image model sound ghost)

echo "== Build the fuzz targets (clang, libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer) =="
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELVARA_FUZZ=ON \
    -DKELVARA_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target "${targets[@]/#/fuzz-}"

# Leaks count: the targets load no GL driver. A crash stops at once, with the stack. An allocation over 512 MiB fails
# as on a machine without the memory: the sanitizer takes seconds over each one, and the readers must cope anyway.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:symbolize=1"
ASAN_OPTIONS+=":allocator_may_return_null=1:max_allocation_size_mb=512"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

echo "== Fuzz each reader for $seconds s =="
failed=0
failures=0
for what in "${targets[@]}"; do
  corpus="$build/corpus/$what"     # grows as the fuzzer finds new paths; the repo keeps only tests/fuzz/
  findings="$build/findings/$what"
  log="$build/logs/$what.log"
  rm -rf "$findings"
  mkdir -p "$corpus" "$findings" "$(dirname "$log")"
  dict=()
  [ -f "$root/tools/fuzz/$what.dict" ] && dict=(-dict="$root/tools/fuzz/$what.dict")
  status=0
  # Up to 10 s for one input counts as a timeout, 2 GiB as running out of memory; the readers' own output is muted.
  "$build/fuzz-$what" "${dict[@]}" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -close_fd_mask=3 \
      -report_slow_units=5 -print_final_stats=1 -artifact_prefix="$findings/" "$corpus" "$root/tests/fuzz/$what" \
      >"$log" 2>&1 || status=$?
  runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)"
  cov="$(grep -o 'cov: [0-9]*' "$log" | tail -1 | tr -dc 0-9)"
  features="$(grep -o 'ft: [0-9]*' "$log" | tail -1 | tr -dc 0-9)"
  # Crashes, leaks, timeouts and memory blow-ups fail; a slow input (over 5 s) is only told: a busy machine makes some.
  found="$(find "$findings" -type f ! -name 'slow-unit-*' | wc -l)"
  slow="$(find "$findings" -type f -name 'slow-unit-*' | wc -l)"
  printf '%-18s %8s runs  cov %5s  ft %6s  crashes %s  slow %s\n' "fuzz-$what" "${runs:-0}" "${cov:-?}" \
      "${features:-?}" "$found" "$slow"
  if [ "$status" -ne 0 ] || [ "$found" -ne 0 ]; then
    failed=1
    failures=$((failures + 1))
    echo "fuzz-$what failed (exit $status); log: $log" >&2
    grep -E '^(==[0-9]+==ERROR|SUMMARY|.*runtime error|fuzz: broken promise|ALARM|.*out-of-memory)' "$log" \
        | head -5 >&2 || true
    # The fuzzer ran with the readers' output muted; one more run of each input says which promise broke.
    while IFS= read -r input; do
      echo "  input: $input (keep it in tests/fuzz/$what/ once fixed)" >&2
      "$build/fuzz-$what" "$input" 2>&1 | grep -E 'fuzz: broken promise|ERROR|runtime error' | head -3 >&2 || true
    done < <(find "$findings" -type f ! -name 'slow-unit-*')
  fi
done
echo "fuzz: $(( ${#targets[@]} - failures )) passed, $failures failed"
exit "$failed"
