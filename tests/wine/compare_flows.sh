#!/usr/bin/env bash
# nuv.exe under Wine against the Linux nuv: the same report of every sample
# image, and the same bytes from every flow that writes files (legacy
# generation, workbook export, new image build, block save and load, the
# unpacked script).
# Usage: compare_flows.sh LINUX_BIN WINDOWS_BIN (the Wine prefix is
# WINEPREFIX, else the one beside WINDOWS_BIN).
set -u
source "$(dirname "$0")/flow_helpers.sh" "$1" "$2"

"$linux/nuv-samples" samples >/dev/null || { echo "FAIL: samples"; exit 1; }
mkdir linux windows

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

workbook_and_build_alike

[ "$failures" = 0 ] && echo "nuv.exe: $count sample images and every flow as on Linux"
exit "$((failures > 0))"
