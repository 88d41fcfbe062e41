#!/usr/bin/env bash
# Both bitnesses registered in one 64-bit prefix: the 64-bit DLL is registered already; the
# 32-bit one joins it, both cscripts use their own, and unregistering the 32-bit one leaves
# the 64-bit registration whole.
# usage: side_by_side.sh 'Z:\...\32-bit\OrvAcctMan.dll' client.vbs
set -euo pipefail
dll32=$1 client=$2
here=$(dirname "$0")
wine regsvr32 /s "$dll32" || { echo "regsvr32 of the 32-bit DLL failed"; exit 1; }
echo "-- 32-bit client"
ORVACCT_WINE=wine bash "$here/run_script_client.sh" 'C:\windows\syswow64' "$client"
echo "-- 64-bit client"
bash "$here/run_script_client.sh" 'C:\windows\system32' "$client"
wine regsvr32 /u /s "$dll32" || { echo "regsvr32 /u of the 32-bit DLL failed"; exit 1; }
echo "-- the 32-bit keys are gone"
# shellcheck source=identities.sh.in
source "$ORVACCT_IDENTITIES"
for key in "HKCR\\CLSID\\{$class_id}" "HKCR\\Interface\\{$interface_id}" \
  "HKCR\\TypeLib\\{$library_id}\\$library_version\\409\\win32"; do
  if wine 'C:\windows\syswow64\reg.exe' query "$key" >/dev/null 2>&1; then echo "still there: $key"; exit 1; fi
done
echo "-- 64-bit registration after the 32-bit one is gone"
bash "$here/registration_check.sh" present 64 unused
bash "$here/run_script_client.sh" 'C:\windows\system32' "$client"
