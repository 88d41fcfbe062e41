#!/usr/bin/env bash
# regsvr32 registers (or unregisters, twice) the DLL; then every key registration owns is there
# (or gone).
# "present" only checks that the keys are there.
# usage: registration_check.sh register|unregister|present 32|64 'Z:\...\OrvAcctMan.dll'
set -euo pipefail
action=$1 bitness=$2 dll=$3
wine=${ORVACCT_WINE:-wine}
if [ "$bitness" = 32 ]; then reg='C:\windows\syswow64\reg.exe'; else reg='C:\windows\system32\reg.exe'; fi

keys=(
  'HKCR\CLSID\{85391336-700C-4414-9D10-8DB84C045EAA}\InprocServer32'
  'HKCR\OrvAcctMan.clsOrvAcctMan\CLSID'
  'HKCR\TypeLib\{2B7521CF-AD3F-4FED-9777-1FBBD4994E23}\4.6'
  'HKCR\Interface\{1AFEC0CF-D954-4F97-9E52-3B76377ADFAB}'
  'HKCR\Interface\{83168BB1-11E2-4FD9-AF8B-3147CA2D42E2}'
  'HKCR\Interface\{B7C07C26-ADBF-4E5E-84E4-DD55F1A71361}'
  'HKCR\Interface\{3DA81B64-4F54-47D3-9861-19BB365498ED}'
  'HKCR\Interface\{A80962FA-5A56-4A9D-9091-8EC893E4E78D}'
  'HKCR\Interface\{F4CFC0A3-528F-4533-8C4C-12ACB305B966}'
  'HKCR\Interface\{3D795EF2-BBF3-40FE-8990-BE402A115AD7}'
)

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
  server=$("$wine" "$reg" query 'HKCR\CLSID\{85391336-700C-4414-9D10-8DB84C045EAA}\InprocServer32' /v ThreadingModel | tr -d '\r')
  grep -q 'Apartment' <<<"$server" || { echo "ThreadingModel is not Apartment"; failed=$((failed + 1)); }
fi
echo "$((${#keys[@]} - failed)) passed, $failed failed"
exit "$failed"
