#!/usr/bin/env bash
# Sets up the machine, builds, and starts the viewer from its run directory.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QUILLMOOR_RELEASE_DIR:-$root/build-release}
"$root/scripts/setup.sh"
QUILLMOOR_BUILD_DIR="$build" "$root/scripts/build.sh" -DQUILLMOOR_TESTS=OFF -DQUILLMOOR_BENCH=OFF -DCMAKE_BUILD_TYPE=Release -DQUILLMOOR_GL_CHECKS=OFF
cd "$build/run"
# Without a sound device or sound server, OpenAL's device backends only print errors; its null
# backend plays the music silently instead.
if [ -z "${ALSOFT_DRIVERS:-}" ] && [ ! -e /dev/snd ] && [ -z "${PULSE_SERVER:-}" ] &&
   [ ! -S "${XDG_RUNTIME_DIR:-/run/user/$(id -u)}/pulse/native" ]; then
  echo "No sound device found: the music plays silently." >&2
  export ALSOFT_DRIVERS=null
fi
if [ -n "${DISPLAY:-}" ]; then
  exec ./quillmoor
fi
echo "No DISPLAY is set: starting the viewer on a private Xvfb display." >&2
exec "$root/scripts/with-display.sh" ./quillmoor
