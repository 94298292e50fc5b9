#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test under Wine.
# Usage: scripts/test.sh [extra ctest arguments]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${LUMENFOLD_BUILD_DIR:-$root/build}"

"$root/scripts/setup.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw64.cmake" >/dev/null
cmake --build "$build"
# Tests always get a virtual display of their own, whatever display the caller has. They share it, so
# a test that drives the focus or the cursor can be disturbed by one running beside it: a failed test
# gets one more run, and ctest's log names every first failure.
LUMENFOLD_OWN_DISPLAY=1 "$build/wine-session.sh" \
  ctest --test-dir "$build" -j"$(nproc)" --output-on-failure --timeout 300 --repeat until-pass:2 "$@"
