#!/usr/bin/env bash
# The new-format flow of nuv.exe through COM under Wine: the stand-in
# spreadsheet application nuvxl.dll registered in the Wine prefix as
# "Excel.Application", reached with CoCreateInstance and IDispatch::Invoke.
# The workbook nuv.exe exports, edited with xlrd and xlwt as a person's
# edits come back, builds the same image as the Linux nuv builds from it.
# Also: nothing is started while the class is not registered, and
# nuvhost.exe --register-spreadsheet enters the user's classes and never
# replaces another spreadsheet application.
# Usage: com_flows.sh LINUX_BIN WINDOWS_BIN (the Wine prefix is WINEPREFIX,
# else the one beside WINDOWS_BIN). Leaves nuvxl.dll registered.
set -u
checker=$(cd "$(dirname "$0")/../ui" && pwd)/newfmt_check.py
source "$(dirname "$0")/flow_helpers.sh" "$1" "$2"
image=samples/exchange/new-preset.bin
# nuv.exe ARGS, its output without carriage returns.
windows_nuv() {
  local status
  wine_run wine.out wine.err "$windows/nuv.exe" "$@"
  status=$?
  tr -d '\r' < wine.err >&2
  tr -d '\r' < wine.out
  return "$status"
}
clsid='{F5979730-DBD7-4DE9-B60C-EB36CC697490}'
# The class id registered under the key CLASSES\Excel.Application.
registered_clsid() {
  wine reg query "$1\\Excel.Application\\CLSID" 2>/dev/null | tr -d '\r' | grep -o '{.*}'
}

"$linux/nuv-samples" samples >/dev/null || { echo "FAIL: samples"; exit 1; }

# Not registered: the export cannot start the application (so nothing is
# reached in process behind COM's back).
wine regsvr32 /s /u "$windows/nuvxl.dll"
windows_nuv workbook "$image" -o none.xls > /dev/null 2> none.err &&
  fail "nuv.exe exported a workbook with no Excel.Application registered"
grep -q "Couldn't start Excel and get Application object." none.err ||
  fail "no Excel.Application: $(cat none.err)"

wine regsvr32 /s "$windows/nuvxl.dll" || fail "regsvr32 nuvxl.dll failed"
[ "$(registered_clsid HKCR)" = "$clsid" ] ||
  fail "regsvr32 did not register Excel.Application"

# Export through COM, as the Linux nuv exports in process.
windows_nuv workbook "$image" -o windows.xls > /dev/null ||
  fail "nuv.exe workbook through COM failed"
"${linux_nuv[@]}" workbook "$image" -o linux.xls > /dev/null || fail "the Linux export failed"
cmp -s windows.xls linux.xls || fail "the workbook exported through COM differs"
# --force replaces a workbook without the application asking anyone: a
# batch run has nobody to answer its box.
printf 'old' > replaced.xls
timeout 120 bash -c "$(declare -f windows_nuv wine_run wine_failed_start); windows=$windows; windows_nuv workbook $image -o replaced.xls --force" > /dev/null ||
  fail "nuv.exe workbook --force did not replace a workbook through COM"
cmp -s replaced.xls linux.xls || fail "nuv.exe workbook --force wrote another workbook"

# A person's edits: two configuration items, a key code, a channel name and
# a logo file of 12 KiB in place of the logo block.
head -c 12288 /dev/zero | tr '\000' '\125' > logo.bin
cp windows.xls edited.xls
/usr/bin/python3 "$checker" edit edited.xls Sys_Config:Volume=42 Sys_Config:Channel=1234 \
  IR_FP_Key:Power=0x55 File_Path:*logo=logo.bin 'Program:1=Канал 9' || fail "the edit failed"

# The build through COM gives the bytes of the Linux build, and those that
# the checker works out on its own.
windows_nuv build "$image" edited.xls -o windows.bin > /dev/null 2> build.err ||
  fail "nuv.exe build through COM failed: $(cat build.err)"
"${linux_nuv[@]}" build "$image" edited.xls -o linux.bin > /dev/null 2>&1 ||
  fail "the Linux build failed"
cmp -s windows.bin linux.bin || fail "the image built through COM differs from the Linux build"
cmp -s windows.bin "$image" && fail "the edits were not applied"
/usr/bin/python3 "$checker" check "$image" windows.bin edited.xls bits:sysconf:4:1:7:42 \
  bits:sysconf:4:9:14:1234 bits:irkeys:0:0:8:0x55 file:logo:logo.bin > check.out ||
  fail "the image built through COM: $(cat check.out)"

# A failing call brings the server's description back: a workbook that
# does not open.
printf 'not a workbook' > broken.xls
windows_nuv build "$image" broken.xls -o broken.bin > /dev/null 2> broken.err &&
  fail "nuv.exe built from a file that is no workbook"
"${linux_nuv[@]}" build "$image" broken.xls -o broken.bin > /dev/null 2> broken-linux.err
[ "$(cat broken.err)" = "$(cat broken-linux.err)" ] ||
  fail "the failure through COM reads: $(cat broken.err); in process: $(cat broken-linux.err)"

# nuvhost.exe --register-spreadsheet: the current user's classes, and never
# over another application's registration.
user_classes='HKCU\Software\Classes'
wine "$windows/nuvhost.exe" --register-spreadsheet > /dev/null || fail "--register-spreadsheet failed"
[ "$(registered_clsid "$user_classes")" = "$clsid" ] ||
  fail "--register-spreadsheet did not register Excel.Application for the user"
wine reg query "$user_classes\\CLSID\\$clsid\\InprocServer32" 2>/dev/null | grep -qi 'nuvxl.dll' ||
  fail "--register-spreadsheet did not name nuvxl.dll"
wine "$windows/nuvhost.exe" --unregister-spreadsheet > /dev/null || fail "--unregister-spreadsheet failed"
wine reg query "$user_classes\\Excel.Application" > /dev/null 2>&1 &&
  fail "--unregister-spreadsheet left Excel.Application"
other='{00024500-0000-0000-C000-000000000046}'
wine reg add "$user_classes\\Excel.Application\\CLSID" /ve /d "$other" /f > /dev/null
wine "$windows/nuvhost.exe" --register-spreadsheet > /dev/null 2> other.err &&
  fail "--register-spreadsheet replaced another application's registration"
[ "$(registered_clsid "$user_classes")" = "$other" ] ||
  fail "another application's registration was changed"
wine reg delete "$user_classes\\Excel.Application" /f > /dev/null

[ "$failures" = 0 ] && echo "nuv.exe through COM: export and build as on Linux; nuvxl.dll registers"
exit "$((failures > 0))"
