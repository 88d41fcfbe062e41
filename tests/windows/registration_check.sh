#!/usr/bin/env bash
# regsvr32 registers (or unregisters, twice) the DLL; then every key registration owns is there
# (or gone).
# "present" only checks that the keys are there.
# usage: registration_check.sh register|unregister|present 32|64 'Z:\...\OrvAcctMan.dll'
# ORVACCT_IDENTITIES names the identifiers' file the build made (identities.sh.in).
set -euo pipefail
action=$1 bitness=$2 dll=$3
wine=${ORVACCT_WINE:-wine}
if [ "$bitness" = 32 ]; then reg='C:\windows\syswow64\reg.exe'; else reg='C:\windows\system32\reg.exe'; fi

# shellcheck source=identities.sh.in
source "$ORVACCT_IDENTITIES"
keys=(
  "HKCR\\CLSID\\{$class_id}\\InprocServer32"
  'HKCR\OrvAcctMan.clsOrvAcctMan\CLSID'
  "HKCR\\TypeLib\\{$library_id}\\$library_version"
)
for id in "${interface_ids[@]}"; do keys+=("HKCR\\Interface\\{$id}"); done

if [ "$action" = register ]; then
  "$wine" regsvr32 /s "$dll" || { echo "regsvr32 failed: $?"; exit 1; }
  expect=present
elif [ "$action" = present ]; then
  expect=present
else
  # Unregistering what is no longer registered succeeds too.
  for round in first second; do
    "$wine" regsvr32 /u /s "$dll" || { echo "regsvr32 /u failed the $round time: $?"; exit 1; }
  done
  expect=absent
fi

failed=0
for key in "${keys[@]}"; do
  if "$wine" "$reg" query "$key" >/dev/null 2>&1; then found=present; else found=absent; fi
  if [ "$found" != "$expect" ]; then echo "expected $expect: $key"; failed=$((failed + 1)); fi
done
if [ "$expect" = present ]; then
  server=$("$wine" "$reg" query "HKCR\\CLSID\\{$class_id}\\InprocServer32" /v ThreadingModel | tr -d '\r')
  grep -q 'Apartment' <<<"$server" || { echo "ThreadingModel is not Apartment"; failed=$((failed + 1)); }
fi
echo "$((${#keys[@]} - failed)) passed, $failed failed"
exit "$failed"
