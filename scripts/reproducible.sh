#!/usr/bin/env bash
# Builds the release packages twice from the same sources, in two folders of
# different names and lengths and at two times (the second build starts when
# the first is done), with SOURCE_DATE_EPOCH set to the commit's time, and
# checks that they are the same bytes: the .deb, the Windows zips and the
# Windows installers.
#   bash scripts/reproducible.sh                 all of them
#   bash scripts/reproducible.sh --deb           only the .deb (CI runs this)
#   bash scripts/reproducible.sh --zip --installer [--arch x86_64]
# The sources are the tracked files of this checkout as they are now (a clean
# checkout of a release is that release). Tests are not built. What the .deb
# needs is installed here (scripts/setup.sh); the Windows packages need what
# scripts/windows.sh installs. Keeps its folders when a package differs
# (their place is printed, with diffoscope's account when it is installed),
# removes them otherwise.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)

deb=0 zip=0 installer=0
architectures=()
while [ $# -gt 0 ]; do
  case $1 in
    --deb) deb=1 ;;
    --zip) zip=1 ;;
    --installer) installer=1 ;;
    --arch) architectures+=("$2"); shift ;;
    *) echo "usage: $0 [--deb] [--zip] [--installer] [--arch i686|x86_64]..." >&2; exit 2 ;;
  esac
  shift
done
if [ $((deb + zip + installer)) -eq 0 ]; then deb=1 zip=1 installer=1; fi
[ ${#architectures[@]} -eq 0 ] && architectures=(i686 x86_64)
windows=$((zip || installer))

# One time for every stamp a package holds: the last commit's, or a fixed one
# for a tree outside git. An epoch given in the environment wins.
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct 2>/dev/null || echo 1796688000)
fi
export SOURCE_DATE_EPOCH
echo "reproducible: SOURCE_DATE_EPOCH=$SOURCE_DATE_EPOCH"

if [ "$deb" -eq 1 ]; then bash "$root/scripts/setup.sh"; fi

work=$(mktemp -d /tmp/tavrin-reproducible.XXXXXX)
keep=0
trap '[ "$keep" -eq 1 ] || rm -rf "$work"' EXIT

# The tracked files, as they are in the working tree, into folder $1.
copy_sources() {
  mkdir -p "$1"
  git -C "$root" ls-files -z | tar -C "$root" --null -T - --ignore-failed-read -cf - | tar -C "$1" -xf -
}

# Builds what was asked from the sources in $1 into build folders named $2,
# and puts the packages into $1/out.
build_packages() {
  local tree=$1 name=$2 start=$SECONDS
  mkdir -p "$tree/out"
  if [ "$deb" -eq 1 ]; then
    cmake -S "$tree" -B "$tree/$name" -DTAVRIN_BUILD_TESTS=OFF >/dev/null
    cmake --build "$tree/$name" -j"$jobs" >/dev/null
    (cd "$tree/$name" && cpack -G DEB >/dev/null)
    cp "$tree/$name"/*.deb "$tree/out/"
  fi
  if [ "$windows" -eq 1 ]; then
    local arch build generators=()
    [ "$zip" -eq 1 ] && generators+=(ZIP)
    [ "$installer" -eq 1 ] && generators+=(NSIS)
    for arch in "${architectures[@]}"; do
      build=$tree/$name-windows-$arch
      cmake -S "$tree" -B "$build" --toolchain "$tree/cmake/toolchains/mingw-w64-$arch.cmake" \
        -DTAVRIN_BUILD_TESTS=OFF >/dev/null
      cmake --build "$build" -j"$jobs" >/dev/null
      (cd "$build" && cpack -G "$(IFS=';'; echo "${generators[*]}")" >/dev/null)
      # Each package asked for must be there: a missing one is a failure,
      # not one less to compare.
      [ "$zip" -eq 1 ] && cp "$build"/tavrin-*-win*.zip "$tree/out/"
      [ "$installer" -eq 1 ] && cp "$build"/tavrin-*-setup.exe "$tree/out/"
    done
  fi
  echo "reproducible: built $tree in $((SECONDS - start)) s: $(cd "$tree/out" && echo *)"
}

# A short and a long path, so no length or name of a folder can hide.
first=$work/a
second=$work/second-tree-at-a-longer-path
copy_sources "$first"
copy_sources "$second"
build_packages "$first" build
build_packages "$second" build-again

shopt -s nullglob
packages=("$first"/out/*)
if [ ${#packages[@]} -eq 0 ]; then echo "reproducible: nothing was built" >&2; exit 1; fi
status=0
for package in "${packages[@]}"; do
  name=$(basename "$package")
  other=$second/out/$name
  if [ ! -f "$other" ]; then
    echo "reproducible: $name was built only once" >&2
    status=1
  elif cmp -s "$package" "$other"; then
    echo "reproducible: $name identical, sha256 $(sha256sum <"$package" | cut -c1-64)"
  else
    echo "reproducible: $name DIFFERS ($(cmp "$package" "$other" | head -n1))" >&2
    if command -v diffoscope >/dev/null; then diffoscope "$package" "$other" | head -n 80 >&2 || true; fi
    status=1
  fi
done
if [ "$status" -ne 0 ]; then
  keep=1
  echo "reproducible: the builds are kept in $work" >&2
fi
exit "$status"
