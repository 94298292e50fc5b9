#!/usr/bin/env bash
# Installs what is missing, builds the viewer and starts it under Wine on a folder of pictures.
# Usage: scripts/run.sh [folder-or-picture]
# With an X display (DISPLAY set) the viewer opens there and the script returns when it is closed.
# Without one it runs on a virtual display, saves a screenshot of it and closes the viewer.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${LUMENFOLD_BUILD_DIR:-$root/build}"
target="${1:-}"

"$root/scripts/setup.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw64.cmake" >/dev/null
cmake --build "$build" --target Lumenfold.Core Lumenfold.Core.EN

args=()
if [ -n "$target" ]; then
  absolute="$(realpath "$target")"
  args+=("Z:${absolute//\//\\}")
fi
export LUMENFOLD_BUILD="$build"
exec "$build/wine-session.sh" "$root/scripts/run-viewer.sh" "${args[@]}"
