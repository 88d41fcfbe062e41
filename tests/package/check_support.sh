#!/usr/bin/env bash
# What the package checks share: their messages and the ways they run commands. Sourced.
step() { echo "== $*"; }
ok() { echo "ok    $*"; }
fail() {
  echo "FAIL  $*"
  exit 1
}
# expect_run CODE LOG COMMAND...: runs the command with its output in LOG, which it shows;
# its exit code must be CODE.
expect_run() {
  local want=$1 log=$2 code=0
  shift 2
  "$@" >"$log" 2>&1 || code=$?
  # On a busy machine Wine's cmd has been seen to fail to start the child cmd of a FOR /F
  # ("Can't recognize 'CMD.EXE /C set folder'..."), which Windows never does: such a run is
  # shown and made once more (the scripts may run twice).
  if grep -q "Can't recognize 'CMD.EXE /C" "$log"; then
    tr -d '\r' <"$log" | sed 's/^/      /'
    echo "      (Wine's cmd could not start a child cmd: run again)"
    code=0
    "$@" >"$log" 2>&1 || code=$?
  fi
  tr -d '\r' <"$log" | sed 's/^/      /'
  [ "$code" = "$want" ] || fail "exit code $code, expected $want: $*"
}
contains() { grep -qF -- "$2" "$1" || fail "$1 lacks: $2"; }
# Ends the prefix's server, if it still runs.
stop_wine() { wineserver -k 2>/dev/null || true; }
# run_sample LOADER SYSTEM_FOLDER SAMPLE: the VBScript sample (a Windows path) under the cscript of
# that system folder must pass every check (its log in $work/sample.log).
run_sample() {
  local log=$work/sample.log
  expect_run 0 "$log" "$1" "$2\\cscript.exe" //nologo "$3"
  grep -q "^OrvAcctMan sample: [1-9][0-9]* passed, 0 failed" <(tr -d '\r' <"$log") || fail "the VBScript sample did not pass"
}
