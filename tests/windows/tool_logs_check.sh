#!/usr/bin/env bash
# orvacct logs as built for Windows, under Wine, over logs that the DLL itself wrote: records
# handed to LogErrors under United States, German and Japanese regional settings (and so code
# pages 1252 and 932) come back from `logs export` as they went in, with the time they were
# written; `logs summary` counts them, `logs report` draws them, damage is told as FILE:LINE with
# Windows paths, and a path that cannot be read makes the exit status 1.
# usage: tool_logs_check.sh orvacct.exe SYSTEM_FOLDER log_writer.vbs
source "$(dirname "$0")/script_checks.sh"
tool=$1 system_folder=$2 writer=$3
# orvacct LOCALE ARGUMENTS...: Wine takes the regional settings and the ANSI code page from the
# locale variables.
orvacct() {
  local locale=$1
  shift
  env LANG="$locale" LC_ALL="$locale" "$wine" "$tool" "$@" 2>"$work/stderr"
}

# The records, fields by tabs (see log_writer.vbs); each locale writes into a folder of its own.
mkdir -p "$work/us/Billing" "$work/de/Orders" "$work/ja/Kaikei"
us=$(win "$work/us/Billing") de=$(win "$work/de/Orders") ja=$(win "$work/ja/Kaikei")
cat >"$work/us.tsv" <<RECORDS
$us	WineBilling	-2147467259	Unspecified error	modMain	Sub Main()	2	4	17
$us	WineBilling	91	Object variable or With block variable not set	frmInvoice	cmdSave_Click()	-
$us	WineBilling	53	Datei nicht gefunden: Übersicht €.xls	modExport	Export()	1	0	0
$us	WineBilling	-2147217900	Incorrect syntax near ','.\nStatement(s) could not be prepared.	clsDatabase	Open()	3	1	4
$us	WineBilling	13	Type "mismatch", here	modMain	Sub Main()	2	4	17
RECORDS
cat >"$work/de.tsv" <<RECORDS
$de	WineOrders	5	Ungültiger Prozeduraufruf oder ungültiges Argument	modOrders	Save()	1	1	0
$de	WineOrders	2147483647	Überlauf	modOrders	Total()	1	1	0
RECORDS
cat >"$work/ja.tsv" <<RECORDS
$ja	WineKaikei	13	型が一致しません。	modKaikei	Main()	1	0	3
$ja	WineKaikei	53	ファイルが見つかりません。\n会計.xls	modKaikei	Open()	-
RECORDS

# LogErrors through COM, from a VBScript client under the locale given.
write_logs() {
  local locale=$1 records=$2
  sed 's/$/\r/' "$records" | iconv -f UTF-8 -t UTF-16 >"$records.utf16"
  env LANG="$locale" LC_ALL="$locale" "$wine" "$system_folder\\cscript.exe" //nologo "$(win "$writer")" "$(win "$records.utf16")" \
    2>&1 | tr -d '\r' >"$work/writer.log" || true
  expect "$(tail -1 "$work/writer.log")" "$(wc -l <"$records") passed, 0 failed" "LogErrors under $locale"
}
# What export must give for those records, the fields LogErrors was handed.
wanted() {
  jq -R -c 'split("\t") | {app: (.[1] | ascii_downcase), number: (.[2] | tonumber),
      description: (.[3] | gsub("\\\\n"; "\n")), module: .[4], procedure: .[5],
      version: (if .[6] == "-" then ".." else "\(.[6]).\(.[7]).\(.[8])" end)}' "$@" | sort
}
got() { jq -c '{app: .app, number: .number, description: .description, module: .module, procedure: .procedure,
                version: .version}' "$1" | sort; }
# Each record's time lies between two moments (seconds since the epoch), in the file named for its date.
times_within() {
  local from=$1 to=$2 file=$3 time
  while read -r time; do
    seconds=$(date -d "${time/T/ }" +%s)
    [ "$seconds" -ge "$from" ] && [ "$seconds" -le "$to" ] || echo "time $time outside the run"
  done < <(jq -r '.time' "$file")
  jq -r '(.file | capture("-(?<m>[0-9]{2})(?<d>[0-9]{2})(?<y>[0-9]{4})[.]log$")) as $c
         | select("\($c.y)-\($c.m)-\($c.d)" != .time[0:10]) | "\(.file) holds \(.time)"' "$file"
}

