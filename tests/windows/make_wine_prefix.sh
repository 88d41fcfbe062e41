#!/usr/bin/env bash
# Makes the private Wine prefix (64-bit with its 32-bit half) if it is not there yet.
set -euo pipefail
prefix=$1
if [ ! -f "$prefix/system.reg" ]; then
  mkdir -p "$prefix"
  WINEPREFIX=$prefix wineboot --init >/dev/null 2>&1
fi
WINEPREFIX=$prefix wineserver --wait
test -f "$prefix/system.reg"
