#!/usr/bin/env bash
# Installs what building and testing Tavrin needs on Debian 12 or 13, non-interactively,
# and generates the locales the tests use. Safe to run again: it installs only
# what is missing. Runs as root, or through sudo otherwise.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

mapfile -t wanted < <(grep -v -E '^\s*(#|$)' "$here/debian-packages.txt")
missing=()
for pkg in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  as_root env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Comma-decimal locales, to show that no result depends on the process locale.
need_gen=0
for loc in de_DE.UTF-8 fr_FR.UTF-8; do
  short=$(echo "$loc" | sed 's/UTF-8/utf8/')
  if ! locale -a 2>/dev/null | grep -qx "$short"; then
    as_root sed -i "s/^# *\($loc UTF-8\)/\1/" /etc/locale.gen
    grep -q "^$loc UTF-8" /etc/locale.gen || echo "$loc UTF-8" | as_root tee -a /etc/locale.gen >/dev/null
    need_gen=1
  fi
done
if [ "$need_gen" -eq 1 ]; then as_root locale-gen >/dev/null; fi
