#!/usr/bin/env bash
# Sets up the machine, builds, and runs every test: the sanitizer runs (AddressSanitizer with
# UndefinedBehaviorSanitizer over the unit tests, the end-to-end tour, the failure paths and a
# random input storm; ThreadSanitizer over the threaded terrain tests and a flight of the program),
# a bounded fuzzing run of the settings reader, then the whole suite (unit, display under Xvfb,
# end to end). With arguments, only the whole suite runs and the arguments go to ctest, e.g.
#   scripts/test.sh -L unit
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QUILLMOOR_BUILD_DIR:-$root/build}
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
export ALSOFT_DRIVERS=null

if [ $# -eq 0 ]; then
  "$root/scripts/sanitize.sh"
  echo "== Fuzzing the settings reader"
  "$root/scripts/fuzz.sh" "${QUILLMOOR_FUZZ_SECONDS:-60}" 2>&1 | tail -n 3
fi

echo "== Unit, display and end-to-end tests"
"$root/scripts/with-display.sh" ctest --test-dir "$build" --output-on-failure "$@"
