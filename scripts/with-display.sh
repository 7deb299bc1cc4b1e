#!/usr/bin/env bash
# Runs a command with an X display: the current one if DISPLAY is set and answers, otherwise a
# private Xvfb started on the first display number it can claim, stopped afterwards.
set -euo pipefail

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec "$@"
fi

xvfb_pid=""
trap '[ -n "$xvfb_pid" ] && { kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; }' EXIT

started=""
for number in $(seq 90 140); do
  [ -e "/tmp/.X$number-lock" ] && continue
  Xvfb ":$number" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 1 100); do
    # Our own server must be the one answering: another may have claimed the number first.
    if ! kill -0 "$xvfb_pid" 2>/dev/null; then break; fi
    if DISPLAY=":$number" xdpyinfo >/dev/null 2>&1; then
      started=":$number"
      break
    fi
    sleep 0.1
  done
  if [ -n "$started" ] && kill -0 "$xvfb_pid" 2>/dev/null; then break; fi
  kill "$xvfb_pid" 2>/dev/null || true
  wait "$xvfb_pid" 2>/dev/null || true
  xvfb_pid=""
  started=""
done
[ -n "$started" ] || { echo "could not start Xvfb on any display from :90 to :140" >&2; exit 1; }
export DISPLAY="$started"
"$@"
