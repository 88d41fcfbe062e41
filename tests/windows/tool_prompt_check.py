#!/usr/bin/env python3
"""orvacct.exe asking for a key or a password at the console, under Wine: the tool runs on a
pseudo-terminal, which Wine makes its console when it is the standard input, and what is typed
there must never show. (With standard input redirected, Wine's console does not read the
terminal: that case is tested natively only.)

usage: tool_prompt_check.py orvacct.exe
"""
import os
import pty
import re
import select
import subprocess
import sys
import termios
import time

tool = sys.argv[1]
wine = os.environ.get("ORVACCT_WINE", "wine")
BOUND = 120  # seconds for a prompt to show, Wine starting included
failed = 0
checks = 0


def expect(got, wanted, what):
    global failed, checks
    checks += 1
    if got != wanted:
        print(f"FAIL {what}: got [{got!r}], expected [{wanted!r}]")
        failed += 1


def shown(screen):
    """What the console shows: Wine draws each character between cursor sequences, and a space
    as a move of the cursor."""
    text = re.sub(r"\x1b\[([0-9]*)C", lambda move: " " * int(move.group(1) or 1), screen.decode(errors="replace"))
    return re.sub(r"\x1b\[[0-9;?]*[A-Za-z]", "", text)


def reading_keys(master):
    """Whether Wine's console reads the terminal key by key: keys typed while the terminal is
    still line by line are lost to it."""
    return not termios.tcgetattr(master)[3] & termios.ICANON


def at_console(arguments, exchanges):
    """Runs the tool at a pseudo-terminal, typing each answer once its prompt shows and the
    console reads keys; gives its exit status, its standard output and what the console showed."""
    master, slave = pty.openpty()
    run = subprocess.Popen([wine, tool, *arguments], stdin=slave, stdout=subprocess.PIPE, stderr=slave,
                           start_new_session=True)
    os.close(slave)
    screen = b""
    for prompt, typed in exchanges:
        deadline = time.time() + BOUND
        while not (prompt in shown(screen) and reading_keys(master)) and time.time() < deadline:
            if select.select([master], [], [], 0.1)[0]:
                try:
                    screen += os.read(master, 4096)
                except OSError:
                    break
        if prompt not in shown(screen):
            print(f"FAIL no prompt {prompt!r}; the console shows {shown(screen)!r}")
            run.kill()
            return None, "", shown(screen)
        os.write(master, typed.encode() + b"\r")
    out, _ = run.communicate(timeout=BOUND)
    while select.select([master], [], [], 0.5)[0]:
        try:
            screen += os.read(master, 4096)
        except OSError:
            break
    os.close(master)
    return run.returncode, out.decode().replace("\r", ""), shown(screen)


def decrypted(key, cipher_text):
    run = subprocess.run([wine, tool, "pwd", "decrypt", "--key", key, cipher_text], capture_output=True, text=True,
                         timeout=BOUND, stdin=subprocess.DEVNULL)
    return run.stdout.replace("\r", "")


# A key typed once to decrypt: "abcd" under OrvKey (tests/data/vectors/passwords.tsv).
status, out, screen = at_console(["pwd", "decrypt", "--key-prompt", "C11E6A583229034D46E186A5BA641877"],
                                 [("Key:", "OrvKey")])
expect(status, 0, "decrypt with a typed key: exit status")
expect(out, "abcd\n", "decrypt with a typed key")
expect("OrvKey" in screen, False, "the typed key is not shown")

# The one password, unseen and twice, when encrypt has no items at the console.
status, out, screen = at_console(["pwd", "encrypt", "--key", "k"],
                                 [("Password:", "s3cret pass"), ("Password again:", "s3cret pass")])
expect(status, 0, "encrypt at the console: exit status")
expect(len(out), 49, "encrypt at the console: 48 hex digits")
expect(decrypted("k", out.strip()), "s3cret pass\n", "the typed password encrypted")
expect("s3cret" in screen, False, "the typed password is not shown")

status, out, screen = at_console(["pwd", "encrypt", "--key-prompt", "x"], [("Key:", "one"), ("Key again:", "two")])
expect(status, 1, "two different keys: exit status")
expect("the two entries of the key differ" in screen, True, "two different keys: the reason")
expect(out, "", "two different keys: nothing written")

print(f"{checks - failed} passed, {failed} failed")
sys.exit(1 if failed else 0)
