#!/usr/bin/env bash
# Runs tavrin-convert in each of its modes, and the window's offscreen GUI
# tests when they are built, under valgrind memcheck. Fails on any invalid
# read or write, use of uninitialised memory, bad free, or definite leak
# (--error-exitcode, --errors-for-leak-kinds=definite). "Possibly lost" and
# "still reachable" blocks are not errors: Qt and fontconfig keep caches for
# the life of the process.
#
#   bash scripts/memcheck.sh [BUILD_DIR]     (default build-memcheck)
#
# The build is configured and brought up to date first: a plain one (no
# sanitizers), with tavrin-convert linked dynamically (-DTAVRIN_STATIC_CONVERT=OFF),
# since valgrind sees the heap only through the shared C library's malloc.
# Logs go to BUILD_DIR/memcheck/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-memcheck}
command -v valgrind >/dev/null || { echo "memcheck: valgrind is missing (Debian package 'valgrind')" >&2; exit 1; }

if [ -f "$build/CMakeCache.txt" ] && grep -q '^TAVRIN_SANITIZE:STRING=.\+' "$build/CMakeCache.txt"; then
  echo "memcheck: $build is a sanitized build; valgrind needs a plain one" >&2
  exit 1
fi
cmake -S "$root" -B "$build" -DTAVRIN_STATIC_CONVERT=OFF >/dev/null
cmake --build "$build" -j"$(nproc)"

logs=$build/memcheck
rm -rf "$logs"
mkdir -p "$logs"
vg=(valgrind --tool=memcheck --error-exitcode=99 --leak-check=full
    --show-leak-kinds=definite --errors-for-leak-kinds=definite
    --track-origins=yes --num-callers=30)
failed=0
count=0

# check NAME STDIN_FILE COMMAND...: one run under memcheck. The program's own
# exit status is kept in the log; only memcheck's verdict (99) fails the run.
check() {
  local name=$1 input=$2
  shift 2
  count=$((count + 1))
  local status=0
  "${vg[@]}" --log-file="$logs/$name.log" "$@" <"$input" >"$logs/$name.out" 2>"$logs/$name.err" || status=$?
  if [ "$status" -eq 99 ]; then
    failed=$((failed + 1))
    echo "memcheck: FAILED $name (see $logs/$name.log)"
    grep -E '^==[0-9]+== (Invalid|Conditional|Use of|Mismatched|.*definitely lost)' "$logs/$name.log" | head -5 || true
  else
    local summary
    summary=$(grep -E 'ERROR SUMMARY' "$logs/$name.log" | tail -n 1 | sed 's/^==[0-9]*== //')
    echo "memcheck: ok $name (exit $status; $summary)"
  fi
}

empty=$logs/empty.in
: >"$empty"
convert=$build/cli/tavrin-convert
if [ -x "$convert" ] && ! readelf -l "$convert" | grep -q 'Requesting program interpreter'; then
  echo "memcheck: $convert is linked statically; valgrind would not see its heap" >&2
  exit 1
fi
if [ -x "$convert" ]; then
  batch=$logs/batch.in
  {
    printf '12\tInches\tCentimetres\n'
    printf '1e308\tKilometres\tMillimetres\n'
    printf 'abc\tMetres\tFeet\r\n'
    printf '5\tBar\tMetres\n'
    printf '\n'
    printf '1\tMetres\n'
    printf -- '-40\tDegrees Celcius\tDegrees Fahrenheit\n'
    printf '1\tInch Pound\tInch pound\n'
    printf '2\tImpGallon\tcmCube\n'
    printf '1\tMilimetres\tFeet\n'
    head -c 1100000 /dev/zero | tr '\0' '7'
    printf '\tMetres\tFeet\n'
    printf '3\tFeet\tYards'
  } >"$batch"
  check convert-one "$empty" "$convert" 12 Inches Centimetres
  check convert-exact "$empty" "$convert" --exact 212 "Degrees Fahrenheit" Kelvin
  check convert-negative "$empty" "$convert" -40 "Degrees Celcius" "Degrees Fahrenheit"
  check convert-fault "$empty" "$convert" 1e308 Kilometres Millimetres
  check convert-unknown "$empty" "$convert" 12 Inchs Centimetres
  check convert-two-categories "$empty" "$convert" 12 Bar Metres
  check convert-not-a-number "$empty" "$convert" abc Metres Feet
  check explain "$empty" "$convert" --explain 3 Feet Yards
  check list "$empty" "$convert" --list
  check list-torque "$empty" "$convert" --list Torque
  check table "$empty" "$convert" --table Length 1e300
  check table-csv "$empty" "$convert" --table Temperature --csv
  check batch "$batch" "$convert" --batch
  check batch-exact "$batch" "$convert" --batch --exact
  check usage-error "$empty" "$convert" --batch --list
  check help "$empty" "$convert" --help
  check version "$empty" "$convert" --version
else
  echo "memcheck: no tavrin-convert in $build; skipped"
fi

gui_tests=$build/tests/gui/tavrin_gui_tests
if [ -x "$gui_tests" ]; then
  # Offscreen, as CTest runs them; one process for all the tests.
  QT_QPA_PLATFORM=offscreen check gui-tests "$empty" "$gui_tests"
else
  echo "memcheck: no tavrin_gui_tests in $build; skipped"
fi

echo "memcheck: $count runs, $failed failed"
[ "$failed" -eq 0 ]
