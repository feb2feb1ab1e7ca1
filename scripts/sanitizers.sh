#!/usr/bin/env bash
# Builds the asan preset (clang, AddressSanitizer + UBSan; the fuzz targets too) and runs the unit tests and the
# tests of the desktop back ends under it, leak checking on. Any sanitizer report fails the run. The tests of the
# whole program (scenarios, package, shipped art) run against the optimised build in scripts/test.sh.
#
# scripts/sanitizers.sh build only builds; scripts/sanitizers.sh run only runs what an earlier build made.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
phase=${1:-all}

if [ "$phase" != run ]; then
  cmake --preset asan >/dev/null || exit 1
  cmake --build --preset asan -j "$(nproc)" || exit 1
  [ "$phase" = build ] && exit 0
fi

# SDL unloads its drivers before exit, which leaves LeakSanitizer unable to name the library of what they
# leaked; a preloaded dlclose() that keeps them loaded lets the suppressions match by library.
cc -shared -fPIC -O2 -o build/asan/libkeep_loaded.so tests/sanitizers/keep_loaded.c || exit 1
export LD_PRELOAD=$root/build/asan/libkeep_loaded.so${LD_PRELOAD:+:$LD_PRELOAD}

export LSAN_OPTIONS="suppressions=$root/tests/sanitizers/lsan.supp:print_suppressions=0"
# AddressSanitizer holds freed memory back for a while to catch its use; the program lets large pictures go and
# decodes them again when chosen, so with the default quarantine (256 MB) the held-back pictures alone would
# pass the damaged-install run's memory bound.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:verify_asan_link_order=0:quarantine_size_mb=64"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

# The long reliability runs go in full in the optimised build; here a slice of each is enough to watch memory use.
export ZUVELA_SOAK_EVENTS=20000 ZUVELA_DAMAGED_ONLY=/PICTURE/GUMICA

log=$root/build/asan/sanitizers.log
# Many of these tests wait on a private X server, cupsd or the audio clock: more of them than cores run at once.
ctest --preset asan -j "${CTEST_PARALLEL_LEVEL:-$(( $(nproc) * 2 ))}" --output-log "$log"
status=$?

passed=$(grep -cE '^ *[0-9]+/[0-9]+ Test +#[0-9]+: .* Passed' "$log")
failed=$(grep -E '^ *[0-9]+/[0-9]+ Test +#[0-9]+: .*\*\*\*' "$log" | grep -cvE 'Skipped|Disabled')
reports=$(grep -cE '^(==[0-9]+==ERROR: |SUMMARY: (Address|Leak|UndefinedBehavior)Sanitizer|.*runtime error: )' "$log")
if [ "$reports" -gt 0 ]; then
  echo "sanitizer reports: $reports (see $log)"
  status=1
fi
echo "sanitizers: $passed passed, $failed failed"
exit $status
