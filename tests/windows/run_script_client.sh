#!/usr/bin/env bash
# Runs a VBScript or JScript client with Wine's cscript of the DLL's bitness. cscript exits 0
# even when the script dies, so the script's own "N passed, N failed" line is required, with
# something passed: a script that checked nothing has not run.
# usage: run_script_client.sh 'C:\windows\syswow64' script [arguments...]
set -euo pipefail
system_folder=$1 script=$2
shift 2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
output=$("${ORVACCT_WINE:-wine}" "$system_folder\\cscript.exe" //nologo "$(winepath -w "$script")" "$(winepath -w "$work")" "$@" 2>&1 | tr -d '\r') ||
  true
echo "$output"
summary=$(grep -E '^[0-9]+ passed, [0-9]+ failed$' <<<"$output" | tail -1)
[ -n "$summary" ] || { echo "no summary line: the script did not finish"; exit 1; }
[[ "$summary" == *", 0 failed" && "$summary" != "0 passed"* ]]
