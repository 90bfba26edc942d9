#!/usr/bin/env bash
# The window's start-up against Qt windows of the same size, measured from
# outside the programs under Xvfb:
#   - time from the fork to the window mapped, and to its first complete
#     paint (tavrin_startup_probe: it watches the X server for the map, then
#     captures the window's pixels every 2 ms until they stand still for the
#     settle time; "painted" is when they first became what they settled on);
#   - peak RSS over the whole run (/usr/bin/time -f %M), the window being
#     closed by WM_DELETE_WINDOW as its close box would.
# The references (bench/bare_window.cpp): the bare window; the same with one
# line of text, which shows what any window with text pays before it can
# paint (the font database); and a plain window with Tavrin's eleven controls
# in Qt's default look, which shows what Tavrin's own look (artwork, fonts,
# colours) costs over the toolkit. Runs alternate between the four after one
# discarded warm-up run of each (font and shader caches); the medians and
# the ratios of `tavrin` to each reference are printed.
#
#   bash bench/startup.sh [BUILD_DIR] [RUNS]     (default build, 11)
#
# BUILD_DIR must be a plain (unsanitized) build with the window:
#   cmake -S . -B build && cmake --build build -j
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-${TAVRIN_BUILD_DIR:-$root/build}}" && pwd)
runs=${2:-11}
settle_ms=1000

tavrin=$build/ui/tavrin
bare=$build/bench/tavrin_bare_window
probe=$build/bench/tavrin_startup_probe
for f in "$tavrin" "$bare" "$probe"; do
  [ -x "$f" ] || { echo "startup: $f is missing; build the window and bench/ in $build" >&2; exit 1; }
done
[ -x /usr/bin/time ] || { echo "startup: /usr/bin/time is missing (Debian package 'time')" >&2; exit 1; }
command -v Xvfb >/dev/null || { echo "startup: Xvfb is missing (Debian package 'xvfb')" >&2; exit 1; }

work=$(mktemp -d)
xvfb_pid=
cleanup() {
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

# A display number nobody uses.
display=
for n in $(seq 90 130); do
  if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then display=$n; break; fi
done
[ -n "$display" ] || { echo "startup: no free X display number" >&2; exit 1; }
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 200); do [ -S "/tmp/.X11-unix/X$display" ] && break; sleep 0.05; done
[ -S "/tmp/.X11-unix/X$display" ] || { echo "startup: Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; exit 1; }

export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
export DISPLAY=":$display" QT_QPA_PLATFORM=xcb
unset QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_AUTO_SCREEN_SCALE_FACTOR

# One run: prints "painted_ms mapped_ms rss_kib".
measure() {
  local title=$1 line
  shift
  line=$("$probe" "$title" "$settle_ms" /usr/bin/time -f %M -o "$work/rss" "$@")
  local mapped=${line#mapped_ms=}; mapped=${mapped%% *}
  local painted=${line##*painted_ms=}
  echo "$painted $mapped $(tail -n 1 "$work/rss")"
}

# run WHO: one run of a program, by the name its results are filed under.
run() {
  case $1 in
    bare) measure "Tavrin bare" "$bare" ;;
    text) measure "Tavrin bare" "$bare" --with-text ;;
    plain) measure "Tavrin bare" "$bare" --plain-controls ;;
    tavrin) measure "Tavrin" "$tavrin" ;;
  esac
}
programs=(bare text plain tavrin)
for who in "${programs[@]}"; do run "$who" >/dev/null; : >"$work/$who"; done
for i in $(seq "$runs"); do
  for who in "${programs[@]}"; do run "$who" >>"$work/$who"; done
done

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
column_median() { awk -v c="$2" '{ print $c }' "$1" | median; }

echo "runs: $runs each, alternating, after one warm-up run each; settle ${settle_ms} ms"
printf '%-14s %14s %14s %14s\n' "" "painted (ms)" "mapped (ms)" "peak RSS (KiB)"
for who in "${programs[@]}"; do
  printf '%-14s %14s %14s %14s\n' "$who" "$(column_median "$work/$who" 1)" \
    "$(column_median "$work/$who" 2)" "$(column_median "$work/$who" 3)"
done
for c in 1 2 3; do
  name=$(echo "painted mapped rss" | cut -d' ' -f$c)
  t=$(column_median "$work/tavrin" $c)
  awk -v n="$name" -v t="$t" -v b="$(column_median "$work/bare" $c)" \
      -v x="$(column_median "$work/text" $c)" -v p="$(column_median "$work/plain" $c)" \
    'BEGIN { printf "ratio tavrin / reference, %s: bare %.2f, bare with text %.2f, plain controls %.2f\n", n, t / b, t / x, t / p }'
done
echo "all runs (painted mapped rss):"
paste "$work/bare" "$work/text" "$work/plain" "$work/tavrin" | sed 's/^/  bare | text | plain | tavrin: /'
