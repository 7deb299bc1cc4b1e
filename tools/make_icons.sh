#!/usr/bin/env bash
# Makes the application icons, packaging/icons/{48,128,256}.png, from a real frame of the program:
# the valley view rendered by bench/CaptureViews, a square cut from its right half (hills under the
# sky), corners rounded. Run it again when the landscape's look changes and commit the result.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QUILLMOOR_BUILD_DIR:-$root/build}
cmake -S "$root" -B "$build" >/dev/null
cmake --build "$build" --target CaptureViews --parallel "$(nproc)"
frames=$(mktemp -d)
trap 'rm -rf "$frames"' EXIT
(cd "$build/run" && ALSOFT_DRIVERS=null "$root/scripts/with-display.sh" ../bench/CaptureViews "$frames")
for size in 48 128 256; do
  # -strip and no time chunks: the same frame always gives the same file.
  convert "$frames/valley.png" -crop 400x400+400+100 +repage \
    \( -size 400x400 xc:none -fill white -draw "roundrectangle 0,0,399,399,64,64" \) \
    -compose DstIn -composite -filter Lanczos -resize "${size}x${size}" -strip \
    -define png:exclude-chunks=date,time "$root/packaging/icons/$size.png"
done
echo "wrote packaging/icons/{48,128,256}.png"
