#!/usr/bin/env bash
# Installs what is missing, builds, and opens the Tavrin window.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh"
build=${TAVRIN_BUILD_DIR:-$root/build}
if [ -x "$build/ui/tavrin" ]; then
  if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "run: no desktop to open the window on (DISPLAY is not set);" \
         "scripts/screenshot.sh shows it on a virtual screen." >&2
    exit 1
  fi
  exec "$build/ui/tavrin"
fi
echo "run: this build has no window (configured with -DTAVRIN_BUILD_GUI=OFF)." >&2; exit 1
