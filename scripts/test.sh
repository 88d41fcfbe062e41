#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

jobs=$(nproc)
# Native: warnings as errors, AddressSanitizer and UndefinedBehaviorSanitizer.
cmake --preset sanitize >/dev/null
cmake --build --preset sanitize -j "$jobs"
ctest --preset sanitize -j "$jobs"
# The cipher's decryption against arbitrary input and every size descriptor: libFuzzer with
# clang, one minute for each of the two targets.
bash scripts/fuzz.sh 60

# Windows: OrvAcctMan.dll cross-built for 32 and 64 bits, each tested under Wine in a private
# prefix of its build tree (regsvr32, the C++ client, VBScript and JScript under cscript); the
# 64-bit prefix then holds the 32-bit DLL beside the 64-bit one.
bash scripts/setup-windows.sh
for preset in windows-i686 windows-x86_64; do
  cmake --preset "$preset" -DORVACCT_OTHER_BITNESS_DLL="$PWD/build/windows-i686/bin/OrvAcctMan.dll" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  ctest --preset "$preset"
done

# The release as its users get it: made from clean builds into dist/, then checked (the zip's
# files, register.cmd and the samples in fresh Wine prefixes, the reg-free client, per-user keys,
# the .deb unpacked and run).
SECONDS=0
bash scripts/package.sh
bash tests/package/check_package.sh
echo "packaging and its checks: ${SECONDS} s"
