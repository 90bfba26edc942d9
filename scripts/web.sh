#!/usr/bin/env bash
# The web build, made and tested on Debian: installs what is missing
# (emscripten, node, Chromium with chromedriver, Debian's selenium for
# /usr/bin/python3, GoogleTest's sources and the header-only libraries the
# cross builds take from Debian: cmake/cross-libraries.cmake),
# builds build-web/ with emscripten, runs its tests through CTest (the test
# programs and tavrin-convert under node, the page in headless Chromium from
# its zip) and leaves build-web/tavrin-1.00-web.zip, the page's folder packed.
#   bash scripts/web.sh
# TAVRIN_WEB_BUILD_DIR chooses another build folder; extra arguments go to
# the CMake configure step. The zip's files are dated SOURCE_DATE_EPOCH, by
# default the time of the last commit, so two builds of one commit give the
# same zip.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TAVRIN_WEB_BUILD_DIR:-$root/build-web}
jobs=$(nproc)
start=$SECONDS

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}

# nodejs may be another distributor's build of node under the same package
# name; an installed one is kept.
web_packages=(
  cmake make python3
  emscripten nodejs
  googletest
  chromium chromium-driver python3-selenium
)
# ...and the header-only libraries, as the build names them.
mapfile -t -O ${#web_packages[@]} web_packages < <(sed -n 's/.*PACKAGE \([a-z0-9][a-z0-9.+-]*\).*/\1/p' "$root/cmake/cross-libraries.cmake")
missing=()
for pkg in "${web_packages[@]}"; do installed "$pkg" || missing+=("$pkg"); done
if [ ${#missing[@]} -gt 0 ]; then
  echo "web: installing ${missing[*]}"
  as_root env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=900 update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=900 install -y -qq \
    --no-install-recommends "${missing[@]}"
fi

# Debian's emscripten finds its node modules through NODE_PATH.
export NODE_PATH=/usr/share/nodejs
if [ -z "${SOURCE_DATE_EPOCH:-}" ] && git -C "$root" rev-parse HEAD >/dev/null 2>&1; then
  SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct)
  export SOURCE_DATE_EPOCH
fi

# Release: the test programs carry no debug information, so each of the
# many starts of tavrin-convert under node reads a small script.
emcmake cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release "$@"
cmake --build "$build" -j"$jobs"
(cd "$build" && ctest --output-on-failure -j"$jobs")
ls -l "$build"/tavrin-*-web.zip
echo "web: done in $((SECONDS - start)) s"
