#!/usr/bin/env bash
# The conventions every `nuv` command keeps, over all the commands `nuv help`
# lists: --help and -h print the usage on standard output and exit 0; an
# unknown option, a missing argument and one too many are usage errors
# (exit 2); a command line of the command's own shape whose files are
# refused exits 1 with a message (2 for a command whose status answers a
# question, as its --help says). That command line is made from the usage:
# every operand and required option value is "1", a folder where a file is
# expected.
set -u -f
source "$(dirname "$0")/../lib/cli.sh" "$1"
mkdir 1

# expect STATUS DESCRIPTION -- ARGS...: runs nuv ARGS with no input.
expect() {
  local want=$1 what=$2
  shift 3
  nuv "$@" < /dev/null > out 2> err
  local got=$?
  [ "$got" = "$want" ] || fail "$what: exit $got, not $want ($(head -c 300 err))"
}

expect 2 "nuv alone" --
expect 2 "an unknown command" -- no-such-command
expect 0 "nuv help" -- help
commands=$(sed -n 's/^  nuv \(\([a-z]\+ \)*[a-z]\+\) [A-Z].*/\1/p' out)
[ "$(grep -c '^  nuv ' out)" = "$(echo "$commands" | grep -c .)" ] && [ -n "$commands" ] ||
  fail "nuv help lists commands in a form this test does not read"

while read -r -a command; do
  name="${command[*]}"
  for help in --help -h; do
    expect 0 "nuv $name $help" -- "${command[@]}" $help
    grep -q "^usage: nuv $name " out || fail "nuv $name $help printed no usage on stdout"
    [ ! -s err ] || fail "nuv $name $help wrote to stderr: $(cat err)"
  done
  cp out help
  # The usage is what comes before the first blank line of the help.
  usage=$(sed '/^$/q' help | tr '\n' ' ' | sed "s/^usage: nuv $name//; s/\[[^]]*\]\(\.\.\.\)\?//g")
  refused=()
  for word in $usage; do
    case $word in -*) refused+=("$word") ;; *) refused+=(1) ;; esac
  done

  expect 2 "nuv $name --no-such-option" -- "${command[@]}" --no-such-option
  grep -q "^usage: nuv $name " err || fail "nuv $name --no-such-option did not show the usage"
  expect 2 "nuv $name without arguments" -- "${command[@]}"
  expect 2 "nuv $name with an argument too many" -- "${command[@]}" "${refused[@]}" 1
  # A command whose status answers a question fails with 2, as cmp does.
  status=1
  grep -q '^exit status: 1 when' help && status=2
  expect $status "nuv $name ${refused[*]}" -- "${command[@]}" "${refused[@]}"
  grep -q "^nuv: " err || fail "nuv $name ${refused[*]} said nothing"
  [ ! -s out ] || fail "nuv $name ${refused[*]} printed $(cat out)"
done <<< "$commands"

finish
