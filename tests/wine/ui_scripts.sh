#!/usr/bin/env bash
# The UI scripts of tests/ui under Wine: nuv-drive.exe drives the Win32
# backend's real windows (on the X display in DISPLAY, an Xvfb of 800 x 600
# for the tests) and its transcript must be the headless one. Where the
# system's dialog base units are not the framework's 6 x 13, positions
# differ: such a script keeps its Win32 transcript in tests/ui/win32/, which
# may differ from the headless one in positions (@L,T,R,B) and nowhere else,
# and a script that points the mouse at controls keeps a Win32 variant there
# that differs in those points only.
# Usage: ui_scripts.sh LINUX_BIN WINDOWS_BIN [NAME...] (all scripts when no
# NAME is given; the Wine prefix is WINEPREFIX, else the one beside
# WINDOWS_BIN). Wine's screen is as large as the display that the first
# program of its server's life found: start the server on the Xvfb too.
# With KEEP_WORK set, the scripts' folders (transcripts, standard error)
# stay for a look after the run.
set -u
source "$(dirname "$0")/wine_start.sh"
linux=$(cd "$1" && pwd)
windows=$(cd "$2" && pwd)
shift 2
ui=$(cd "$(dirname "$0")/../ui" && pwd)
export WINEPREFIX=${WINEPREFIX:-$(dirname "$windows")/wineprefix}
export WINEDEBUG=-all NUV_SPREADSHEET_APP=
# The spreadsheet application in process, as on Linux: its question before
# a workbook is replaced is the plug-in's box, which the scripts answer.
# (Through COM it is nuvxl.dll's own box; tests/wine/com_flows.sh runs that.)
export NUV_SPREADSHEET_SERVER=builtin
# The sh lines run the Linux programs of the Linux build, as they do there.
export NUV_UNIX_PATH="$linux:/usr/local/bin:/usr/bin:/bin"
work=$(mktemp -d)
trap '[ -n "${KEEP_WORK:-}" ] || rm -rf "$work"' EXIT

names=("$@")
if ((${#names[@]} == 0)); then
  for script in "$ui"/*.nuv; do names+=("$(basename "$script" .nuv)"); done
fi

without_positions() { sed -E 's/ @-?[0-9]+,-?[0-9]+,-?[0-9]+,-?[0-9]+$//' "$1"; }

failures=0
passed=0
for name in "${names[@]}"; do
  dir="$work/$name"
  plugin=nuv.dll
  [[ $name == framework_* ]] && plugin=test_plugin.dll
  # A script whose mouse points depend on where the controls are has a
  # Win32 variant that differs in those points only.
  script="$ui/$name.nuv"
  problem=""
  if [ -f "$ui/win32/$name.nuv" ]; then
    script="$ui/win32/$name.nuv"
    cmp -s <(grep -v -e '^mouse ' -e '^#' "$ui/$name.nuv") <(grep -v -e '^mouse ' -e '^#' "$script") ||
      problem="win32/$name.nuv differs from $name.nuv in more than mouse points;"
  fi
  expected_exit=$(sed -n 's/^# expect-exit: \([0-9]*\).*/\1/p' "$ui/$name.nuv" | head -1)
  drive() {
    rm -rf "$dir" && mkdir -p "$dir" && cp "$ui"/*.py "$dir/"
    (cd "$dir" && timeout 300 wine "$windows/nuv-drive.exe" --plugin "$(winepath -w "$windows/$plugin")" \
      "$(winepath -w "$script")" > raw 2> errors; echo $? > status)
  }
  drive
  if wine_failed_start "$(cat "$dir/status")" "$dir/raw" "$dir/errors"; then
    echo "note: $name: Wine failed a start in nuv-drive.exe (status $(cat "$dir/status")); run again"
    drive
  fi
  tr -d '\r' < "$dir/raw" > "$dir/actual"
  if [ -f "$ui/win32/$name.expected" ]; then
    cmp -s "$ui/win32/$name.expected" "$dir/actual" ||
      problem+="differs from win32/$name.expected: $(diff "$ui/win32/$name.expected" "$dir/actual" | head -8)"
    cmp -s <(without_positions "$ui/$name.expected") <(without_positions "$ui/win32/$name.expected") ||
      problem+=" win32/$name.expected differs from $name.expected in more than positions"
  else
    cmp -s "$ui/$name.expected" "$dir/actual" ||
      problem+="differs from $name.expected: $(diff "$ui/$name.expected" "$dir/actual" | head -8)"
  fi
  [ "$(cat "$dir/status")" = "${expected_exit:-0}" ] ||
    problem+=" exit status $(cat "$dir/status"), expected ${expected_exit:-0}"
  if [ -n "$problem" ]; then
    echo "FAIL: $name: $problem"
    # What it said last, and on its standard error: why it stopped.
    echo "  last lines: $(tail -3 "$dir/actual")"
    [ -s "$dir/errors" ] && echo "  standard error: $(tr -d '\r' < "$dir/errors" | head -10)"
    [ -n "${NUV_UI_KEEP:-}" ] && cp "$dir/actual" "$NUV_UI_KEEP/$name.actual"
    failures=$((failures + 1))
  else
    echo "ok: $name"
    passed=$((passed + 1))
  fi
done
echo "UI scripts under Win32: $passed passed, $failures failed"
((failures == 0))
