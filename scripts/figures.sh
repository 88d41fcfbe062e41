#!/usr/bin/env bash
# Call rates of OrvAcctMan.dll under Wine, for 32 and 64 bits: builds, registers in the build's
# private prefix, runs the timed client loops (bench/windows/com_call_rates.cpp).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-windows.sh
for preset in windows-i686 windows-x86_64; do
  build=build/$preset
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$(nproc)" --target OrvAcctMan com_call_rates >/dev/null
  export WINEPREFIX=$PWD/$build/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  bash tests/windows/make_wine_prefix.sh "$WINEPREFIX"
  wine regsvr32 /s "$(winepath -w "$build/bin/OrvAcctMan.dll")"
  wine "$build/bench/windows/com_call_rates.exe" | tr -d '\r'
  wine regsvr32 /u /s "$(winepath -w "$build/bin/OrvAcctMan.dll")"
done
