#!/usr/bin/env bash
# orvacct pwd and file as built for Windows, under Wine: stored cipher text reads back as on
# Linux, files make the round trip, a destination survives every refused or failed write and a
# killed process, one that appears meanwhile is never replaced without --overwrite, and what the
# tool refuses it refuses with the right exit code.
# usage: tool_cipher_check.sh orvacct.exe
source "$(dirname "$0")/script_checks.sh"
tool=$1

orvacct() { "$wine" "$tool" "$@" 2>"$work/stderr" | tr -d '\r'; }
fails() { if "$@" >/dev/null 2>&1; then echo 0; else echo 1; fi; }
# Waits until the shell condition holds, a minute at the most: it ends as soon as it holds, so
# only a machine busy enough to need it waits that long.
wait_until() {
  for _ in $(seq 1200); do
    eval "$1" && return 0
    sleep 0.05
  done
  return 1
}

# Cipher text that clients stored, through the ANSI code page of the Windows build.
expect "$(orvacct pwd decrypt --key 'clé' 3AB94B7B7F67F4100758465D34791733845F591978EAB364710A7B0FCCD88846)" \
  "mot de passe é€" "pwd decrypt of stored cipher text beyond ASCII"
expect "$(orvacct pwd decrypt --key OrvKey 30cc09c5be78f16aee0020ce6c194263eef4884a47e8ee3c)" "abcde" \
  "pwd decrypt of lower-case hex"
cipher=$(orvacct pwd encrypt --key 'k€y' "Grüße")
expect "${#cipher}" "48" "pwd encrypt length: five characters"
expect "$(orvacct pwd decrypt --key 'k€y' "$cipher")" "Grüße" "pwd round trip"
expect "$(fails "$wine" "$tool" pwd decrypt --key wrong "$cipher")" "1" "pwd decrypt with a wrong key fails"
# A CSV column is rewritten byte for byte around it: LF stays LF, a Ctrl+Z is a cell's text.
printf 'User,Password,Note\nann,C11E6A583229034D46E186A5BA641877,x\032y\n' >"$work/users.csv"
printf 'User,Password,Note\nann,abcd,x\032y\n' >"$work/users-expected.csv"
"$wine" "$tool" pwd decrypt --key OrvKey --csv-column Password <"$work/users.csv" >"$work/users-out.csv" 2>"$work/stderr"
expect "$(cmp -s "$work/users-out.csv" "$work/users-expected.csv" && echo same || od -c "$work/users-out.csv")" "same" \
  "pwd --csv-column keeps the other bytes as they came"

# Files: round trip, the encrypted length, and one file encrypted and decrypted in place.
head -c 300001 /dev/urandom >"$work/plain"
orvacct file encrypt --key secret "$(win "$work/plain")" "$(win "$work/sealed")"
expect "$(stat -c %s "$work/sealed")" "300016" "encrypted file length"
orvacct file decrypt --key secret "$(win "$work/sealed")" "$(win "$work/back")"
expect "$(cmp -s "$work/plain" "$work/back" && echo same)" "same" "file round trip"
cp "$work/plain" "$work/inplace"
orvacct file encrypt --key secret --overwrite "$(win "$work/inplace")" "$(win "$work/inplace")"
orvacct file decrypt --key secret --overwrite "$(win "$work/inplace")" "$(win "$work/inplace")"
expect "$(cmp -s "$work/plain" "$work/inplace" && echo same)" "same" "in-place round trip"
# "-" for standard input and output, binary on Windows too.
"$wine" "$tool" file encrypt --key secret - - <"$work/plain" >"$work/piped"
expect "$("$wine" "$tool" file decrypt --key secret - - <"$work/piped" | cmp -s - "$work/plain" && echo same)" "same" \
  "round trip through standard input and output"

# A destination that must stay: no --overwrite, a wrong key, a missing source.
echo "keep me" >"$work/existing"
expect "$(fails "$wine" "$tool" file encrypt --key secret "$(win "$work/plain")" "$(win "$work/existing")")" "1" \
  "encrypt onto an existing file without --overwrite fails"
expect "$(fails "$wine" "$tool" file decrypt --key wrong --overwrite "$(win "$work/sealed")" "$(win "$work/existing")")" \
  "1" "decrypt with a wrong key fails"
expect "$(fails "$wine" "$tool" file encrypt --key secret --overwrite "$(win "$work/missing")" "$(win "$work/existing")")" \
  "1" "encrypt of a missing source fails"
expect "$(cat "$work/existing")" "keep me" "the destination is untouched"
expect "$(find "$work" -newer "$work/existing" -type f | wc -l)" "0" "no temporary file is left behind"

