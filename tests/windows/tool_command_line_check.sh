#!/usr/bin/env bash
# orvacct.exe as Windows starts it, under Wine: command lines written in a .cmd file reach the tool
# exactly as cmd passes them, so "C:\Support Logs\" arrives as C:\Support Logs" and must be taken
# as the folder meant; a file is rewritten in place; and a reader that went away (a closed pipe)
# ends every command that writes to standard output quietly, with 141.
# usage: tool_command_line_check.sh orvacct.exe
source "$(dirname "$0")/script_checks.sh"
tool=$1
# in_cmd ARGUMENTS: the tool run by cmd from a script holding this command line, as typed;
# prints "status|stdout|stderr".
in_cmd() {
  printf '@"%s" %s\r\n' "$(win "$tool")" "$1" >"$work/run.cmd"
  local status=0
  "$wine" cmd /c "$(win "$work/run.cmd")" >"$work/out" 2>"$work/err" || status=$?
  echo "$status|$(tr -d '\r' <"$work/out")|$(tr -d '\r' <"$work/err")"
}

mkdir -p "$work/Support Logs/PC01/Logs"
printf '%s\r\n' "$(printf '+%.0s' $(seq 41))" 'Error Description: Invalid procedure call' 'Error Number: 5' \
  'Module Name: modMain' 'Procedure Name: Main' 'Version Number: 1.0.1' 'Date: 3/5/2002 2:07:09 PM' '' \
  >"$work/Support Logs/PC01/Logs/sampleapp-03052002.log"
logs=$(win "$work/Support Logs")
summary=$'app,count,damaged,first,last\nsampleapp,1,0,2002-03-05T14:07:09,2002-03-05T14:07:09'

expect "$(in_cmd "logs summary --by app --format csv \"$logs\"")" "0|$summary|" "a quoted folder"
expect "$(in_cmd "logs summary --by app --format csv \"$logs\\\"")" "0|$summary|" \
  "a quoted folder ending in a backslash is the folder meant"
expect "$(in_cmd "logs summary --by app --format csv \"$logs\\\\\"")" "0|$summary|" "the backslash doubled"
mkdir "$work/app"
expect "$(in_cmd "purge-logs --dry-run --app-name SampleApp --app-path \"$(win "$work/app")\\\"")" \
  "0|would delete 0, kept 0, refused 0|" "--app-path ending in a backslash"
# Followed by more, the quote swallows the rest of the line: refused, saying how to write it.
outcome=$(in_cmd "logs summary \"$logs\\\" --by app")
expect "${outcome%%|*}" "2" "a quoted folder ending in a backslash, then more: a wrong command line"
expect "$(grep -c 'holds a quote, which no Windows name holds' <<<"$outcome")" "1" "the refusal says why"

# A file rewritten in place from cmd: --input-file reads it with delete sharing and closes it
# before the new one replaces it (cmd's own "<" would hold it open without that sharing).
printf 'User,Password\r\nann,C11E6A583229034D46E186A5BA641877\r\n' >"$work/users.csv"
printf 'User,Password\r\nann,abcd\r\n' >"$work/users-plain.csv"
users=$(win "$work/users.csv")
in_place="--csv-column Password --input-file \"$users\" --output-file \"$users\" --overwrite"
expect "$(in_cmd "pwd rekey --key OrvKey --new-key NewKey $in_place")" "0||" "pwd rekey of a file in place"
expect "$(in_cmd "pwd decrypt --key NewKey $in_place")" "0||" "pwd decrypt of the rekeyed file in place"
expect "$(cmp -s "$work/users.csv" "$work/users-plain.csv" && echo same)" "same" "the file in place, rekeyed and read back"

# A pipe whose reader has gone before the tool writes (as after `| head -1`, deterministically).
closed_pipe() {
  python3 - "$wine" "$tool" "$@" <<'PYTHON'
import os, subprocess, sys
read_end, write_end = os.pipe()
os.close(read_end)
run = subprocess.run(sys.argv[1:], stdout=write_end, stderr=subprocess.PIPE)
print(f"{run.returncode}|{run.stderr.decode(errors='replace').strip()}")
PYTHON
}
expect "$(closed_pipe guid)" "141|" "guid into a closed pipe"
expect "$(closed_pipe --version)" "141|" "--version into a closed pipe"
expect "$(closed_pipe logs export "$logs")" "141|" "logs export into a closed pipe"
expect "$(closed_pipe pwd encrypt --key k a b c)" "141|" "pwd encrypt into a closed pipe"
head -c 100000 /dev/zero >"$work/plain"
expect "$(closed_pipe file encrypt --key k "$(win "$work/plain")" -)" "141|" "file encrypt to a closed pipe"
# A full disk is still a failure.
status=0
"$wine" "$tool" guid >/dev/full 2>/dev/null || status=$?
expect "$status" "1" "standard output on a full disk"

# UTF-7 (65000) is a code page Windows knows, but no ANSI one: logs read in it would be question marks.
status=0
"$wine" "$tool" logs export --code-page 65000 "$logs" >/dev/null 2>"$work/utf7" || status=$?
expect "$status" "2" "logs in UTF-7: a wrong command line"
expect "$(grep -c 'cannot be a Windows ANSI code page' "$work/utf7")" "1" "the refusal says why"

checks_done
