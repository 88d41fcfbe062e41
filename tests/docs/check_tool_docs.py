#!/usr/bin/env python3
"""What the tool's documents say of its commands, against the tool itself: the commands and
options are read from its --help trees, so every option anyone adds is checked too.

  check_tool_docs.py man TOOL orvacct.1
      every option of every command appears in the manual page, and every line of its SYNOPSIS
      is a command line the tool takes (run with sample values: anything but exit status 2);
  check_tool_docs.py manual TOOL FILE MARKER
      the part of FILE from the line MARKER on (README.txt's section on orvacct.exe) names every
      command and every option;
  check_tool_docs.py examples TOOL FILE
      FILE (the Debian package's README) has an example line "orvacct COMMAND" for every command.
"""
import concurrent.futures
import os
import re
import subprocess
import sys
import tempfile


def fail(message):
    print("FAIL " + message)
    sys.exit(1)


def help_tree(tool, path=()):
    """{command path: [option names]} for the command at path and everything below it."""
    text = subprocess.run([tool, *path, "--help"], capture_output=True, text=True, check=True).stdout
    options, commands, section = [], [], None
    for line in text.splitlines():
        if re.match(r"^[A-Z][A-Za-z]*:$", line):
            section = line[:-1]
        elif section == "Options" and line.startswith("  -"):
            options += [name for name in line.split()[0].split(",") if name.startswith("--")]
        elif section == "Subcommands" and re.match(r"^  [a-z]", line):
            commands.append(line.split()[0])
    tree = {path: options}
    for command in commands:
        tree.update(help_tree(tool, path + (command,)))
    return tree


def rendered_manual(page):
    """The manual page as a reader sees it: plain text, lines not broken, words not hyphenated."""
    return subprocess.run(["groff", "-man", "-Tutf8", "-rLL=2000n", "-rHY=0", "-P-cbou", page],
                          capture_output=True, text=True, check=True).stdout


def synopsis_lines(manual):
    lines, inside = [], False
    for line in manual.splitlines():
        if re.match(r"^[A-Z][A-Z ]+$", line):
            inside = line == "SYNOPSIS"
        elif inside and line.strip():
            lines.append(line.strip())
    return lines


def tokens(line):
    return re.findall(r"[\[\]{}]|[^\s\[\]{}]+", line)


def parse(words, position=0, closing=None):
    """A sequence of alternatives: [[item, ...], ...]; an item is a word or (kind, alternatives)."""
    alternatives, sequence = [], []
    while position < len(words):
        word = words[position]
        if word == closing:
            return alternatives + [sequence], position + 1
        if word in ("[", "{"):
            group, position = parse(words, position + 1, "]" if word == "[" else "}")
            sequence.append(("optional" if word == "[" else "required", group))
            continue
        if word == "|":
            alternatives.append(sequence)
            sequence = []
        else:
            sequence.append(word)
        position += 1
    if closing:
        fail("unbalanced " + closing + " in: " + " ".join(words))
    return alternatives + [sequence], position


def expand(alternatives, variant):
    """Variant 0: every optional part left out; variant k > 0: each given, with alternative k - 1."""
    chosen = alternatives[max(variant - 1, 0) % len(alternatives)]
    words = []
    for item in chosen:
        if isinstance(item, tuple):
            kind, group = item
            if kind == "required" or variant > 0:
                words += expand(group, variant)
        elif item.strip("."):  # "..." after a group: it may be repeated, and is given once
            choices = item.split("|") if "|" in item and item != "|" else [item]
            words.append(choices[max(variant - 1, 0) % len(choices)].rstrip("."))
    return words


# Sample values for the placeholders, by the option before them where it matters.
SAMPLES = {
    "DIR": "app", "NAME": "SampleApp", "N": "1", "TEXT": "1", "X": "1", "Y": "0", "Z": "1", "PATH": "logs",
    "FILE.html": "report.html", "IN": "plain.txt", "OUT": "sealed.bin", "ITEM": "x", "VAR": "ORV_KEY",
    "HIVE": "HKCU", "DATA": "01", "DATE": "2002-03-05", "CODEPAGE": "1252", "KEYS": "number",
    "FILE.prom": "orvacct.prom", "RANGE": "10", "DURATION": "24h",
}
AFTER_OPTION = {"--key-file": "key.txt", "--new-key-file": "key.txt", "--output-file": "results.txt",
                "--app-path": "app"}


