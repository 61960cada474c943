#!/usr/bin/env bash
# nuv workbook, nuv build, nuv block save/load and nuv xls as a batch user
# runs them: exit status, messages on standard error, and the bytes of what
# they write, checked against the image itself by the UI scripts' own model
# of the format (newfmt_check.py), not with the tool's code. xlwt edits the
# workbooks as a person would; LibreOffice saves them again.
set -u
check="$(cd "$(dirname "$0")/../ui" && pwd)/newfmt_check.py"
source "$(dirname "$0")/../lib/cli.sh" "$1"

write_samples
image=samples/exchange/new-preset.bin

/usr/bin/python3 "$check" block "$image" logo expected-logo.bin || fail "python could not find the block"
nuv block save "$image" logo 0x24 -o logo.bin 2> save.err || fail "block save exited $?"
cmp -s logo.bin expected-logo.bin || fail "block save wrote other bytes than the image holds"
grep -q 'The Block have been saved!' save.err || fail "block save did not say it saved"

if nuv block save "$image" nosuch 0x24 -o none.bin 2> miss.err; then fail "a missing block was saved"; fi
grep -q 'Block name or ID can not find in flash!' miss.err || fail "no message for a missing block"
[ ! -e none.bin ] || fail "a missing block left a file"

# Files that are no files: a folder and a named pipe are refused as a file
# that cannot be created or opened, at once (a pipe is never waited on), and
# are left as they were.
mkdir folder.bin
mkfifo pipe.bin
for target in folder.bin pipe.bin; do
  if timeout 20 nuv block save "$image" logo 0x24 -o $target 2> refused.err; then fail "block save onto $target succeeded"; fi
  [ "$(cat refused.err)" = "nuv: error to save block bin  file " ] || fail "block save onto $target said: $(cat refused.err)"
  if timeout 20 nuv block load "$image" logo 0x24 $target -o from.bin 2> refused.err; then fail "block load from $target succeeded"; fi
  [ "$(cat refused.err)" = "nuv: error to open load block bin  file " ] || fail "block load from $target said: $(cat refused.err)"
done
[ -d folder.bin ] && [ -p pipe.bin ] && [ ! -e from.bin ] || fail "a refused target was replaced or written"

# A larger logo: loading it and saving it again gives it back, and the new
# image keeps the loaded image's length.
head -c 3000 /dev/urandom > bigger.bin
nuv block load "$image" logo 0x24 bigger.bin -o loaded.bin 2> load.err || fail "block load exited $?"
[ "$(stat -c %s loaded.bin)" = "$(stat -c %s "$image")" ] || fail "the new image has another length"
nuv block save loaded.bin logo 0x24 -o back.bin 2>/dev/null || fail "saving from the loaded image failed"
cmp -s back.bin bigger.bin || fail "the loaded block did not come back whole"

# A workbook left as it was builds the image it came from, byte for byte,
# and so does one LibreOffice saved again, but that it holds a carriage
# return of a text as a line feed.
samples=(toolcfg/new-toolcfg toolcfg/new-toolcfg-two-banks exchange/new-preset codepage/new-codepage)
for s in "${samples[@]}"; do
  nuv workbook "samples/$s.bin" -o "${s#*/}.xls" > /dev/null 2>&1 || fail "workbook of $s exited $?"
  nuv build "samples/$s.bin" "${s#*/}.xls" -o built.bin 2> /dev/null || fail "build of $s exited $?"
  cmp -s built.bin "samples/$s.bin" || fail "the untouched workbook of $s built another image"
done
if [ -x /usr/bin/soffice ]; then
  /usr/bin/soffice -env:UserInstallation="file://$PWD/profile" --headless --convert-to xls \
    --outdir office ./*.xls > /dev/null 2>&1
  for s in "${samples[@]}"; do
    nuv build "samples/$s.bin" "office/${s#*/}.xls" -o built.bin 2> /dev/null || fail "build of LibreOffice's $s exited $?"
    nuv diff "samples/$s.bin" built.bin > diff.txt && continue
    [ "$s" = codepage/new-codepage ] && grep -q '^  32  texte  content .* from +0xC, 1 byte differs$' diff.txt &&
      [ "$(grep -c '^  [0-9A-F][0-9A-F]  ' diff.txt)" = 1 ] || fail "LibreOffice's workbook of $s: $(cat diff.txt)"
  done
fi

