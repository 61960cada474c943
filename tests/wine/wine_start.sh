# Sourced by the Wine scripts. Now and then (about one start in several
# hundred, on a busy machine) Wine fails a start that works every other
# time: the program ends with a status before it has printed anything, or
# CreateProcessW refuses a program it then starts ("Internal error"), which
# the tool tries a few times and then reports as a program that could not be
# started; a UI script goes on after such a refusal, so its status can be 0.
# Our programs never fail without a word and never see that error on Windows.
# wine_failed_start STATUS FILE...: whether a run that ended with STATUS and
# printed FILEs is such a start, to be told and made once more.
wine_failed_start() {
  local status=$1
  shift
  grep -qs 'cannot start "[^"]*": Internal error' "$@" && return 0
  [ "$status" != 0 ] || return 1
  local file
  for file in "$@"; do
    [ -s "$file" ] && return 1
  done
  return 0
}
