#!/usr/bin/env bash
# Builds the settings-reader fuzzer with clang (libFuzzer, AddressSanitizer, UBSan), replays every
# kept regression case, then fuzzes for a bounded time (seconds, default 60). A crash input is
# copied into tests/fuzz/regressions/ so that it is replayed on every later run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
out=${QUILLMOOR_FUZZ_DIR:-$root/build-fuzz}
mkdir -p "$out/corpus" "$out/artifacts"
clang++ -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$root/src" "$root/tests/fuzz/SettingsFuzz.cpp" "$root/src/app/Settings.cpp" -o "$out/settings_fuzz"

regressions=("$root"/tests/fuzz/regressions/*)
if [ -e "${regressions[0]}" ]; then
  "$out/settings_fuzz" -runs=0 "${regressions[@]}"
fi

status=0
"$out/settings_fuzz" -max_total_time="$seconds" -timeout=5 -rss_limit_mb=2048 -max_len=65536 \
  -artifact_prefix="$out/artifacts/" "$out/corpus" "$root/tests/fuzz/seeds" || status=$?
for crash in "$out"/artifacts/*; do
  [ -e "$crash" ] || continue
  cp "$crash" "$root/tests/fuzz/regressions/"
  echo "Kept $(basename "$crash") as a regression case in tests/fuzz/regressions/" >&2
done
exit $status
