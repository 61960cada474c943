#!/usr/bin/env bash
# nuvhost.exe walks the sample images through the Win32 backend's windows,
# as scripts/screenshots --windows does for docs/screenshots/windows, into a
# temporary folder: the walk must find no problem (every window shown and
# captured, no picture all one colour) and take every picture that
# docs/screenshots/windows holds but the one of internal mode.
# Usage: screenshot_walk.sh LINUX_BIN WINDOWS_BIN (the Wine prefix is
# WINEPREFIX, else the one beside WINDOWS_BIN; an X display in DISPLAY).
set -u
linux=$(cd "$1" && pwd)
windows=$(cd "$2" && pwd)
docs=$(cd "$(dirname "$0")/../../docs/screenshots/windows" && pwd)
export WINEPREFIX=${WINEPREFIX:-$(dirname "$windows")/wineprefix}
export WINEDEBUG=-all NUV_SPREADSHEET_APP= NUV_SPREADSHEET_SERVER=builtin
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$linux/nuv-samples" "$work/samples" > /dev/null
mkdir "$work/private"
if ! (cd "$work" && NUV_PRIVATE_ROOT=$(winepath -w "$work/private") timeout 180 \
  wine "$windows/nuvhost.exe" --screenshots "$(winepath -w "$work/pictures")" \
  --samples "$(winepath -w "$work/samples")") > "$work/walk.log" 2>&1; then
  tr -d '\r' < "$work/walk.log"
  echo "FAIL: nuvhost.exe --screenshots found problems (above)"
  exit 1
fi
missing=()
for picture in "$docs"/*.png; do
  name=$(basename "$picture")
  [ "$name" = new-format-internal.png ] || [ -f "$work/pictures/$name" ] || missing+=("$name")
done
if ((${#missing[@]})); then
  echo "FAIL: nuvhost.exe --screenshots took no ${missing[*]}"
  exit 1
fi
echo "nuvhost.exe --screenshots: $(find "$work/pictures" -name '*.png' | wc -l) windows pictured, each captured"
