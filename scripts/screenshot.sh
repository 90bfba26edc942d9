#!/usr/bin/env bash
# Opens the Tavrin window on a virtual X screen (Xvfb), optionally types a
# typical conversion into it, and saves a screenshot of the whole screen.
#
#   bash scripts/screenshot.sh [shot.png]
#
# Needs a built tree (scripts/build.sh) and the packages xvfb, xauth and
# imagemagick; xdotool, when installed, drives the typical run
# (Length, Inches to Centimetres, 12, Convert).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TAVRIN_BUILD_DIR:-$root/build}
out=$(realpath -m "${1:-shot.png}")
[ -x "$build/ui/tavrin" ] || { echo "screenshot: $build/ui/tavrin is not built" >&2; exit 2; }

xvfb-run -a -s "-screen 0 640x400x24 -dpi 96" bash -c '
  set -euo pipefail
  "$1" & app=$!
  for _ in $(seq 50); do
    if command -v xdotool >/dev/null; then
      xdotool search --onlyvisible --name "^Tavrin$" >/dev/null 2>&1 && break
    fi
    sleep 0.1
  done
  sleep 0.5
  if command -v xdotool >/dev/null; then
    win=$(xdotool search --onlyvisible --name "^Tavrin$" | head -1)
    xdotool windowactivate --sync "$win" 2>/dev/null || true
    # Choose Length from the list with the arrow key, then type the units.
    xdotool key --window "$win" Down; sleep 0.2
    xdotool key Tab; xdotool type --delay 20 "Inches"
    xdotool key Tab; xdotool type --delay 20 "12"
    xdotool key Tab; xdotool type --delay 20 "Centimetres"
    # Press Convert with the mouse (36, 128 is the middle of the button).
    xdotool mousemove --window "$win" 36 128 click 1; sleep 0.5
  fi
  import -window root "$2"
  kill "$app"
' _ "$build/ui/tavrin" "$out"
echo "screenshot: $out"
