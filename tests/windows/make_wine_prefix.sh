#!/usr/bin/env bash
# Makes the private Wine prefix (64-bit with its 32-bit half) if it is not there yet. A prefix is
# whole when its system folder holds kernel32.dll: wineboot has been seen to stop early on a busy
# machine, leaving system.reg but an empty system folder, where every later program fails with
# "could not load kernel32.dll". Such a prefix is made again, once, with what wineboot said shown.
set -euo pipefail
prefix=$1
whole() { [ -f "$prefix/system.reg" ] && [ -f "$prefix/drive_c/windows/system32/kernel32.dll" ]; }
for attempt in 1 2; do
  if ! whole; then
    if [ -e "$prefix/system.reg" ]; then
      echo "the Wine prefix $prefix is not whole (attempt $attempt); made again. wineboot said:" >&2
      cat "$prefix.wineboot.log" >&2 2>/dev/null || true
      WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
      rm -rf "$prefix"
    fi
    mkdir -p "$prefix"
    WINEPREFIX=$prefix wineboot --init >"$prefix.wineboot.log" 2>&1 || true
  fi
  WINEPREFIX=$prefix wineserver --wait
  whole && exit 0
done
echo "the Wine prefix $prefix could not be made; wineboot said:" >&2
cat "$prefix.wineboot.log" >&2 || true
exit 1
