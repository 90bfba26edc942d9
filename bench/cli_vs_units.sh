#!/usr/bin/env bash
# tavrin-convert against GNU units, whole processes as a user runs them:
#   1. the same 100,000 conversions: `tavrin-convert --batch` reading
#      TAB-separated lines, and one `units -t` process reading "have" and
#      "want" lines in turn from its stdin (terse mode prints one result per pair);
#   2. one conversion: `tavrin-convert 12 Inches Centimetres` against
#      `units -t '12 inch' cm`, timed with hyperfine (or a loop of runs).
# The aim is a batch at least 20 times faster than units and a single
# conversion in at most a quarter of its time.
#
# Needs the Debian packages `units` and `hyperfine`; they are for this script
# only, so they are not in scripts/debian-packages.txt and the script installs
# them with apt-get when missing (as root, or through sudo).
#
# Usage: bench/cli_vs_units.sh [path/to/tavrin-convert]
#   default: ${TAVRIN_BUILD_DIR:-build}/cli/tavrin-convert
set -euo pipefail
export LC_ALL=C  # awk and units print numbers with a point
root=$(cd "$(dirname "$0")/.." && pwd)
convert=${1:-${TAVRIN_BUILD_DIR:-$root/build}/cli/tavrin-convert}
lines=100000
if [ ! -x "$convert" ]; then
  echo "bench: no tavrin-convert at $convert; build first (scripts/build.sh)" >&2
  exit 2
fi

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
missing=()
command -v units >/dev/null || missing+=(units)
command -v hyperfine >/dev/null || missing+=(hyperfine)
if [ ${#missing[@]} -gt 0 ]; then
  echo "bench: installing ${missing[*]}"
  as_root env DEBIAN_FRONTEND=noninteractive apt-get update -qq || true
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" ||
    echo "bench: could not install ${missing[*]}; going on without" >&2
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The same conversions for both programs: each Tavrin pair with the names
# units gives the same quantities (temperature through its function syntax).
awk -v n="$lines" -v tsv="$work/batch.tsv" -v pairs="$work/units.txt" 'BEGIN {
  srand(12345)
  split("Inches|Pounds|Bar|Miles / h|USGallon|Newton metre|Centipoise|Degrees Celcius", from, "|")
  split("Centimetres|Kilograms|Pound/Square Inch|km / h|Litre|Foot Pound|Poise|Degrees Fahrenheit", to, "|")
  split("inch|lb|bar|mph|gallon|N m|centipoise|", have, "|")
  split("cm|kg|psi|km/hr|liter|ft lbf|poise|tempF", want, "|")
  for (i = 0; i < n; i++) {
    k = i % 8 + 1
    v = sprintf("%.4f", rand() * 1200 - 200)  # above absolute zero: units checks it
    printf "%s\t%s\t%s\n", v, from[k], to[k] > tsv
    if (k == 8) printf "tempC(%s)\n%s\n", v, want[k] > pairs
    else printf "%s %s\n%s\n", v, have[k], want[k] > pairs
  }
}'

# Best of three wall-clock runs, in seconds.
best_of_three() {
  local best="" start end t
  for _ in 1 2 3; do
    start=$(date +%s%N)
    "$@" >/dev/null
    end=$(date +%s%N)
    t=$(( end - start ))
    if [ -z "$best" ] || [ "$t" -lt "$best" ]; then best=$t; fi
  done
  awk -v ns="$best" 'BEGIN { printf "%.4f", ns / 1e9 }'
}

run_tavrin_batch() { "$convert" --batch < "$work/batch.tsv"; }
run_units_batch() { units -t < "$work/units.txt"; }

# Both must give one answer per conversion, or the timings compare nothing.
got=$(run_tavrin_batch | wc -l)
[ "$got" -eq "$lines" ] || { echo "bench: tavrin-convert gave $got lines" >&2; exit 1; }

echo "== $lines conversions in one process"
t_tavrin=$(best_of_three run_tavrin_batch)
echo "tavrin-convert --batch : ${t_tavrin} s"
if command -v units >/dev/null; then
  got=$(run_units_batch | wc -l)
  [ "$got" -eq "$lines" ] || { echo "bench: units gave $got lines" >&2; exit 1; }
  t_units=$(best_of_three run_units_batch)
  echo "units -t (stdin pairs) : ${t_units} s"
  awk -v a="$t_units" -v b="$t_tavrin" 'BEGIN { printf "ratio units/tavrin   : %.1fx (aim: at least 20x)\n", a / b }'
else
  echo "units not installed: no comparison"
fi

echo "== one conversion, whole process"
single_tavrin=("$convert" 12 Inches Centimetres)
if command -v hyperfine >/dev/null; then
  cmds=("'$convert' 12 Inches Centimetres")
  command -v units >/dev/null && cmds+=("units -t '12 inch' cm")
  hyperfine -N --warmup 20 --runs 300 --style basic --export-csv "$work/single.csv" "${cmds[@]}" >/dev/null
  # command,mean,stddev,median,user,system,min,max (seconds); read from the
  # right, since the command may hold commas.
  awk -F, 'NR > 1 { printf "%-40s: mean %.3f ms, min %.3f ms\n", NR == 2 ? "tavrin-convert 12 Inches Centimetres" : "units -t \04712 inch\047 cm", $(NF-6) * 1000, $(NF-1) * 1000; m[NR] = $(NF-6); lo[NR] = $(NF-1) }
           END { if (NR >= 3) printf "ratio tavrin/units   : %.2f of the means, %.2f of the minimums (aim: at most 0.25)\n", m[2] / m[3], lo[2] / lo[3] }' "$work/single.csv"
else
  # No hyperfine: a loop of runs, the mean per run.
  runs=300
  loop() { for _ in $(seq "$runs"); do "$@" >/dev/null; done; }
  start=$(date +%s%N); loop "${single_tavrin[@]}"; end=$(date +%s%N)
  a=$(( (end - start) / runs ))
  echo "tavrin-convert 12 Inches Centimetres : $(awk -v ns="$a" 'BEGIN { printf "%.3f", ns / 1e6 }') ms a run"
  if command -v units >/dev/null; then
    start=$(date +%s%N); loop units -t '12 inch' cm; end=$(date +%s%N)
    b=$(( (end - start) / runs ))
    echo "units -t '12 inch' cm               : $(awk -v ns="$b" 'BEGIN { printf "%.3f", ns / 1e6 }') ms a run"
    awk -v a="$a" -v b="$b" 'BEGIN { printf "ratio tavrin/units   : %.2f (aim: at most 0.25)\n", a / b }'
  fi
fi
