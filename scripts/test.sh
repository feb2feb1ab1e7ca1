#!/usr/bin/env bash
# Installs what is missing, builds and runs every test: against the optimised build the checks of the shipped
# art, the art generator's regeneration, the end-to-end scenarios under Xvfb and Wayland, the damaged files, the
# long random run and the package check (as root); under AddressSanitizer and UBSan the unit tests and the
# desktop back ends; and the fuzz targets for a bounded number of runs. The last line sums them up.
set -uo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh || exit 1
echo "packages took $SECONDS s"
phase_started=$SECONDS
# The unit tests are built and run once, in the sanitizer build below; this build runs the tests of the whole
# program against the optimised program.
cmake --preset default -DZUVELA_UNIT_TESTS=OFF || exit 1
cmake --build --preset default -j "$(nproc)" || exit 1
echo "build took $(( SECONDS - phase_started )) s"

log=$(mktemp)
trap 'rm -f "$log"' EXIT
# Independent tests run side by side; most of the end-to-end scenarios' time is spent waiting on the program.
# CTEST_PARALLEL_LEVEL=1 runs them one after another.
# Meanwhile the sanitizer build compiles at the lowest priority, on what the tests leave of the CPU.
asan_log=build/asan-build.log
mkdir -p build
nice -n 19 scripts/sanitizers.sh build >"$asan_log" 2>&1 &
asan_build=$!
ctest_started=$SECONDS
ctest --preset default -j "${CTEST_PARALLEL_LEVEL:-$(( $(nproc) * 2 ))}" 2>&1 | tee "$log"
ctest_status=${PIPESTATUS[0]}
echo "ctest took $(( SECONDS - ctest_started )) s"
total=$(grep -oE 'tests? failed out of [0-9]+' "$log" | grep -oE '[0-9]+$' | tail -n1)
ctest_failed=$(grep -oE '[0-9]+ tests? failed out of' "$log" | grep -oE '^[0-9]+' | tail -n1)
ctest_passed=$(( ${total:-0} - ${ctest_failed:-0} ))

phase_started=$SECONDS
wait "$asan_build"
asan_build_status=$?
echo "sanitizer build finished $(( SECONDS - phase_started )) s after ctest"
if [ "$asan_build_status" -ne 0 ]; then
  tail -n 40 "$asan_log"
  echo "the sanitizer build failed (see $asan_log)"
  sanitizers_status=1 fuzz_status=1
else
  phase_started=$SECONDS
  scripts/sanitizers.sh run 2>&1 | tee "$log"
  sanitizers_status=${PIPESTATUS[0]}
  echo "sanitizers took $(( SECONDS - phase_started )) s"
  read -r san_passed san_failed < <(sed -nE 's/^sanitizers: ([0-9]+) passed, ([0-9]+) failed.*/\1 \2/p' "$log" | tail -n1)
  # After the sanitizer run, not beside it: its recorded audio tests keep time with the clock.
  phase_started=$SECONDS
  scripts/fuzz.sh run 2>&1 | tee "$log"
  fuzz_status=${PIPESTATUS[0]}
  echo "fuzz took $(( SECONDS - phase_started )) s"
  read -r fuzz_passed fuzz_failed < <(sed -nE 's/^fuzz: ([0-9]+) passed, ([0-9]+) failed.*/\1 \2/p' "$log" | tail -n1)
fi

passed=$(( ctest_passed + ${san_passed:-0} + ${fuzz_passed:-0} ))
failed=$(( ${ctest_failed:-0} + ${san_failed:-0} + ${fuzz_failed:-0} ))
status=0
for s in $ctest_status $sanitizers_status $fuzz_status; do [ "$s" -eq 0 ] || status=1; done
[ "$status" -eq 0 ] || [ "$failed" -gt 0 ] || failed=1
echo "tests: $passed passed, $failed failed (in $(( SECONDS / 60 )) min $(( SECONDS % 60 )) s)"
exit $status
