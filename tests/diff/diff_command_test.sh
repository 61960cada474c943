#!/usr/bin/env bash
# nuv diff as an engineer runs it on what nuv legacy (Generate) and nuv
# build (Save New Flash) wrote from the samples, with the changes made known
# in advance: exit status, the text form, and the JSON form read by python3.
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
nuv diff legacy.bin out.bin > diff.txt 2> diff.err
[ $? = 1 ] || fail "a generated image is not reported different"
[ -s diff.err ] && fail "nuv diff said: $(cat diff.err)"
cat > expected.txt <<'TXT'
Blocks
  03  kernel  resized  0x40000       ->  0x3F000
  03  kernel  content  crc AFA41BB6  ->  crc 5C15F724  from +0x0, 261105 bytes differ
  04  panel   moved    0x58000       ->  0x57000
  04  panel   content  crc 8E50BA09  ->  crc 4498F31D  from +0x1, 2 bytes differ
  05  hwinfo  moved    0x58040       ->  0x57040
  06  romfs   moved    0x58130       ->  0x57130
  06  romfs   resized  0x20000       ->  0x24000
  06  romfs   content  crc 9AE83A22  ->  crc 374AE44A  from +0x0, 146971 bytes differ
Bytes outside the blocks
  0x112   5 bytes    configuration region
  0x374   130 bytes  key record
  0x1075  7 bytes    block header
  0x10A1  11 bytes   block header
  0x10D1  1 byte     block header
  0x1101  11 bytes   block header
Fields
  Panel
    Delay  bit 8+8     30          ->  45
    Model  bit 32+128  "NUV-1000"  ->  "NUV-2000"
  Options
    Owner  bit 16+96   "Factory"   ->  "Shop"
TXT
diff -u expected.txt diff.txt || fail "the text form of the Generate pair differs from the expected"
nuv diff legacy.bin out.bin --json > diff.json
check_json diff.json \
  "[('kernel','resized'),('kernel','content'),('panel','moved'),('panel','content'),('hwinfo','moved'),('romfs','moved'),('romfs','resized'),('romfs','content')]" \
  "['block header','configuration region','key record']" \
  "[('Panel','Delay',30,45),('Panel','Model','NUV-1000','NUV-2000'),('Options','Owner','Factory','Shop')]" ||
  fail "the JSON form of the Generate pair"

# The same fields through --script, from images that have no script beside them.
mkdir elsewhere && cp legacy.bin out.bin elsewhere/
nuv diff elsewhere/legacy.bin elsewhere/out.bin --script LEGACY-V1.0 | sed -n '/^Fields/,$p' > fields.txt
sed -n '/^Fields/,$p' expected.txt | cmp -s - fields.txt || fail "--script read other fields"
nuv diff elsewhere/legacy.bin elsewhere/out.bin --script missing.txt > /dev/null 2> script.err
[ $? = 2 ] || fail "a script that cannot be read is no error"
grep -q 'missing.txt: Please put the correct script file' script.err || fail "no message for the script: $(cat script.err)"
cd ..

# Save New Flash: the exported workbook with three values edited (one of
# them a text) and a larger logo file for the "File_Path" sheet. The
# "Program" sheet is as exported, so the preset block only moves.
image=samples/exchange/new-preset.bin
head -c 5000 /dev/zero | tr '\0' 'L' > logo-big.bin
nuv workbook "$image" -o wb.xls > /dev/null 2>&1 || fail "workbook export"
nuv xls dump wb.xls | sed -e 's/^\(Sys_Config\t4\t2\tnumber\t\)37$/\155/' \
  -e 's/^\(Sys_Config\t7\t2\ttext\t\)EUROPE-WEST$/\1ASIA/' \
  -e 's/^\(IR_FP_Key\t3\t2\tnumber\t\)12$/\115/' > edited.txt
printf 'File_Path\t2\t2\ttext\tlogo-big.bin\n' >> edited.txt
nuv xls make edited.xls < edited.txt || fail "xls make"
nuv build "$image" edited.xls -o built.bin 2>/dev/null || fail "nuv build exited $?"
nuv diff "$image" built.bin --json > built.json
[ $? = 1 ] || fail "a built image is not reported different"
check_json built.json \
  "[('irkeys','content'),('sysconf','content'),('logo','resized'),('logo','content'),('hwinfo','moved'),('toolcfg','moved'),('preset','moved')]" \
  "['DM header']" \
  "[('irkeys','Power',12,15),('sysconf','Volume',37,55),('sysconf','Region','EUROPE-WEST','ASIA')]" ||
  fail "the JSON form of the built pair"
nuv diff "$image" built.bin > built.txt
sed -n '/^Fields/,$p' built.txt | grep -q '^    Volume  *bit 1+7  *37  *->  55$' || fail "text form of the built pair: $(cat built.txt)"

# An identical pair: status 0, nothing printed; the JSON form says so.
cp "$image" copy.bin
out=$(nuv diff "$image" copy.bin 2>&1) && [ -z "$out" ] || fail "an identical pair: $out"
[ "$(nuv diff "$image" copy.bin --json)" = '{"identical":true,"header":[],"blocks":[],"bytes":[],"fields":[]}' ] ||
  fail "the JSON form of an identical pair"

# A refused image: status 2 with its Pre-Parse message.
nuv diff "$image" samples/images/bad-length.bin > refused.txt 2> refused.err
[ $? = 2 ] || fail "a refused image is no error"
[ "$(cat refused.err)" = "nuv: samples/images/bad-length.bin: Wrong binary file!" ] || fail "refused: $(cat refused.err)"
[ -s refused.txt ] && fail "a refused image printed a report"
nuv diff "$image" built.bin --script legacy/LEGACY-V1.0 > /dev/null 2>&1
[ $? = 2 ] || fail "a script file for new-format images is no error"

finish
