#!/usr/bin/env bash
# Registration for the current user (regsvr32 /n /i:user, the DLL's DllInstall) writes under
# HKCU\Software\Classes exactly the keys and values that per-machine registration wrote, touches
# none of the machine's, and /u /n /i:user removes them all, and succeeds again once they are gone;
# an unknown /i: command is refused and writes nothing. Runs with the DLL registered per machine.
# Wine's COM does not look under HKCU\Software\Classes, so what those keys let a client create is
# not tested here.
# usage: per_user_registration.sh 'Z:\...\OrvAcctMan.dll'
set -euo pipefail
dll=$1
wine=${ORVACCT_WINE:-wine}
keys="bash $(dirname "$0")/class_keys.sh $WINEPREFIX"
work=$(mktemp -d)
# Whatever happens, no per-user keys are left for the next run.
trap '"$wine" regsvr32 /s /u /n /i:user "$dll" >/dev/null 2>&1; rm -rf "$work"' EXIT
fail() {
  echo "$*"
  exit 1
}

$keys machine >"$work/machine.txt"
[ -s "$work/machine.txt" ] || fail "the DLL is not registered per machine"
[ -z "$($keys user)" ] || fail "per-user keys exist before the test"

"$wine" regsvr32 /s /n /i:user "$dll" || fail "regsvr32 /n /i:user failed: $?"
$keys user >"$work/user.txt"
$keys machine merged | diff - "$work/user.txt" || fail "per-user keys differ from the per-machine ones (< machine, > user)"
$keys machine | diff "$work/machine.txt" - || fail "per-user registration changed the machine's keys"
echo "per user: $(wc -l <"$work/user.txt") keys and values, the machine's"

for round in first second; do
  "$wine" regsvr32 /s /u /n /i:user "$dll" || fail "regsvr32 /u /n /i:user failed the $round time: $?"
  [ -z "$($keys user)" ] || fail "per-user keys left after /u: $($keys user)"
  $keys machine | diff "$work/machine.txt" - || fail "per-user unregistration changed the machine's keys"
done
echo "per user, after /u (twice, both done): none; the machine's unchanged"

if "$wine" regsvr32 /s /n /i:everyone "$dll"; then fail "DllInstall accepted \"everyone\""; fi
[ -z "$($keys user)" ] || fail "a refused DllInstall wrote keys"
echo "/i:everyone refused, nothing written"
