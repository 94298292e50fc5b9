#!/usr/bin/env bash
# Inside a Wine session: runs the viewer; on a virtual display takes a screenshot and closes it.
set -euo pipefail
build="$LUMENFOLD_BUILD"
viewer="$build/bin/Lumenfold.Core.exe"

if [ -z "${LUMENFOLD_VIRTUAL_DISPLAY:-}" ]; then
  "$build/wine-run.sh" "$viewer" "$@"
  exit $?
fi

"$build/wine-run.sh" "$viewer" "$@" &
pid=$!
sleep "${LUMENFOLD_SCREENSHOT_DELAY:-6}"
shot="$build/lumenfold-screenshot.png"
import -window root "$shot"
echo "No X display: the viewer ran on a virtual display; screenshot saved to $shot"
# taskkill without /f asks the window to close, as a user would.
"$build/wine-run.sh" taskkill /im Lumenfold.Core.exe >/dev/null 2>&1 || true
for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.2; done
if kill -0 "$pid" 2>/dev/null; then
  echo "The viewer did not close on request" >&2
  kill "$pid" 2>/dev/null || true
  exit 1
fi
wait "$pid"