from=$(date +%s)
write_logs en_US.UTF-8 "$work/us.tsv"
write_logs de_DE.UTF-8 "$work/de.tsv"
write_logs ja_JP.UTF-8 "$work/ja.tsv"
to=$(($(date +%s) + 1))
expect "$(ls "$work/us/Billing/Logs" "$work/de/Orders/Logs" | grep -c '^wine.*-[0-9]\{8\}[.]log$')" 2 "the DLL's log files"
expect "$(grep -c $'^Date: .* [AP]M\r$' "$work/us/Billing/Logs/"*.log)" 5 "United States Date lines with AM or PM"
expect "$(grep -cE $'^Date: [0-9]{1,2}[.][0-9]{1,2}[.][0-9]{4} [0-9]{2}:[0-9]{2}:[0-9]{2}\r$' "$work/de/Orders/Logs/"*.log)" 2 \
  "German Date lines"

# Code page 1252: the United States and German folders together.
code=0
orvacct en_US.UTF-8 logs export "$(win "$work/us")" "$(win "$work/de")" >"$work/export.jsonl" || code=$?
expect "$code" 0 "export exit status"
expect "$(got "$work/export.jsonl")" "$(wanted "$work/us.tsv" "$work/de.tsv")" "records exported as LogErrors got them"
expect "$(times_within "$from" "$to" "$work/export.jsonl")" "" "times of day from both regional forms"
expect "$(jq -r '.file' "$work/export.jsonl" | grep -c "^${us//\\/\\\\}\\\\Logs\\\\winebilling-[0-9]\{8\}[.]log$")" 5 \
  "files shown as Windows paths"
expect "$(jq -r 'select(.app == "winebilling") | .line' "$work/export.jsonl" | tr '\n' ' ')" "1 9 17 25 34 " \
  "first lines, a description over two lines counted"
expect "$(cat "$work/stderr")" "" "nothing on stderr"

# Code page 932: Japanese text, Japanese date form.
orvacct ja_JP.UTF-8 logs export --format jsonl "$(win "$work/ja")" >"$work/export-ja.jsonl"
expect "$(got "$work/export-ja.jsonl")" "$(wanted "$work/ja.tsv")" "records in code page 932"
expect "$(times_within "$from" "$to" "$work/export-ja.jsonl")" "" "times of day from the Japanese form"

# The summary counts per application; the report draws them.
orvacct en_US.UTF-8 logs summary --by app --format csv "$(win "$work")" | tr -d '\r' | cut -d, -f1-3 >"$work/summary.csv"
expect "$(cat "$work/summary.csv")" "$(printf 'app,count,damaged\nwinebilling,5,0\nwinekaikei,2,0\nwineorders,2,0')" \
  "summary by application"
orvacct en_US.UTF-8 logs report --output "$(win "$work/report.html")" "$(win "$work/us")" "$(win "$work/de")"
expect "$(grep -c '<rect[^>]*fill=' "$work/report.html")" 2 "report: one bar per application on the one day"
expect "$(grep -o '<li><b>[0-9]*</b>records' "$work/report.html")" "<li><b>7</b>records" "report: total records"

# Damage is told with the file's Windows path and its line; it does not fail the run.
log=$(ls "$work/us/Billing/Logs/"*.log)
printf '+++++++++++++++++++++++++++++++++++++++++\r\nError Description: cut\r\nError Nu' >>"$log"
code=0
orvacct en_US.UTF-8 logs export "$(win "$work/us")" >"$work/export.jsonl" || code=$?
expect "$code" 0 "damage: exit status"
expect "$(wc -l <"$work/export.jsonl")" 5 "damage: the whole records still exported"
expect "$(tr -d '\r' <"$work/stderr")" "$(win "$log"):42: record cut short by the end of the file" "damage: FILE:LINE"

# A path that cannot be read: said once, the others still read, exit status 1.
code=0
orvacct en_US.UTF-8 logs summary --format jsonl "$(win "$work/missing")" "$(win "$work/de")" >"$work/summary.jsonl" || code=$?
expect "$code" 1 "missing path: exit status"
expect "$(jq -s 'map(.count) | add' "$work/summary.jsonl")" 2 "missing path: the others read"
expect "$(grep -c 'cannot read' "$work/stderr")" 1 "missing path: one line"

# Code pages given per path: the Japanese folder's logs in 932 and the others in 1252, in one run on
# a machine whose own code page is 1252; ORVACCT_CODEPAGE gives the default, here too.
orvacct en_US.UTF-8 logs export --code-page 932 "$(win "$work/ja")" --code-page 1252 "$(win "$work/de")" >"$work/mixed.jsonl"
expect "$(got "$work/mixed.jsonl")" "$(wanted "$work/ja.tsv" "$work/de.tsv" | sort)" "code pages per path"
env ORVACCT_CODEPAGE=932 LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8 "$wine" "$tool" logs export "$(win "$work/ja")" >"$work/env.jsonl"
expect "$(got "$work/env.jsonl")" "$(wanted "$work/ja.tsv")" "ORVACCT_CODEPAGE honoured"

# A share as it is: a link to a folder back up is told and not followed (Wine shows a Unix link
# to a folder as a reparse point); a FIFO and a device under a log's name are told, never waited
# on; a log below a path far longer than MAX_PATH is read.
share="$work/share"
mkdir -p "$share/PC1/Logs"
cp "$(ls "$work/de/Orders/Logs/"*.log | head -1)" "$share/PC1/Logs/"
ln -s .. "$share/PC1/Logs/back"
mkfifo "$share/PC1/Logs/wineorders-01012003.log"
ln -s /dev/zero "$share/PC1/Logs/wineorders-01022003.log"
deep="$share/PC2"
for level in $(seq 1 30); do deep="$deep/a-folder-name-of-twenty-$level"; done
mkdir -p "$deep/Logs"
cp "$(ls "$work/de/Orders/Logs/"*.log | head -1)" "$deep/Logs/"
code=0
timeout -s KILL 120 env LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8 "$wine" "$tool" logs export "$(win "$share")" \
  >"$work/share.jsonl" 2>"$work/stderr" || code=$?
expect "$code" 1 "share: exit status"
expect "$(jq -r .machine "$work/share.jsonl" | sort | uniq -c | tr -s ' ')" " 2 PC1
 2 PC2" "share: each record once, the deep one too"
expect "$(tr -d '\r' <"$work/stderr" | sed 's/.*\\//' | sort)" "back: not read: a link (links are not followed)
wineorders-01012003.log: not read: a pipe, not a plain file
wineorders-01022003.log: not read: a device, not a plain file" "share: what was not read, told"

# A drive's root given as the path (a share mapped to a letter): its logs are found below it.
drive="$WINEPREFIX/dosdevices/q:"
ln -sfn "$share/PC1" "$drive"
code=0
orvacct en_US.UTF-8 logs summary --by app 'Q:\' >"$work/drive.txt" || code=$?
rm -f "$drive"
expect "$code" 1 "drive root: exit status (the link and the pipe are still told)"
expect "$(tr -d '\r' <"$work/drive.txt" | awk '$1 == "wineorders" { print $2 }')" "2" "drive root: its records counted"

# --state: a summary with it is the summary without it, on the first run and after a log grew; its
# lock holds between processes (Wine takes LockFileEx as a POSIX lock, as Python's lockf is).
state="$work/logs.state"
for round in first grown; do
  orvacct en_US.UTF-8 logs summary --by app,number "$(win "$work/us")" >"$work/plain.txt" || true
  orvacct en_US.UTF-8 logs summary --by app,number --state "$(win "$state")" "$(win "$work/us")" >"$work/stated.txt" || true
  expect "$(cat "$work/stated.txt")" "$(cat "$work/plain.txt")" "state: the $round run as without it"
  head -c 600 "$log" >>"$log"
done
code=0
python3 -c 'import fcntl, subprocess, sys
held = open(sys.argv[1], "a+")
fcntl.lockf(held, fcntl.LOCK_EX | fcntl.LOCK_NB, 1, 0)
sys.exit(subprocess.run(sys.argv[2:]).returncode)' "$state.lock" \
  env LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8 "$wine" "$tool" logs summary --state "$(win "$state")" "$(win "$work/us")" \
  >/dev/null 2>"$work/stderr" || code=$?
expect "$code" 1 "state: a run on a state in use, refused"
expect "$(tr -d '\r' <"$work/stderr")" \
  "orvacct: $(win "$state") is in use by another run (its lock $(win "$state").lock is held); try again when it has ended" \
  "state: in use, told"

checks_done
