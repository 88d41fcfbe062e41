#!/usr/bin/env bash
# orvacct reg under Wine: what the tool writes, reg.exe reads back, and the other way round; a
# change the registry refuses fails with the registry's words, while reads keep their fallback.
# usage: tool_reg_check.sh orvacct.exe
set -euo pipefail
tool=$1
wine=${ORVACCT_WINE:-wine}
key='Software\OrvAcctManTests\Tool'
failed=0

tool_reg() { "$wine" "$tool" reg "$@" | tr -d '\r'; }
reg_exe() { "$wine" reg "$@" 2>/dev/null | tr -d '\r'; }
# One value as reg query lists it: name, type and data.
listed() { reg_exe query "HKCU\\$key" /v "$1" | awk -v name="$1" '$1 == name { $1 = $1; print }'; }
err=$(mktemp)
trap 'rm -f "$err"' EXIT
# The exit status, standard output and standard error of one run, between bars.
outcome() {
  local status=0 out
  out=$("$wine" "$tool" reg "$@" 2>"$err") || status=$?
  echo "$status|$(tr -d '\r' <<<"$out")|$(tr -d '\r' <"$err")"
}
expect() {
  if [ "$1" != "$2" ]; then
    echo "FAIL $3: got [$1], expected [$2]"
    failed=$((failed + 1))
  fi
}

reg_exe delete "HKCU\\$key" /f >/dev/null || true

tool_reg set-dword HKCU "$key" D -1
expect "$(tool_reg get-dword HKCU "$key" D)" "-1" "get-dword"
expect "$(listed D)" "D REG_DWORD 0xffffffff" "reg query of set-dword"

tool_reg set-binary HKCU "$key" B "00 ff 41"
expect "$(tool_reg get-binary HKCU "$key" B)" "00FF41" "get-binary"
expect "$(listed B)" "B REG_BINARY 00FF41" "reg query of set-binary"

tool_reg set-string HKEY_CURRENT_USER "$key" S "hello world"
expect "$(tool_reg get-string hkcu "$key" S)" "hello world" "get-string"
tool_reg set-string HKCU "$key" Accents "Grüße"
expect "$(tool_reg get-string HKCU "$key" Accents)" "Grüße" "get-string of text beyond ASCII"
reg_exe add "HKCU\\$key" /v Foreign /t REG_SZ /d "from reg" /f >/dev/null
expect "$(tool_reg get-string HKCU "$key" Foreign)" "from reg" "get-string of a value reg.exe wrote"
expect "$(tool_reg get-string HKCU "$key" Missing --default none)" "none" "get-string --default"

tool_reg create-key HKCU "$key\\A\\B"
expect "$(reg_exe query "HKCU\\$key\\A\\B" >/dev/null && echo found)" "found" "create-key"
# A change the registry refuses: exit 1 with the registry's words (Wine's texts here), but a key
# with subkeys said as such, not as the "access denied" Windows answers. An ANSI path longer than
# MAX_PATH overflows the buffer advapi32 converts it in: ERROR_MORE_DATA.
expect "$(outcome delete-key HKCU "$key\\A")" \
  "1||orvacct: cannot delete HKCU\\$key\\A: the key has subkeys; delete them first, the deepest first (RegDeleteKeyA, error 5)" \
  "delete-key of a key with subkeys"
expect "$(reg_exe query "HKCU\\$key\\A\\B" >/dev/null && echo found)" "found" "the key with subkeys stays"
long="Software\\$(printf 'k%.0s' $(seq 1 300))"
expect "$(outcome set-string HKCU "$long" v x)" \
  "1||orvacct: cannot write value 'v' of HKCU\\$long: More data available. (RegCreateKeyA, error 234)" \
  "set-string under a 300-character key name"
expect "$(outcome get-string HKCU "$long" v --default fallback)" "0|fallback|" "get-string there gives the fallback"
expect "$(outcome delete-value HKCU "$key\\Missing" v)" \
  "1||orvacct: cannot delete value 'v' of HKCU\\$key\\Missing: File not found. (RegOpenKeyA, error 2)" \
  "delete-value in a missing key"
tool_reg delete-key HKCU "$key\\A\\B"
tool_reg delete-key HKCU "$key\\A"
expect "$(reg_exe query "HKCU\\$key\\A" >/dev/null && echo found || echo gone)" "gone" "delete-key once emptied"
tool_reg delete-value HKCU "$key" S
expect "$(tool_reg get-string HKCU "$key" S --default gone)" "gone" "delete-value"

reg_exe delete "HKCU\\$key" /f >/dev/null || true
echo "orvacct reg: $failed failed"
[ "$failed" -eq 0 ]
