#!/usr/bin/env bash
# Sets up the machine, builds, and runs every test (unit, display under Xvfb, end to end).
# Extra arguments go to ctest, e.g. scripts/test.sh -L unit
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QUILLMOOR_BUILD_DIR:-$root/build}
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
export ALSOFT_DRIVERS=null
"$root/scripts/with-display.sh" ctest --test-dir "$build" --output-on-failure "$@"
