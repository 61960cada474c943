#!/usr/bin/env bash
# nuv.exe under Wine against the Linux nuv: the same report of every sample
# image, and the same bytes from every flow that writes files (legacy
# generation, workbook export, new image build, block save and load, the
# unpacked script).
# Usage: compare_flows.sh LINUX_BIN WINDOWS_BIN (the Wine prefix is
# WINEPREFIX, else the one beside WINDOWS_BIN).
set -u
source "$(dirname "$0")/wine_start.sh"
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

"$linux/nuv-samples" samples >/dev/null || { echo "FAIL: samples"; exit 1; }
mkdir linux windows

# Runs `nuv ARGS` with the Linux and the Windows build, each in its own
# folder with its own copy of the samples; output files are named out*.
# Standard output, standard error and the exit status must agree.
run_side() {
  local side=$1 program
  shift
  rm -rf "$side" && mkdir "$side" && cp -r samples/. "$side/"
  if [ "$side" = linux ]; then program=("${linux_nuv[@]}"); else program=(wine "$windows/nuv.exe"); fi
  (cd "$side" && "${program[@]}" "$@" > stdout 2> stderr; echo "$?" > status)
  tr -d '\r' < "$side/stdout" > "$side/stdout.txt" && tr -d '\r' < "$side/stderr" > "$side/stderr.txt"
}
both() {
  run_side linux "$@"
  run_side windows "$@"
  if wine_failed_start "$(cat windows/status)" windows/stdout windows/stderr; then
    echo "note: Wine failed a start in nuv.exe $* (status $(cat windows/status)); run again"
    run_side windows "$@"
  fi
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

# Pre-Parse reports of every sample image.
count=0
while IFS= read -r image; do
  both info "$image"
  both info "$image" --experts --internal
  both info "$image" --json
  count=$((count + 1))
done < <(cd samples && find . -name '*.bin' | sort)
[ "$count" -gt 20 ] || fail "only $count sample images"

# The flows that write files.
both legacy legacy/legacy.bin --field Panel.Delay=45 --field Panel.Mode=10 \
  --field Panel.Model=NUV-2000 --row kernel=legacy/kernel-new.bin \
  --row 'Front panel=legacy/hwinfo.txt' --row romfs=legacy/romfs-new.bin \
  --row Logo=legacy/logo.bin --key legacy/key.pub --patch 0xFFFFF=5A -o out.bin
both legacy legacy/legacy.bin --config legacy/config.bin -o out.bin
both script toolcfg/new-toolcfg.bin
both script exchange/new-preset.bin --check
both block save exchange/new-preset.bin logo 0x24 -o out.bin
both block load exchange/new-preset.bin logo 0x24 exchange/logo-10.bin -o out.bin
both workbook exchange/new-preset-not-lzma.bin -o out.xls
both verify exchange/new-preset.bin
both diff toolcfg/new-toolcfg.bin exchange/new-preset.bin

# A workbook exported by each build, and a new image built by each from the
# other's workbook: the same bytes everywhere.
"${linux_nuv[@]}" workbook samples/exchange/new-preset.bin -o linux.xls > /dev/null ||
  fail "the Linux workbook export failed"
wine "$windows/nuv.exe" workbook samples/exchange/new-preset.bin -o windows.xls > /dev/null ||
  fail "the Windows workbook export failed"
cmp -s linux.xls windows.xls || fail "nuv.exe workbook writes another workbook"
cp windows.xls samples/exported.xls
both build exchange/new-preset.bin exported.xls -o out.bin

[ "$failures" = 0 ] && echo "nuv.exe: $count sample images and every flow as on Linux"
exit "$((failures > 0))"
