# The setting every command-line test script shares; sourced with the folder
# of the built programs as its argument. It puts that folder first on PATH,
# makes a fresh working folder the current one (removed on exit) with the
# private root inside it, keeps the user's spreadsheet program closed, and
# counts failures for `finish`.
bin=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
export PATH="$bin:$PATH" NUV_SPREADSHEET_APP= NUV_PRIVATE_ROOT="$work/private"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Writes the sample set into ./samples; nothing can be checked without it.
write_samples() { nuv-samples samples > /dev/null || { echo "FAIL: samples"; exit 1; }; }

# Ends the script with the number of failures as its status.
finish() {
  [ "$failures" = 0 ] && echo "all checks passed"
  exit "$failures"
}
