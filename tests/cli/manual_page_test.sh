#!/usr/bin/env bash
# The manual pages of the build render without a warning from groff, nuv(1)
# has an entry for every command `nuv help` lists, and `cmake --install`
# places the pages under share/man/man1.
# usage: manual_page_test.sh NUV MAN_DIR BUILD_DIR CMAKE
set -u
man_dir=$2 build=$3 cmake=$4
source "$(dirname "$0")/../lib/cli.sh" "$(dirname "$1")"

pages=()
for page in "$man_dir"/*.1; do pages+=("$(basename "$page")"); done
for page in nuv.1 nuv-drive.1; do
  [ -e "$man_dir/$page" ] || fail "the build wrote no $page"
done
for page in "${pages[@]}"; do
  groff -man -Tutf8 -ww -P-cbou "$man_dir/$page" > "$work/out" 2> "$work/err" ||
    fail "groff failed on $page"
  [ ! -s "$work/err" ] || fail "groff warns about $page: $(cat "$work/err")"
  grep -q "^NAME" "$work/out" || fail "$page renders without a NAME section"
done

commands=$(nuv help | grep -c '^  nuv ')
entries=$(grep -c '^\.SS "nuv ' "$man_dir/nuv.1")
[ "$commands" -gt 0 ] && [ "$commands" = "$entries" ] ||
  fail "nuv help lists $commands commands, nuv.1 has $entries entries"

"$cmake" --install "$build" --prefix "$work/prefix" --component manual > /dev/null ||
  fail "cmake --install failed"
for page in "${pages[@]}"; do
  cmp -s "$man_dir/$page" "$work/prefix/share/man/man1/$page" ||
    fail "cmake --install did not place $page under share/man/man1"
done

finish
