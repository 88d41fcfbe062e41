# Sourced by the Wine test scripts: a work folder removed at the end, expect (one check, counted),
# win (a path as Windows sees it) and the closing count, whose status is the script's.
set -euo pipefail
wine=${ORVACCT_WINE:-wine}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
checks=0

# expect GOT WANTED WHAT
expect() {
  checks=$((checks + 1))
  if [ "$1" != "$2" ]; then
    echo "FAIL $3: got [$1], expected [$2]"
    failed=$((failed + 1))
  fi
}
win() { winepath -w "$1" 2>/dev/null; }

# The last line: the counts; the status says whether every check passed.
checks_done() {
  echo "$((checks - failed)) passed, $failed failed"
  [ "$failed" = 0 ]
}
