#!/usr/bin/env bash
# nuv verify as a script runs it: its exit codes, one line a finding, and its
# JSON read by python3, which finds the block through the DM headers and
# computes its CRC with zlib (inverted), not with the tool's code.
set -u
source "$(dirname "$0")/../lib/cli.sh" "$1"

write_samples

# Exit 0 when nothing is wrong, also with warnings (a block without CRC).
nuv verify samples/toolcfg/new-toolcfg.bin > sound.out 2> sound.err
[ $? = 0 ] || fail "a sound image did not exit 0"
[ "$(cat sound.out)" = "samples/toolcfg/new-toolcfg.bin: sound, 0 errors, 0 warnings" ] ||
  fail "a sound image printed: $(cat sound.out)"
[ ! -s sound.err ] || fail "a sound image wrote to standard error: $(cat sound.err)"
nuv verify samples/legacy/legacy.bin > warned.out
[ $? = 0 ] || fail "an image with warnings only did not exit 0"
grep -q '^warning crc block 0A "nvram": not checked' warned.out || fail "no line for the NCRC block"

# Exit 1 when an error is found; the same finding as a line and as JSON.
image=samples/verify/corrupted-block.bin
nuv verify "$image" > bad.out
[ $? = 1 ] || fail "a corrupted block did not exit 1"
nuv verify --json "$image" > bad.json
[ $? = 1 ] || fail "a corrupted block did not exit 1 with --json"
python3 - "$image" bad.json bad.out <<'PY' || fail "the finding of the corrupted block"
import json, struct, sys, zlib
image, doc, lines = open(sys.argv[1], 'rb').read(), json.load(open(sys.argv[2])), open(sys.argv[3]).read()
magic = image.find(b'*^_^*DM(^o^)')
for k in range(image[magic + 24]):
    entry = image[magic + 28 + 48 * k: magic + 76 + 48 * k]
    if entry[24:32].rstrip(b'\0') == b'logo':
        offset, size, stored = struct.unpack_from('<III', entry, 4)
        data = image[magic + offset: magic + offset + size]
computed = zlib.crc32(data) ^ 0xFFFFFFFF
finding = {"severity": "error", "check": "crc", "block": {"id": 0x24, "name": "logo"},
           "expected": stored, "found": computed,
           "text": f"the CRC-32 of its data is 0x{computed:X}, its entry holds 0x{stored:X}"}
assert doc == {"sound": False, "findings": [finding]}, doc
assert computed != stored
line = (f'error crc block 24 "logo": {finding["text"]} '
        f'(expected 0x{stored:X}, found 0x{computed:X})\n')
assert lines == line + sys.argv[1] + ": not sound, 1 error, 0 warnings\n", lines
PY

# A finding without a block, values as texts, and a warning in JSON.
nuv verify --json samples/images/new-three-banks.bin > banks.json
[ $? = 0 ] || fail "warnings only did not exit 0 with --json"
python3 - banks.json <<'PY' || fail "the JSON of warnings"
import json, sys
doc = json.load(open(sys.argv[1]))
assert doc["sound"] is True, doc
sdram, toolcfg = doc["findings"]
assert sdram["block"] is None and sdram["severity"] == "warning", sdram
assert (sdram["expected"], sdram["found"]) == (0x8000000, 0x10000000), sdram
assert toolcfg["check"] == "toolcfg" and toolcfg["found"] is None, toolcfg
assert toolcfg["expected"] == "toolcfg", toolcfg
PY

# The script beside the image, or one named with --script.
nuv verify samples/legacy/legacy.bin --script samples/legacy/hwinfo.txt > other.out
[ $? = 1 ] || fail "a script that is no script did not exit 1"
grep -q '^error script: the script samples/legacy/hwinfo.txt does not parse' other.out ||
  fail "no finding for a script that does not parse: $(cat other.out)"
nuv verify samples/legacy/legacy.bin --script samples/legacy/none > none.out
[ $? = 1 ] || fail "a named script that is missing did not exit 1"

# Exit 2 when the image is refused (Pre-Parse's message, nothing checked)
# or the arguments are wrong.
nuv verify samples/images/bad-length.bin > refused.out 2> refused.err
[ $? = 2 ] || fail "a refused image did not exit 2"
[ "$(cat refused.err)" = "nuv: Wrong binary file!" ] || fail "refused with: $(cat refused.err)"
[ ! -s refused.out ] || fail "a refused image printed findings"
for args in "" "--json" "a.bin b.bin" "a.bin --script" "a.bin --all"; do
  nuv verify $args > /dev/null 2>&1
  [ $? = 2 ] || fail "nuv verify $args did not exit 2"
done

finish
