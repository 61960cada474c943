# What the scripts that hold nuv.exe under Wine against the Linux nuv share
# (compare_flows.sh, com_flows.sh, package_zip.sh). Sourced as
#   source flow_helpers.sh LINUX_BIN WINDOWS_BIN
# LINUX_BIN holds the Linux nuv and nuv-samples, WINDOWS_BIN nuv.exe (the
# Wine prefix is WINEPREFIX, else the one beside WINDOWS_BIN). Sets $linux,
# $windows, $linux_nuv and $failures, and makes a working folder $work,
# removed at exit, the current folder from then on.
source "$(dirname "${BASH_SOURCE[0]}")/wine_start.sh"
linux=$(cd "$1" && pwd)
windows=$(cd "$2" && pwd)
export WINEPREFIX=${WINEPREFIX:-$(dirname "$windows")/wineprefix}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
# The Linux nuv keeps its working files in a folder of this run; nuv.exe in
# its own under the temporary folder of the Wine prefix.
export WINEDEBUG=-all NUV_SPREADSHEET_APP=
unset NUV_PRIVATE_ROOT
linux_nuv=(env NUV_PRIVATE_ROOT="$work/private" "$linux/nuv")
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# wine_run OUT ERR PROGRAM ARGS...: runs the Windows PROGRAM under Wine, its
# standard output and error into the files OUT and ERR; its exit status. A
# start that Wine failed (see wine_start.sh) is told and made once more.
wine_run() {
  local out=$1 err=$2 status
  shift 2
  wine "$@" > "$out" 2> "$err"
  status=$?
  if wine_failed_start "$status" "$out" "$err"; then
    echo "note: Wine failed a start in $(basename "$1")${2:+ ${*:2}} (status $status); run again" >&2
    wine "$@" > "$out" 2> "$err"
    status=$?
  fi
  return "$status"
}

# Runs `nuv ARGS` with the Linux and the Windows build, each in its own
# folder with its own copy of the folder samples; output files are named
# out*.
run_side() {
  local side=$1
  shift
  rm -rf "$side" && mkdir "$side" && cp -r samples/. "$side/"
  if [ "$side" = linux ]; then
    (cd linux && "${linux_nuv[@]}" "$@" > stdout 2> stderr; echo "$?" > status)
  else
    (cd windows && wine_run stdout stderr "$windows/nuv.exe" "$@"; echo "$?" > status)
  fi
  tr -d '\r' < "$side/stdout" > "$side/stdout.txt" && tr -d '\r' < "$side/stderr" > "$side/stderr.txt"
}

# both ARGS...: standard output, standard error, the exit status and every
# output file of `nuv ARGS` must agree between the two builds.
both() {
  run_side linux "$@"
  run_side windows "$@"
  # Standard error before standard output: what a failed run said comes
  # first in a short log.
  for file in status stderr.txt stdout.txt; do
    cmp -s "linux/$file" "windows/$file" ||
      fail "nuv $* gives another $file: $(diff "linux/$file" "windows/$file" | head -5)"
  done
  for file in linux/out*; do
    [ -e "$file" ] || continue
    cmp -s "$file" "windows/${file#linux/}" || fail "nuv $* writes another ${file#linux/}"
  done
}

# A workbook exported by each build, and a new image built by each from the
# other's workbook: the same bytes everywhere.
workbook_and_build_alike() {
  "${linux_nuv[@]}" workbook samples/exchange/new-preset.bin -o linux.xls > /dev/null ||
    fail "the Linux workbook export failed"
  wine_run /dev/null windows.err "$windows/nuv.exe" workbook samples/exchange/new-preset.bin \
    -o windows.xls || fail "the Windows workbook export failed: $(tr -d '\r' < windows.err)"
  cmp -s linux.xls windows.xls || fail "nuv.exe workbook writes another workbook"
  cp windows.xls samples/exported.xls
  both build exchange/new-preset.bin exported.xls -o out.bin
}
