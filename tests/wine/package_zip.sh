#!/usr/bin/env bash
# The Windows release as a user takes it: the zip unpacked into a fresh
# folder, gzip.exe and lzma.exe put beside nuv.exe as its README says, and
# the unpacked programs run under Wine. nuv.exe --help and the report of a
# sample image, a workbook exported and a new image built from it give what
# the Linux nuv gives, byte for byte; nuvhost.exe loads the nuv.dll beside
# it. A file the zip lacks is named.
# Usage: package_zip.sh LINUX_BIN WINDOWS_BIN ZIP (WINDOWS_BIN gives the
# gzip.exe and lzma.exe that run the Linux gzip and lzma_alone, see
# unix_program_relay.cpp; the Wine prefix is WINEPREFIX, else the one beside
# WINDOWS_BIN).
set -u
zip=$(cd "$(dirname "$3")" && pwd)/$(basename "$3")
relays=$(cd "$2" && pwd)
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
folder=$unpacked/$(basename "$zip" .zip)
(cd "$unpacked" && cmake -E tar xf "$zip") || { echo "FAIL: $zip cannot be unpacked"; exit 1; }
for file in nuv.dll nuvframework.dll nuvhost.exe nuv.exe nuvxl.dll README.txt; do
  [ -f "$folder/$file" ] || { echo "FAIL: $zip holds no $(basename "$folder")/$file"; exit 1; }
done
for program in gzip.exe lzma.exe; do
  grep -q "$program" "$folder/README.txt" || { echo "FAIL: README.txt does not name $program"; exit 1; }
  ln -s "$relays/$program" "$folder/$program"
done

source "$(dirname "$0")/flow_helpers.sh" "$1" "$folder"
trap 'wine regsvr32 /s /u "$windows/nuvxl.dll"; rm -rf "$work" "$unpacked"' EXIT
"$linux/nuv-samples" samples > /dev/null || { echo "FAIL: samples"; exit 1; }

both --help
both info exchange/new-preset.bin
# The new-format flow through the zip's own stand-in spreadsheet
# application, registered as the README says.
wine regsvr32 /s "$windows/nuvxl.dll" || fail "regsvr32 nuvxl.dll failed"
workbook_and_build_alike

# A DLL that cannot be loaded ends the program before it prints anything.
wine_run host.out host.err "$windows/nuvhost.exe"
status=$?
host=$(tr -d '\r' < host.out)
[ "$host" = $'title NUV\ngui 1\ninit 1' ] ||
  fail "the unpacked nuvhost.exe ended with status $status and printed \"$host\"" \
    "$(tr -d '\r' < host.err)"

[ "$failures" = 0 ] && echo "$(basename "$zip"): nuv.exe and nuvhost.exe as unpacked work as on Linux"
exit "$((failures > 0))"