# A workbook edited with xlwt: numbers across bytes, a 64-bit serial, a file
# and "Program" cells; the model works out the whole new image. In the
# code-page sample, "Lautst\xE4rke" of Windows-1252 is the sheet's
# "Lautstärke" (IR_FP_Key row 7).
/usr/bin/python3 "$check" edit new-preset.xls IR_FP_Key:3:2=21 IR_FP_Key:6:2=291 Sys_Config:4:2=80 \
  Sys_Config:5:2=1234 Sys_Config:6:2=123456789012 Sys_Config:10:2=3 \
  File_Path:2:2=samples/exchange/logo-10.bin 'Program:3:2=Канал 7' Program:6:4=42 &&
  nuv build "$image" new-preset.xls -o edited.bin 2> /dev/null &&
  /usr/bin/python3 "$check" check "$image" edited.bin new-preset.xls bits:irkeys:0:0:8:21 \
    bits:irkeys:0:28:12:291 bits:sysconf:4:1:7:80 bits:sysconf:4:9:14:1234 \
    bits:sysconf:4:27:64:123456789012 bits:panel:0:162:4:3 file:logo:samples/exchange/logo-10.bin \
    > /dev/null || fail "the workbook edited with xlwt"
/usr/bin/python3 "$check" edit new-codepage.xls IR_FP_Key:7:2=77 &&
  nuv build samples/codepage/new-codepage.bin new-codepage.xls -o edited.bin 2> /dev/null &&
  /usr/bin/python3 "$check" check samples/codepage/new-codepage.bin edited.bin new-codepage.xls \
    "bits:$(printf 'gro\xDF' | iconv -f latin1 -t utf-8):33:0:8:77" > /dev/null ||
  fail "the code-page sample's edited item"

# nuv workbook names the workbook it wrote; without a preset block the
# lookup's message comes first, then the one about the highlight.
[ "$(nuv workbook "$image" 2> err.txt)" = "$PWD/preset.xls" ] && [ ! -s err.txt ] || fail "workbook without -o: $(cat err.txt)"
nuv workbook samples/toolcfg/new-toolcfg.bin -o plain.xls > /dev/null 2> plain.err || fail "workbook without a preset exited $?"
[ "$(cat plain.err)" = "nuv: ERROR!! can not find block[preset]in dmh!
nuv: The preset table gives no column count (the image has no table, or its table has 0 columns), so rows are not highlighted." ] ||
  fail "workbook without a preset said: $(cat plain.err)"
nuv workbook samples/images/legacy.bin -o legacy.xls > /dev/null 2> legacy.err; [ $? = 1 ] || fail "a legacy image's workbook"
[ "$(cat legacy.err)" = "nuv: A legacy image has no workbook: it carries no tool-config script." ] && [ ! -e legacy.xls ] ||
  fail "a legacy image's workbook said: $(cat legacy.err)"
nuv workbook "$image" -o 2> /dev/null; [ $? = 2 ] || fail "workbook -o without a name"

# nuv build's workbook for the checks below.
nuv workbook "$image" -o wb.xls > /dev/null || fail "workbook export failed"
nuv build "$image" wb.xls -o built.bin 2> build.err || fail "build exited $?"

# An existing file is replaced only with --force; without it, it stays as it was.
printf 'my notes' > notes.xls
if nuv workbook "$image" -o notes.xls > /dev/null 2> exists.err; then fail "a file was replaced without --force"; fi
[ "$(cat notes.xls)" = "my notes" ] || fail "the refused export changed the file"
grep -q -- 'use --force' exists.err || fail "the refusal does not say to use --force"
nuv workbook "$image" -o notes.xls --force > /dev/null || fail "--force did not replace the file"
[ "$(nuv xls dump notes.xls)" = "$(nuv xls dump wb.xls)" ] || fail "--force wrote another workbook"

# A workbook that does not exist: exit 1 and an existing output stays as it was.
cp built.bin keep.bin
if nuv build "$image" missing.xls -o keep.bin 2> nowb.err; then fail "build without a workbook succeeded"; fi
cmp -s keep.bin built.bin || fail "a failed build changed the existing output"
[ -s nowb.err ] || fail "a failed build said nothing"

# A "preset" block that lzma cannot unpack gives no workbook, not an empty
# "Program" sheet.
if nuv workbook samples/exchange/new-preset-not-lzma.bin -o bad.xls 2> bad.err; then
  fail "a preset block that is not lzma data gave a workbook"
fi
grep -q 'error to open output file!' bad.err && grep -q 'Wrong binary file, can not create xls!' bad.err ||
  fail "no message for a preset block that is not lzma data"

# nuv xls make and dump refuse what they cannot read, with its line.
printf 'S\t\t\tsheet\t\nS\t1\t1\tnumber\t1\nS\t1\t300\tnumber\t2\n' | nuv xls make made.xls 2> make.err
[ $? = 1 ] && [ ! -e made.xls ] || fail "xls make took a column 300"
[ "$(cat make.err)" = "nuv: line 3: the column must be a number from 1 to 256" ] || fail "xls make said: $(cat make.err)"
head -c 600 /dev/zero | tr '\0' '\320' > bad.xls
nuv xls dump bad.xls > /dev/null 2> dump.err; [ $? = 1 ] || fail "xls dump read a broken file"
grep -q 'is not a valid Excel 97-2003 workbook' dump.err || fail "xls dump said: $(cat dump.err)"

finish
