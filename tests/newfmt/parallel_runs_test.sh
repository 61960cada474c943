#!/usr/bin/env bash
# Runs of nuv side by side never share a working file: 20 pairs of
# `nuv script` over two images that carry different scripts, all started at
# once, each print their own image's script, and none leaves its working
# folder behind.
set -u
source "$(dirname "$0")/../lib/cli.sh" "$1"

write_samples
images=(samples/toolcfg/new-toolcfg.bin samples/toolcfg/new-toolcfg-unknown-index.bin)
for k in 0 1; do
  nuv script "${images[$k]}" > "alone-$k" || { echo "FAIL: no script in ${images[$k]}"; exit 1; }
done
if cmp -s alone-0 alone-1; then echo "FAIL: the two images carry the same script"; exit 1; fi

for run in $(seq 20); do
  for k in 0 1; do
    (nuv script "${images[$k]}" > "out-$run-$k" 2> "err-$run-$k"; echo $? > "status-$run-$k") &
  done
done
wait
for run in $(seq 20); do
  for k in 0 1; do
    status=$(cat "status-$run-$k")
    if [ "$status" != 0 ] || ! cmp -s "out-$run-$k" "alone-$k"; then
      fail "run $run of ${images[$k]}: exit $status, $(cmp -s "out-$run-$k" "alone-$k" &&
        echo its own script || echo another script), $(cat "err-$run-$k")"
    fi
  done
done
left=$(ls -A private)
[ -z "$left" ] || fail "working folders left behind: $left"

finish