# Destination names up to the file system's limit (255), the whole path beyond MAX_PATH: the
# temporary's name is short whatever they are. (winepath cuts paths at MAX_PATH: spelt here.)
long=$(printf 'n%.0s' $(seq 1 255))
long_windows="Z:${work//\//\\}\\$long"
orvacct file encrypt --key secret "$(win "$work/plain")" "$long_windows" || true
orvacct file decrypt --key secret --overwrite "$long_windows" "$long_windows" || true
expect "$(cmp -s "$work/plain" "$work/$long" && echo same)" "same" "round trip under a 255-character name"
rm -f "$work/$long"

# Killed mid-way, the process leaves no temporary: it is deleted with its last handle.
mkdir "$work/killed"
truncate -s 256M "$work/zeros"
echo "keep me" >"$work/killed/out"
"$wine" "$tool" file encrypt --key secret --overwrite "$(win "$work/zeros")" "$(win "$work/killed/out")" 2>/dev/null &
tool_pid=$!
wait_until '[ "$(ls -A "$work/killed" | wc -l)" -gt 1 ]' || true
expect "$(ls -A "$work/killed" | wc -l)" "2" "a temporary beside the destination while encrypting"
kill -KILL "$tool_pid" || true
wait "$tool_pid" 2>/dev/null || true
wait_until '[ "$(ls -A "$work/killed")" = out ]' || true
expect "$(ls -A "$work/killed")" "out" "no temporary after the process was killed"
expect "$(cat "$work/killed/out")" "keep me" "the destination survives the kill"

# Without --overwrite, a destination that appears while the tool works is kept. The tool is held
# still once its temporary exists (after its check, before it puts the file in place), another
# file is written there, and the tool goes on.
mkdir "$work/late"
"$wine" "$tool" file encrypt --key secret "$(win "$work/zeros")" "$(win "$work/late/out")" 2>"$work/late.err" &
tool_pid=$!
wait_until '[ -n "$(ls -A "$work/late")" ]' || true
kill -STOP "$tool_pid"
expect "$(ls -A "$work/late" | sed 's/^[.]orv[0-9a-f]*[.]tmp$/temporary/')" "temporary" "held with its temporary alone"
echo "another program's" >"$work/late/out"
kill -CONT "$tool_pid"
if wait "$tool_pid"; then late=0; else late=$?; fi
expect "$late" "1" "a destination that appeared meanwhile fails the encryption"
expect "$(tr -d '\r' <"$work/late.err")" "orvacct: $(win "$work/late/out") exists; give --overwrite to replace it" \
  "the failure names the destination"
expect "$(echo "another program's" | cmp -s - "$work/late/out" && echo kept)" "kept" "the other program's file is kept"
expect "$(ls -A "$work/late")" "out" "no temporary after the refusal"
rm -f "$work/zeros"

# What the tool refuses or reports, and its exit codes: 1 failed, 2 wrong command line.
status() { if "$wine" "$tool" "$@" >/dev/null 2>&1; then echo 0; else echo $?; fi; }
expect "$(status pwd encrypt --key 'пароль' x)" "1" "a key the code page cannot carry is refused"
refusal=$("$wine" "$tool" pwd encrypt --key 'ab✓' x 2>&1 | tr -d '\r') || true
expect "$(grep -c "the key's character 3 cannot be written in code page 1252" <<<"$refusal")" "1" \
  "the refusal names the character's place and the code page"
expect "$(grep -c '✓\|2713' <<<"$refusal")" "0" "the refusal shows no character of the key"
expect "$(ORV_EMPTY_KEY='' status pwd encrypt --key-env ORV_EMPTY_KEY x)" "1" "an empty key from the environment"
sealed=$(ORV_KEY='clé' orvacct pwd encrypt --key-env ORV_KEY x)
expect "$(orvacct pwd decrypt --key 'clé' "$sealed")" "x" "a key from the environment beyond ASCII is that key"
expect "$(status pwd encrypt x)" "2" "no key is a usage error"
# Bytes in the ANSI code page (1252 here) only when asked for; UTF-8 otherwise.
printf 'p\344ss\r\n' >"$work/ansi-key"
expect "$(status pwd encrypt --key-file "$(win "$work/ansi-key")" x)" "1" "a key file that is not UTF-8"
sealed=$(orvacct pwd encrypt --key-file "$(win "$work/ansi-key")" --key-encoding ansi x)
expect "$(orvacct pwd decrypt --key 'päss' "$sealed")" "x" "a key file read in the ANSI code page"
sealed=$(printf 'p\344ss\n' | orvacct pwd encrypt --key k --input-encoding ansi)
expect "$(orvacct pwd decrypt --key k "$sealed")" "päss" "standard input read in the ANSI code page"
if "$wine" "$tool" guid >/dev/full 2>/dev/null; then full=0; else full=$?; fi
expect "$full" "1" "output that cannot be written is a failure"

checks_done
