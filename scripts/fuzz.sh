#!/usr/bin/env bash
# Builds the fuzz targets (clang's libFuzzer with ASan + UBSan) in build/asan and runs each, seeded from the
# committed assets. Fails on any crash, leak, sanitizer report, oversized allocation or slow input; the
# reproducer is left in build/asan/findings/.
#
# By default every run is the same: a fixed seed and a fixed number of executions per target, from the seeds
# alone (CI). FUZZ_SECONDS=600 scripts/fuzz.sh runs each target for that long instead, on a corpus that grows
# in build/asan/corpus from one such run to the next.
#
# scripts/fuzz.sh run skips the build: scripts/sanitizers.sh build has made the targets.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
# The sanitizer build (the asan preset) holds the fuzz targets.
build=$root/build/asan
seconds=${FUZZ_SECONDS:-}
# A smoke run of 10 to 20 seconds a target, two targets at a time; FUZZ_SECONDS fuzzes for real.
declare -A executions=([picture]=50000 [snapshot]=50000 [wav]=50000 [midi]=40000)

if [ "${1:-}" != run ]; then
  cmake --preset asan >/dev/null || exit 1
  cmake --build "$build" -j "$(nproc)" --target zuvela_fuzz_picture zuvela_fuzz_snapshot zuvela_fuzz_wav \
    zuvela_fuzz_midi zuvela_fuzz_snapshot_seeds || exit 1
fi

seeds=$build/seeds
rm -rf "$seeds"
mkdir -p "$seeds"/{picture,snapshot,wav,midi} "$build/findings"
cp assets/PICTURE/* res/builtin/* "$seeds/picture/"
find assets/SOUND -iname '*.wav' -exec cp {} "$seeds/wav/" \;
cp assets/MUSIC/* "$seeds/midi/"
"$build/zuvela_fuzz_snapshot_seeds" "$seeds/snapshot" assets/PICTURE/0[0-3].GIF assets/PICTURE/KANTICA8.ICO \
  res/builtin/POINTER_ARROW.ICO assets/PICTURE/BOJE1_01.JPG >/dev/null || exit 1

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$root/tests/sanitizers/lsan.supp:print_suppressions=0"

# run_target NAME: one target's run; prints its line and leaves its exit status in $build/fuzz-NAME.status.
run_target() {
  local target=$1 log=$build/fuzz-$1.log corpus budget started status runs
  if [ -n "$seconds" ]; then
    corpus=$build/corpus/$target
    mkdir -p "$corpus"
    budget=(-max_total_time="$seconds")
  else
    corpus=$build/run/$target
    rm -rf "$corpus"
    mkdir -p "$corpus"
    budget=(-seed=1 -runs="${executions[$target]}")
  fi
  started=$SECONDS
  # The largest picture accepted takes under 200 MB to decode; anything near the limit is a guard that failed.
  "$build/zuvela_fuzz_$target" "${budget[@]}" -malloc_limit_mb=512 -rss_limit_mb=1536 -timeout=10 \
    -max_len=262144 -artifact_prefix="$build/findings/$target-" -print_final_stats=1 \
    "$corpus" "$seeds/$target" >"$log" 2>&1
  status=$?
  echo $status >"$build/fuzz-$target.status"
  runs=$(grep -oE '^stat::number_of_executed_units: *[0-9]+' "$log" | grep -oE '[0-9]+$')
  if [ $status -eq 0 ]; then
    echo "fuzz $target: ${runs:-?} executions in $((SECONDS - started))s, no findings"
  else
    echo "fuzz $target: FAILED after ${runs:-?} executions (exit $status), see $log"
    grep -m1 -E 'ERROR|runtime error|Test unit written' "$log"
  fi
}

# Each target runs on one core: as many at once as there are cores.
targets=(picture snapshot wav midi)
rm -f "$build"/fuzz-*.status
for target in "${targets[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$(nproc)" ]; do wait -n; done
  run_target "$target" &
done
wait

passed=0 failed=0
for target in "${targets[@]}"; do
  if [ "$(cat "$build/fuzz-$target.status" 2>/dev/null)" = 0 ]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
  fi
done
echo "fuzz: $passed passed, $failed failed"
[ $failed -eq 0 ]
