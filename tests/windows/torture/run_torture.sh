#!/usr/bin/env bash
# usage: run_torture.sh PREFIX PROGRAM: runs the torture client in its own prefix (made when
# missing), without a display, on a fresh scratch drive T:.
set -euo pipefail
prefix=$1 program=$2
export WINEPREFIX=$prefix
unset DISPLAY WAYLAND_DISPLAY
bash "$(dirname "$0")/../make_wine_prefix.sh" "$prefix"
scratch=$prefix/torture-scratch
rm -rf "$scratch"
mkdir -p "$scratch"
ln -sfn "$scratch" "$prefix/dosdevices/t:"
status=0
output=$("${ORVACCT_WINE:-wine}" "$program" 2>&1) || status=$?
echo "$output"
wineserver -k || true
rm -rf "$scratch"
# A process that dies quietly (a closed standard output, an exit from inside the DLL) exits 0.
grep -q '^\[  PASSED  \] 1 test' <<<"$output" || { echo "the torture client did not finish"; exit 1; }
exit "$status"
