#!/usr/bin/env bash
# nuv diff as an engineer runs it on what nuv legacy (Generate) wrote from
# the samples, with the changes made known in advance: exit status, --script
# and the JSON form read by python3. The text forms of a generated and a
# built pair are the README's examples, compared whole by readme_examples.
set -u
source "$(dirname "$0")/../lib/cli.sh" "$1"

write_samples

# Checks a JSON report against expected changes written as python literals:
# the blocks as (name, change) pairs, the areas of the byte ranges, and the
# fields as (block, name, old, new).
check_json() {
  python3 - "$@" <<'PY'
import json, sys
report = json.load(open(sys.argv[1]))
blocks, areas, fields = (eval(a) for a in sys.argv[2:5])
got_blocks = [(b["name"], b["change"]) for b in report["blocks"]]
got_areas = sorted({r["area"] for r in report["bytes"]})
got_fields = [(f["block"], f["name"], f["old"], f["new"]) for f in report["fields"]]
ok = report["identical"] is False and report["header"] == []
for what, got, want in (("blocks", got_blocks, blocks), ("areas", got_areas, areas),
                        ("fields", got_fields, fields)):
    if got != want:
        print(f"{what}: {got} != {want}")
        ok = False
for b in report["blocks"]:
    for side in ("old", "new"):
        place = b[side]
        if place is not None and not all(isinstance(place[k], int) for k in ("offset", "size", "crc")):
            print(f"not numbers: {b}")
            ok = False
sys.exit(0 if ok else 1)
PY
}

# Generate: fields edited, the kernel shrunk by 4 KiB (the blocks after it
# move down), the romfs grown by 16 KiB, the key record written.
cp -r samples/legacy legacy
cd legacy
nuv legacy legacy.bin --field Panel.Delay=45 --field Panel.Model=NUV-2000 --field Options.Owner=Shop \
  --row kernel=kernel-new.bin --row romfs=romfs-new.bin --key key.pub -o out.bin 2>/dev/null ||
  fail "nuv legacy exited $?"
nuv diff legacy.bin out.bin --json > diff.json
[ $? = 1 ] || fail "a generated image is not reported different"
check_json diff.json \
  "[('kernel','resized'),('kernel','content'),('panel','moved'),('panel','content'),('hwinfo','moved'),('romfs','moved'),('romfs','resized'),('romfs','content')]" \
  "['block header','configuration region','key record']" \
  "[('Panel','Delay',30,45),('Panel','Model','NUV-1000','NUV-2000'),('Options','Owner','Factory','Shop')]" ||
  fail "the JSON form of the Generate pair"

# The same fields through --script, from images that have no script beside them.
mkdir elsewhere && cp legacy.bin out.bin elsewhere/
nuv diff legacy.bin out.bin | sed -n '/^Fields/,$p' > expected.txt
nuv diff elsewhere/legacy.bin elsewhere/out.bin --script LEGACY-V1.0 | sed -n '/^Fields/,$p' > fields.txt
[ -s expected.txt ] && cmp -s expected.txt fields.txt || fail "--script read other fields"
nuv diff elsewhere/legacy.bin elsewhere/out.bin --script missing.txt > /dev/null 2> script.err
[ $? = 2 ] || fail "a script that cannot be read is no error"
grep -q 'missing.txt: Please put the correct script file' script.err || fail "no message for the script: $(cat script.err)"
cd ..

# An identical pair: status 0, nothing printed; the JSON form says so.
image=samples/exchange/new-preset.bin
cp "$image" copy.bin
out=$(nuv diff "$image" copy.bin 2>&1) && [ -z "$out" ] || fail "an identical pair: $out"
[ "$(nuv diff "$image" copy.bin --json)" = '{"identical":true,"header":[],"blocks":[],"bytes":[],"fields":[]}' ] ||
  fail "the JSON form of an identical pair"

# A refused image: status 2 with its Pre-Parse message.
nuv diff "$image" samples/images/bad-length.bin > refused.txt 2> refused.err
[ $? = 2 ] || fail "a refused image is no error"
[ "$(cat refused.err)" = "nuv: samples/images/bad-length.bin: Wrong binary file!" ] || fail "refused: $(cat refused.err)"
[ -s refused.txt ] && fail "a refused image printed a report"
nuv diff "$image" copy.bin --script legacy/LEGACY-V1.0 > /dev/null 2>&1
[ $? = 2 ] || fail "a script file for new-format images is no error"

finish
