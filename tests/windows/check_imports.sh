#!/usr/bin/env bash
# The DLL imports system DLLs only: no C++ runtime, libgcc or pthread DLL beside it.
set -euo pipefail
objdump=$1 dll=$2
imports=$("$objdump" -p "$dll" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | sort)
allowed=" advapi32.dll bcrypt.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll oleaut32.dll user32.dll version.dll "
failed=0
for name in $imports; do
  if [[ "$allowed" != *" $name "* ]]; then echo "unexpected import: $name"; failed=$((failed + 1)); fi
done
exports=$("$objdump" -p "$dll" | grep -cE '^\s+\[\s*[0-9]+\] Dll(CanUnloadNow|GetClassObject|RegisterServer|UnregisterServer)$' || true)
[ "$exports" = 4 ] || { echo "expected the four entry points exported by name, found $exports"; failed=$((failed + 1)); }
echo "imports: $(echo $imports)"
echo "$(( $(wc -w <<<"$imports") + 1 - failed )) passed, $failed failed"
exit "$failed"
