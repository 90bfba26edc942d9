#!/usr/bin/env bash
# Sets up (scripts/setup.sh), then configures and builds Tavrin out of tree in
# ${TAVRIN_BUILD_DIR:-build}. Extra arguments go to the CMake configure step.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
build=${TAVRIN_BUILD_DIR:-$root/build}
cmake -S "$root" -B "$build" "$@"
cmake --build "$build" -j"$(nproc)"
