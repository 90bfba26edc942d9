#!/usr/bin/env bash
# The Windows builds, made and tested on Debian 12 or 13: installs what is missing
# (MinGW-w64, wine with wine32, GoogleTest's sources), cross-builds 32- and
# 64-bit Windows in build-windows-i686/ and build-windows-x86_64/, runs each
# test suite under wine through ctest, and packs tavrin-1.00-win32.zip and
# tavrin-1.00-win64.zip and their installers (-setup.exe) with CPack.
#   bash scripts/windows.sh              both architectures
#   bash scripts/windows.sh x86_64       one (i686 or x86_64)
# Extra CMake arguments for both: TAVRIN_WINDOWS_CMAKE_ARGS="-D..." in the
# environment. WINEPREFIX, when set, names the wine prefix to use; otherwise a
# scratch one is made and removed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}

# What the cross builds and their tests need, beyond scripts/setup.sh's list.
# wine32 runs the 32-bit programs and is an i386 package.
windows_packages=(
  cmake make
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  googletest
  wine wine64 wine32:i386
  nsis
  xvfb xauth
  # Wine's own fonts draw the window's title bar and close box
  # (scripts/screenshot-windows.sh); xdotool drives that screenshot.
  fonts-wine xdotool
)

# ...and the header-only libraries, as the build names them.
mapfile -t -O ${#windows_packages[@]} windows_packages < <(sed -n 's/.*PACKAGE \([a-z0-9][a-z0-9.+-]*\).*/\1/p' "$root/cmake/cross-libraries.cmake")

install_missing() {
  local missing=() pkg
  for pkg in "${windows_packages[@]}"; do installed "$pkg" || missing+=("$pkg"); done
  [ ${#missing[@]} -eq 0 ] && return
  echo "windows: installing ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    as_root dpkg --add-architecture i386
  fi
  as_root env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=900 update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=900 install -y -qq \
    --no-install-recommends "${missing[@]}"
}

# A wine prefix of our own, set up once before the tests: no Mono or Gecko
# installer (a test program needs neither, and each would ask), no debug
# chatter in the test output.
start_wine() {
  export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  if [ -z "${WINEPREFIX:-}" ]; then
    WINEPREFIX=$(mktemp -d /tmp/wine-tavrin.XXXXXX)
    scratch_prefix=$WINEPREFIX
  fi
  export WINEPREFIX
  echo "windows: wine prefix $WINEPREFIX"
  wineboot -i >/dev/null 2>&1
  # Its desktop process, started without a display, must not serve the tests.
  wineserver -w
}

# Waits for this prefix's wineserver to end (it lingers a few seconds after
# the last program), then removes a scratch prefix.
stop_wine() {
  if [ -n "${WINEPREFIX:-}" ]; then wineserver -w 2>/dev/null || true; fi
  if [ -n "${scratch_prefix:-}" ]; then rm -rf "$scratch_prefix"; fi
}

# Configures, builds, tests and packs one architecture: i686 (win32) or
# x86_64 (win64). ctest runs under xvfb-run, so a program with a window (or
# a console window, tests/windows) has a display; wine's session ends with
# it, so the next one starts on its own display.
windows_build() {
  local arch=$1 start=$SECONDS
  local build=$root/build-windows-$arch
  local toolchain=$root/cmake/toolchains/mingw-w64-$arch.cmake
  echo "==== windows $arch: $build"
  # shellcheck disable=SC2086  # the extra arguments are words
  cmake -S "$root" -B "$build" --toolchain "$toolchain" ${TAVRIN_WINDOWS_CMAKE_ARGS:-}
  cmake --build "$build" -j"$jobs"
  # shellcheck disable=SC2016  # expanded by the inner shell
  (cd "$build" && xvfb-run -a bash -c 'status=0; ctest --output-on-failure -j"$1" || status=$?
                                      wineserver -w; exit $status' ctest "$jobs")
  (cd "$build" && cpack)
  echo "---- windows $arch done in $((SECONDS - start)) s"
}

architectures=("$@")
[ ${#architectures[@]} -eq 0 ] && architectures=(i686 x86_64)
for arch in "${architectures[@]}"; do
  [ -f "$root/cmake/toolchains/mingw-w64-$arch.cmake" ] || { echo "windows: no toolchain for $arch (i686, x86_64)" >&2; exit 2; }
done

install_missing
scratch_prefix=
trap stop_wine EXIT
start_wine
for arch in "${architectures[@]}"; do windows_build "$arch"; done
ls -l "$root"/build-windows-*/tavrin-*-win*.zip "$root"/build-windows-*/tavrin-*-setup.exe
