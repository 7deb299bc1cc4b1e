#!/usr/bin/env bash
# Sanitizer runs. With AddressSanitizer, UndefinedBehaviorSanitizer and leak checking: the unit
# tests, the end-to-end tour and failure paths against the built program, and a seeded random input
# storm. With ThreadSanitizer: the threaded terrain and block tests and a scripted flight of the
# whole program. Any sanitizer report fails the run. X displays are started where needed.
#   scripts/sanitize.sh                  every run
#   scripts/sanitize.sh storm flight     only the named runs (unit, e2e, storm, threads, flight)
# QUILLMOOR_STORM_SEED replays a storm; QUILLMOOR_STORM_SECONDS bounds it (60 by default).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export ALSOFT_DRIVERS=null
runs=${*:-unit e2e storm threads flight}
wants() { [[ " $runs " == *" $1 "* ]]; }
# Builds everything with one sanitizer (address or thread) into a directory.
sanitized_build() {
  QUILLMOOR_BUILD_DIR="$1" "$root/scripts/build.sh" -DQUILLMOOR_SANITIZE="$2" \
    -DQUILLMOOR_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo
}
# Runs the tests of a build whose names match a pattern, under an X display.
tests_on_display() {
  "$root/scripts/with-display.sh" ctest --test-dir "$1" --output-on-failure -R "$2"
}
# Runs a script of tests/e2e against the program of a build, under its own X display.
against_program() {
  local build=$1 script=$2
  shift 2
  (cd "$build/run" &&
    QUILLMOOR_RUN_DIR="$build/run" QUILLMOOR_CLOSE_WINDOW="$build/tests/close_window" \
    "$root/scripts/with-display.sh" python3 "$root/tests/e2e/$script" "$@")
}

# Reports end the process with a failure status (the end-to-end harness also reads them from the
# program's standard error). Leaks inside system libraries only are listed in the suppressions.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=1
export LSAN_OPTIONS=suppressions=$root/tests/e2e/leaks.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export TSAN_OPTIONS="halt_on_error=1:abort_on_error=1:second_deadlock_stack=1:suppressions=$root/tests/e2e/threads.supp"

asan_build=${QUILLMOOR_ASAN_DIR:-$root/build-asan}
if wants unit || wants e2e || wants storm; then sanitized_build "$asan_build" address; fi
if wants unit; then
  echo "== Unit tests under AddressSanitizer and UndefinedBehaviorSanitizer"
  ctest --test-dir "$asan_build" -L unit --output-on-failure
fi
if wants e2e; then
  echo "== End-to-end tour and failure paths against the program under AddressSanitizer and UndefinedBehaviorSanitizer"
  tests_on_display "$asan_build" '^e2e\.(test_tour|test_failure_paths)$'
fi
if wants storm; then
  echo "== Random input storm against the program under AddressSanitizer and UndefinedBehaviorSanitizer"
  against_program "$asan_build" storm.py --seconds "${QUILLMOOR_STORM_SECONDS:-60}" \
    ${QUILLMOOR_STORM_SEED:+--seed "$QUILLMOOR_STORM_SEED"}
fi

tsan_build=${QUILLMOOR_TSAN_DIR:-$root/build-tsan}
if wants threads || wants flight; then sanitized_build "$tsan_build" thread; fi
if wants threads; then
  echo "== Terrain and block thread tests under ThreadSanitizer"
  # Mesa's rasteriser draws on the calling thread, so every thread left is the program's own: the
  # driver's own threads hand fences to each other in ways the sanitizer cannot see.
  LP_NUM_THREADS=0 tests_on_display "$tsan_build" '^(BlockHandOff|TerrainDisplayTest|TerrainFlightDisplayTest|WorldInGame)\.'
fi
if wants flight; then
  echo "== Scripted flight of the program under ThreadSanitizer"
  # Mesa's rasteriser draws on the calling thread, so every thread left is the program's own.
  LP_NUM_THREADS=0 against_program "$tsan_build" flight.py
fi
