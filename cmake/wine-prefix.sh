#!/usr/bin/env bash
# Creates a quiet Wine prefix for the tests once: no Mono or Gecko prompts, the dialog fonts
# mapped to DejaVu, a fixed video memory size for Direct3D, unmanaged X11 windows.
set -euo pipefail
prefix="$1"
wine="${LUMENFOLD_WINE:-/usr/lib/wine/wine64}"
mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock 9
[ -f "$prefix/.lumenfold-ready" ] && exit 0

export WINEPREFIX="$prefix" WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
"$wine" wineboot -i >/dev/null 2>&1
reg=$(mktemp --suffix=.reg)
cat >"$reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"Verdana"="DejaVu Sans"
"Tahoma"="DejaVu Sans"
"Segoe UI"="DejaVu Sans"
"MS Shell Dlg"="DejaVu Sans"
"MS Shell Dlg 2"="DejaVu Sans"
"Microsoft Sans Serif"="DejaVu Sans"

[HKEY_CURRENT_USER\Software\Wine\Direct3D]
"VideoMemorySize"="1024"

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000
REG
"$wine" regedit /S "Z:${reg//\//\\}" >/dev/null 2>&1
"$(dirname "$wine")/wineserver" -w
rm -f "$reg"
touch "$prefix/.lumenfold-ready"