def concrete(words):
    line = []
    for word in words:
        previous = line[-1] if line else ""
        line.append(AFTER_OPTION.get(previous, SAMPLES.get(word, word)) if word.isupper() or "." in word else word)
    return line


def run_in_fresh_folder(tool, arguments):
    """The tool's exit status and standard error, run in a folder of sample files."""
    with tempfile.TemporaryDirectory() as folder:
        os.makedirs(os.path.join(folder, "app"))
        os.makedirs(os.path.join(folder, "logs"))
        for name, content in (("plain.txt", "plain\n"), ("key.txt", "k\n")):
            with open(os.path.join(folder, name), "w") as file:
                file.write(content)
        # No terminal (a session of its own), so a prompt fails rather than waits.
        run = subprocess.run([tool, *arguments], cwd=folder, stdin=subprocess.DEVNULL, capture_output=True, text=True,
                             timeout=120, start_new_session=True,
                             env=dict(os.environ, ORV_KEY="k", XDG_STATE_HOME=folder))
        return run.returncode, run.stderr.strip()


def check_synopsis(tool, manual):
    lines = synopsis_lines(manual)
    if not lines:
        fail("the manual page has no SYNOPSIS")
    forms = []
    for line in lines:
        words = tokens(line)
        if words[0] != "orvacct":
            fail("a SYNOPSIS line that is no orvacct command: " + line)
        alternatives, _ = parse(words[1:])
        widest = max([len(a) for a in alternatives] + [w.count("|") + 1 for w in words if "|" in w and w != "|"])
        forms += [(line, concrete(expand(alternatives, variant))) for variant in range(widest + 1)]
    # The runs mostly wait for the tool to start: side by side.
    with concurrent.futures.ThreadPoolExecutor(max_workers=4) as pool:
        results = list(pool.map(lambda form: run_in_fresh_folder(tool, form[1]), forms))
    for (line, arguments), (status, error) in zip(forms, results):
        if status == 2:
            fail("the SYNOPSIS line\n    " + line + "\n  as\n    orvacct " + " ".join(arguments) +
                 "\n  is a wrong command line to the tool: " + error)
    return len(lines), len(forms)


def missing_options(tree, text):
    return sorted({(" ".join(path), option) for path, options in tree.items() for option in options
                   if not re.search(re.escape(option) + r"(?![\w-])", text)})


def main():
    mode, tool = sys.argv[1], os.path.abspath(sys.argv[2])
    tree = help_tree(tool)
    if mode == "man":
        manual = rendered_manual(sys.argv[3])
        missing = missing_options(tree, manual)
        if missing:
            fail("the manual page lacks: " + ", ".join(f"{option} (orvacct {path})" for path, option in missing))
        lines, runs = check_synopsis(tool, manual)
        print(f"ok: {sum(map(len, tree.values()))} options of {len(tree)} commands in the manual page; "
              f"{lines} SYNOPSIS lines taken by the tool in {runs} forms")
    elif mode == "manual":
        text = open(sys.argv[3], encoding="utf-8").read()
        start = text.find(sys.argv[4])
        if start < 0:
            fail(sys.argv[3] + " has no section starting " + sys.argv[4])
        section = text[start:]
        missing = missing_options(tree, section)
        commands = sorted({word for path in tree for word in path
                           if not re.search(r"(?<![\w-])" + re.escape(word) + r"(?![\w-])", section)})
        if missing or commands:
            fail(sys.argv[3] + " lacks: " + ", ".join(commands + [f"{option} (orvacct {path})" for path, option in missing]))
        print(f"ok: {len(tree) - 1} commands and their options in {sys.argv[3]}")
    elif mode == "examples":
        text = open(sys.argv[3], encoding="utf-8").read()
        commands = sorted({path[0] for path in tree if path})
        missing = [c for c in commands if not re.search(r"^\s+orvacct " + re.escape(c) + r"\b", text, re.M)]
        if missing:
            fail(sys.argv[3] + " has no example of: " + ", ".join(missing))
        print(f"ok: an example of each of the {len(commands)} commands in {sys.argv[3]}")
    else:
        fail("unknown mode " + mode)


if __name__ == "__main__":
    main()
