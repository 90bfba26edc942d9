#!/usr/bin/env bash
# Drives the bash completion of tavrin-convert as bash does, through
# COMP_WORDS and COMP_CWORD, against the built program.
#   completion_test.sh COMPLETION_FILE DIR_OF_TAVRIN_CONVERT
set -uo pipefail
source "$1"
PATH=$2:$PATH
failed=0

# expect 'REPLIES|...' WORD...: the replies for completing the last WORD,
# joined with |, must be exactly the first argument.
expect() {
  local want=$1
  shift
  COMP_WORDS=("$@")
  COMP_CWORD=$(($# - 1))
  _tavrin_convert
  local got
  got=$(IFS='|'; printf '%s' "${COMPREPLY[*]}")
  if [ "$got" != "$want" ]; then
    echo "FAIL: completing [${*: -1}] after [${*:1:$#-1}]"
    echo "  want: $want"
    echo "  got:  $got"
    failed=1
  fi
}

# The options, and nothing for the value itself (a negative one included).
expect '--exact|--explain|--batch|--list|--table|--audit|--svg|--csv|--help|--version' tavrin-convert --
expect '--table' tavrin-convert --ta
expect '' tavrin-convert -4
expect '' tavrin-convert ''
# Categories after --list, --table and --audit, escaped or inside the quote typed.
expect 'Length|Area|Volume|Mass|Density|Speed|Torque|Temperature|Dynamic\ Viscosity|Kinematic\ Viscosity|Volumetric\ Liquid\ Flow|Volumetric\ Gas\ Flow|Mass\ Flow|High\ Pressure|Low\ Pressure' \
  tavrin-convert --list ''
expect 'Low\ Pressure' tavrin-convert --table Lo
expect 'Low Pressure' tavrin-convert --table '"Low'
expect 'Low\ Pressure' tavrin-convert --audit Lo
expect '--csv' tavrin-convert --audit --cs
# FROM: the units of every category, with blanks and slashes kept in one word.
expect 'Pound\ /\ ftCube|Pound\ /\ ft.sec' tavrin-convert 12 'Pound\ /\ f'
expect 'Pound / ftCube|Pound / ft.sec' tavrin-convert 12 '"Pound / f'
expect 'Standard\ cubic\ ft/h|Standard\ cubic\ ft/min' tavrin-convert 3 Stan
# TO: only the targets of FROM's category, however FROM was quoted.
expect 'Degrees\ Celcius|Degrees\ Fahrenheit|Kelvin' tavrin-convert -40 '"Degrees Celcius"' ''
expect 'Centimetres' tavrin-convert --exact 12 Inches C
expect 'Newton\ metre|Kilogram\ force\ metre|Foot\ Pound|Inch\ pound' tavrin-convert 1 'Inch\ Pound' ''
expect 'Inch pound' tavrin-convert 1 "'Inch Pound'" "'Inch p"
# An unknown FROM still offers every target; nothing after TO or in a mode
# without units.
expect 'Kilometres|Kilograms|Kilogram\ /\ mCube|Kilogram\ force\ metre|Kilogram\ /\ hr|Kilogram\ /\ s|Kilopascal' \
  tavrin-convert 1 nonsense Kilo
expect '' tavrin-convert 12 Inches Centimetres ''
expect '' tavrin-convert --batch ''
exit "$failed"
