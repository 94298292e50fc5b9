#!/usr/bin/env bash
# Installs what is missing, builds every benchmark program and runs each under Wine, printing its table.
# Usage: scripts/bench.sh
# Benchmarks measure; they pass or fail nothing. Run them on a quiet machine for numbers worth comparing.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${LUMENFOLD_BUILD_DIR:-$root/build}"

"$root/scripts/setup.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw64.cmake" >/dev/null
# Only the benchmark programs and what they link, so that a benchmark does not wait for every test.
mapfile -t targets < <(ninja -C "$build" -t targets all | sed -n 's/^\(bench_[A-Za-z0-9_]*\): phony$/\1/p')
if [ ${#targets[@]} -eq 0 ]; then
  echo "No benchmark programs (bench/*/CMakeLists.txt)." >&2
  exit 1
fi
cmake --build "$build" --target "${targets[@]}"

# One display and one wineserver for all of them; each program prints its own table.
LUMENFOLD_OWN_DISPLAY=1 "$build/wine-session.sh" bash -c '
  status=0
  for program in "$1"/bin/bench_*.exe; do
    echo "== $(basename "$program" .exe)"
    "$1/wine-run.sh" "$program" || { echo "$(basename "$program") failed with status $?" >&2; status=1; }
    echo
  done
  exit $status' bench "$build"
