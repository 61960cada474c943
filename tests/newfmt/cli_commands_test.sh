#!/usr/bin/env bash
# nuv workbook, nuv build, nuv block save and nuv block load as a batch user runs them:
# exit status, messages on standard error, and the bytes of what they write,
# checked against the image itself with python3 (not with the tool's code).
set -u
source "$(dirname "$0")/../lib/cli.sh" "$1"

write_samples
image=samples/exchange/new-preset.bin

# The block's bytes as the image holds them, found through its DM headers.
python3 - "$image" logo 0x24 > expected-logo.bin <<'PY' || fail "python could not find the block"
import struct, sys
data = open(sys.argv[1], 'rb').read()
name, ident = sys.argv[2].encode(), int(sys.argv[3], 0)
magic = b'*^_^*DM(^o^)'
pos = data.find(magic)
while pos >= 0:
    if pos + 28 <= len(data) and data[pos + 26] == 0x30:
        for k in range(data[pos + 24]):
            entry = data[pos + 28 + 48 * k: pos + 76 + 48 * k]
            block_id, offset, size = entry[0], *struct.unpack_from('<II', entry, 4)
            if block_id == ident and entry[24:32].rstrip(b'\0') == name:
                sys.stdout.buffer.write(data[pos + offset: pos + offset + size])
                sys.exit(0)
    pos = data.find(magic, pos + 1)
sys.exit(1)
PY

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

# An exported workbook and the image built from it, for the checks below (the
# blocks of the built image are exchange_interop_tests').
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

finish
