#!/usr/bin/env bash
# Starts Tavrin.exe under Wine on a virtual X screen (Xvfb), does the typical
# run (Length, Inches to Centimetres, 12, Convert) and saves a screenshot of
# the screen.
#
#   bash scripts/screenshot-windows.sh [shot.png] [path/to/Tavrin.exe]
#
# The program defaults to the x86-64 build (build-windows-x86_64/ui/Tavrin.exe).
# TAVRIN_SCREEN_DPI=144 (or any DPI) makes Wine's screen that dense, to see
# the window keep its designed size on a high-DPI screen.
# TAVRIN_SCREEN_COLOURS=dark gives the desktop the colours of a dark
# high-contrast theme (white text on black), to see the result stay readable.
# Wine never reports high contrast as on, so the window keeps its artwork
# there; gui.win32.Form1 checks the high-contrast look itself.
# Needs wine, xvfb, xauth, xdotool and imagemagick. Wine runs in a scratch
# prefix that is removed afterwards; with no window manager on the virtual
# screen, Wine is told to draw the window's frame and title bar itself.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(realpath -m "${1:-shot-windows.png}")
exe=$(realpath -m "${2:-$root/build-windows-x86_64/ui/Tavrin.exe}")
[ -f "$exe" ] || { echo "screenshot-windows: $exe is not built (bash scripts/windows.sh)" >&2; exit 2; }

prefix=$(mktemp -d /tmp/tavrin-screenshot-wine.XXXXXX)
trap 'WINEPREFIX=$prefix wineserver -k 2>/dev/null || true; rm -rf "$prefix"' EXIT
export WINEPREFIX=$prefix WINEDEBUG=-all

export TAVRIN_SCREEN_DPI=${TAVRIN_SCREEN_DPI:-} TAVRIN_SCREEN_COLOURS=${TAVRIN_SCREEN_COLOURS:-}
xvfb-run -a -n "${TAVRIN_XVFB_DISPLAY:-111}" -s "-screen 0 640x400x24 -dpi 96" bash -c '
  set -euo pipefail
  wineboot -i >/dev/null 2>&1
  # Debian'"'"'s wine does not look in fonts-wine'"'"'s folder; in the prefix'"'"'s
  # Fonts folder it finds Marlett (the glyphs of the close box) and the
  # other fonts Windows has.
  cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  wine reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /d N /f >/dev/null 2>&1
  if [ -n "${TAVRIN_SCREEN_DPI:-}" ]; then
    wine reg add "HKCU\\Control Panel\\Desktop" /v LogPixels /t REG_DWORD /d "$TAVRIN_SCREEN_DPI" /f >/dev/null 2>&1
  fi
  if [ "${TAVRIN_SCREEN_COLOURS:-}" = dark ]; then
    for colour in Window:0 WindowText:255 ButtonFace:0 ButtonText:255 InactiveTitle:0 \
                  ActiveTitle:0 InactiveBorder:0 GrayText:128; do
      level=${colour#*:}
      wine reg add "HKCU\\Control Panel\\Colors" /v "${colour%%:*}" /d "$level $level $level" /f >/dev/null 2>&1
    done
    wineserver -w # the colours are read as the session starts
  fi
  wine "$1" & app=$!
  win=
  for _ in $(seq 100); do
    win=$(xdotool search --onlyvisible --name "^Tavrin$" 2>/dev/null | head -1) && [ -n "$win" ] && break
    sleep 0.1
  done
  [ -n "$win" ] || { echo "screenshot-windows: no window" >&2; exit 1; }
  sleep 0.5
  keys() { xdotool key --window "$win" --delay 60 "$@"; sleep 0.2; }
  typed() { xdotool type --window "$win" --delay 40 "$1"; sleep 0.2; }
  # Choose Length from the list with the arrow key, then type the units and
  # the value; Tab moves through the controls in their order.
  keys Down
  keys Tab; typed Inches
  keys Tab; typed 12
  keys Tab; typed Centimetres
  # Press Convert with its access key, Alt+C, and let the focus rest on the
  # output box so the shot shows it.
  keys alt+c
  keys Tab
  sleep 0.5
  import -window root "$2"
  kill "$app" 2>/dev/null || true
' _ "$exe" "$out"
echo "screenshot-windows: $out"
