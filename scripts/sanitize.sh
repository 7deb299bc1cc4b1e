#!/usr/bin/env bash
# Sanitizer runs: the unit tests under AddressSanitizer with UndefinedBehaviorSanitizer, and the
# threaded terrain and block tests under ThreadSanitizer (on an X display, started if needed).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export ALSOFT_DRIVERS=null

asan_build=${QUILLMOOR_ASAN_DIR:-$root/build-asan}
QUILLMOOR_BUILD_DIR="$asan_build" "$root/scripts/build.sh" -DQUILLMOOR_SANITIZE=address \
  -DQUILLMOOR_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo
echo "== Unit tests under AddressSanitizer and UndefinedBehaviorSanitizer"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir "$asan_build" -L unit --output-on-failure

tsan_build=${QUILLMOOR_TSAN_DIR:-$root/build-tsan}
QUILLMOOR_BUILD_DIR="$tsan_build" "$root/scripts/build.sh" -DQUILLMOOR_SANITIZE=thread \
  -DQUILLMOOR_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo
echo "== Terrain and block thread tests under ThreadSanitizer"
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
  "$root/scripts/with-display.sh" ctest --test-dir "$tsan_build" --output-on-failure \
  -R '^(BlockHandOff|TerrainDisplayTest|TerrainFlightDisplayTest|WorldInGame)\.'
