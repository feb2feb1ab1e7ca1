#!/usr/bin/env bash
# Builds the fuzz targets (clang's libFuzzer with ASan + UBSan) in build/fuzz and runs each for a bounded
# time, seeded from the committed assets. Fails on any crash, leak, sanitizer report or oversized allocation;
# the reproducer is left in build/fuzz/findings/. Longer runs by hand: FUZZ_SECONDS=600 scripts/fuzz.sh
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
seconds=${FUZZ_SECONDS:-15}
build=$root/build/fuzz

cmake -S . -B "$build" -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_C_COMPILER=clang-14 -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DZUVELA_FUZZ=ON -DZUVELA_TESTS=OFF -DZUVELA_BENCH=OFF -DZUVELA_ARTGEN=OFF >/dev/null || exit 1
cmake --build "$build" -j2 --target zuvela_fuzz_picture zuvela_fuzz_snapshot zuvela_fuzz_wav zuvela_fuzz_midi \
  zuvela_fuzz_snapshot_seeds || exit 1

# Seeds are copied at run time; the corpora grow in build/fuzz/corpus between runs.
corpus=$build/corpus
mkdir -p "$corpus"/{picture,snapshot,wav,midi} "$build/findings"
cp -n assets/PICTURE/* res/builtin/* "$corpus/picture/"
find assets/SOUND -iname '*.wav' -exec cp -n {} "$corpus/wav/" \;
cp -n assets/MUSIC/* "$corpus/midi/"
ls "$corpus/snapshot" | grep -q . ||
  "$build/zuvela_fuzz_snapshot_seeds" "$corpus/snapshot" assets/PICTURE/0[0-3].GIF assets/PICTURE/KANTICA8.ICO \
    res/builtin/POINTER_ARROW.ICO assets/PICTURE/BOJE1_01.JPG >/dev/null

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$root/tests/sanitizers/lsan.supp:print_suppressions=0"

passed=0 failed=0
for target in picture snapshot wav midi; do
  log=$build/fuzz-$target.log
  # The largest picture accepted takes under 200 MB to decode; anything near the limit is a guard that failed.
  "$build/zuvela_fuzz_$target" -max_total_time="$seconds" -malloc_limit_mb=512 -rss_limit_mb=1536 \
    -timeout=10 -max_len=262144 -artifact_prefix="$build/findings/$target-" -print_final_stats=1 \
    "$corpus/$target" >"$log" 2>&1
  status=$?
  runs=$(grep -oE '^stat::number_of_executed_units: *[0-9]+' "$log" | grep -oE '[0-9]+$')
  if [ $status -eq 0 ]; then
    passed=$((passed + 1))
    echo "fuzz $target: ${runs:-?} executions in ${seconds}s, no findings"
  else
    failed=$((failed + 1))
    echo "fuzz $target: FAILED after ${runs:-?} executions (exit $status), see $log"
    grep -m1 -E 'ERROR|runtime error|Test unit written' "$log"
  fi
done
echo "fuzz: $passed passed, $failed failed"
[ $failed -eq 0 ]
