#!/usr/bin/env bash
# nuv verify as a script runs it: its exit codes, its lines and its JSON. A
# sound image, warnings only and an error, as lines and as JSON, are the
# README's examples, compared whole by readme_examples.
set -u
source "$(dirname "$0")/../lib/cli.sh" "$1"

write_samples

# A finding without a block, values as texts, and warnings in JSON: the
# whole document.
nuv verify --json samples/images/new-three-banks.bin > banks.json
[ $? = 0 ] || fail "warnings only did not exit 0 with --json"
cat > expected.json <<'JSON'
{"sound":true,"findings":[{"severity":"warning","check":"bank-header","block":null,"expected":134217728,"found":268435456,"text":"bank 3 gives an SDRAM size of 0x10000000, bank 1 one of 0x8000000; Pre-Parse shows the last bank's"},{"severity":"warning","check":"toolcfg","block":null,"expected":"toolcfg","found":null,"text":"no block name begins with \"toolcfg\": the image carries no tool-config script, so Parse cannot configure it"}]}
JSON
diff expected.json banks.json > /dev/null || fail "the JSON of warnings: $(cat banks.json)"

# A script named with --script instead of the one beside the image: one
# that does not parse, and one that is missing.
nuv verify samples/legacy/legacy.bin --script samples/legacy/hwinfo.txt > other.out
[ $? = 1 ] || fail "a script that is no script did not exit 1"
nuv verify samples/legacy/legacy.bin --script samples/legacy/none >> other.out
[ $? = 1 ] || fail "a named script that is missing did not exit 1"
ncrc='warning crc block 0A "nvram": not checked: its entry carries no CRC ("NCRC") (found "NCRC")'
cat > expected.out <<TXT
$ncrc
error script: the script samples/legacy/hwinfo.txt does not parse: Script file has no valid block information! (expected "a script that parses", found "Script file has no valid block information!")
samples/legacy/legacy.bin: not sound, 1 error, 1 warning
$ncrc
error script: the script samples/legacy/none cannot be opened (expected "samples/legacy/none")
samples/legacy/legacy.bin: not sound, 1 error, 1 warning
TXT
diff -u expected.out other.out || fail "the findings of named scripts"

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
