#!/usr/bin/env bash
# The program's sidecars read by another program: exiftool makes a sidecar with a title and a rating,
# the imaging tests (SidecarExport) create one and update that one, and exiftool reads both back:
# every value the program wrote, each once, and the title it had no business touching.
# Usage: exiftool-sidecars.sh <wine-run.sh> <imaging_tests.exe>
set -euo pipefail
wine_run="$1"
tests="$2"
folder="$(mktemp -d)"
trap 'rm -rf "$folder"' EXIT

exiftool -q -o "$folder/updated.xmp" -XMP-dc:Title="Kept title" -XMP-xmp:Rating=1
LUMENFOLD_SIDECAR_EXPORT="Z:${folder//\//\\}" "$wine_run" "$tests" --gtest_filter=SidecarExport.* >/dev/null

failures=0
expect() {
  local file="$1" tag="$2" wanted="$3" got
  got="$(exiftool -a -n -s3 "-$tag" "$folder/$file" | paste -sd '|')"
  if [ "$got" != "$wanted" ]; then
    echo "$file $tag: got '$got', wanted '$wanted'"
    failures=$((failures + 1))
  fi
}
expect created.xmp XMP-xmp:Rating 4
expect created.xmp XMP-microsoft:RatingPercent 75
expect created.xmp XMP-xmp:Label Orange
expect created.xmp XMP-photoshop:Urgency 3
expect created.xmp XMP-xmp:MetadataDate "2024:03:05 14:07:09.00+00:00"
expect updated.xmp XMP-dc:Title "Kept title"
expect updated.xmp XMP-xmp:Rating 5
expect updated.xmp XMP-microsoft:RatingPercent 99
expect updated.xmp XMP-xmp:Label Red
expect updated.xmp XMP-photoshop:Urgency 1
[ "$failures" -eq 0 ] && echo "exiftool reads every value the program wrote"
exit "$failures"
